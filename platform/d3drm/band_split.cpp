// Balancing the render threads' bands of rows by the time each took (no library).
#include "band_split.h"

#include <algorithm>
#include <cmath>

BandSplit::BandSplit(int bands)
        : edges_(static_cast<size_t>(bands) + 1), seconds_(static_cast<size_t>(bands), 0.0),
          wanted_(static_cast<size_t>(bands) + 1)
{
    for (int i = 0; i <= bands; i++)
        edges_[static_cast<size_t>(i)] = static_cast<double>(i) / bands;
}

int BandSplit::Row(int band, int firstRow, int rows) const
{
    return firstRow + static_cast<int>(std::floor(edges_[static_cast<size_t>(band)] * rows));
}

void BandSplit::Rebalance()
{
    const int bands = Bands();
    double total = 0;
    for (double s : seconds_) {
        if (!(s >= 0) || !std::isfinite(s))
            return; // a clock gone wrong: keep the split
        total += s;
    }
    if (bands < 2 || !(total > 0))
        return;
    // Time drawn so far against the fraction of rows, a line through each band; read backwards at
    // equal shares of the total for the new inner edges.
    std::vector<double>& wanted = wanted_;
    wanted.assign(edges_.begin(), edges_.end());
    int band = 0;
    double before = 0; // time of the bands above `band`
    for (int edge = 1; edge < bands; edge++) {
        const double share = total * edge / bands;
        while (band < bands - 1 && before + seconds_[static_cast<size_t>(band)] < share)
            before += seconds_[static_cast<size_t>(band++)];
        const double s = seconds_[static_cast<size_t>(band)];
        const double into = s > 0 ? std::clamp((share - before) / s, 0.0, 1.0) : 0.0;
        const double from = edges_[static_cast<size_t>(band)], to = edges_[static_cast<size_t>(band) + 1];
        wanted[static_cast<size_t>(edge)] = from + (to - from) * into;
    }
    // Halfway, so that one frame's odd timing (a thread that lost its core) moves the split little.
    for (int edge = 1; edge < bands; edge++) {
        double& e = edges_[static_cast<size_t>(edge)];
        e += (wanted[static_cast<size_t>(edge)] - e) / 2;
    }
    // Kept in order, so that the bands still share out every row exactly once.
    for (int edge = 1; edge < bands; edge++)
        edges_[static_cast<size_t>(edge)] =
            std::clamp(edges_[static_cast<size_t>(edge)], edges_[static_cast<size_t>(edge) - 1], 1.0);
}
