// Where a frame's rows are split between the render threads' bands. The split moves frame by frame
// towards equal drawing time per band: the earth or a crowd of enemies may fill one band while
// another holds only sky. Any split draws the same picture.
#pragma once

#include <cstddef>
#include <vector>

class BandSplit {
public:
    explicit BandSplit(int bands);

    int Bands() const { return static_cast<int>(seconds_.size()); }
    // The first row of `band` (or, for band == Bands(), the end) among `rows` rows from `firstRow`.
    int Row(int band, int firstRow, int rows) const;
    // How long the band took to draw in the frame just drawn; only its own thread writes it.
    void Took(int band, double seconds) { seconds_[static_cast<size_t>(band)] = seconds; }
    // After every band of a frame is drawn: moves the edges halfway towards where the bands would
    // have taken equal time, supposing each band's time is spread evenly over its rows.
    void Rebalance();

private:
    std::vector<double> edges_; // Bands() + 1 fractions of the rows, from exactly 0 to exactly 1
    std::vector<double> seconds_;
    std::vector<double> wanted_; // Rebalance's own, kept so that a frame allocates nothing
};
