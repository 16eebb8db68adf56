// screen_probe: reads a screenshot of the game (binary PPM) against the game's own sprite pictures
// (binary PPM, converted from its bitmaps), for the end-to-end test.
//   screen_probe sprite SHOT SHEET X Y [LEFT TOP WIDTH HEIGHT]
//       prints the percentage of the cell's lit (non-black) pixels that SHOT shows at (X, Y)
//   screen_probe number SHOT DIGITS X Y COUNT
//       prints the COUNT-digit number drawn at (X, Y) with the digit sheet, '?' for a digit that
//       matches none (judged on the whole cell: lit where the digit is, dark around it); exits 1
//       unless every digit was read
// Black pixels of a sprite are its transparent colour, so only lit pixels are compared, each
// channel within a tolerance that covers the game's 16-bit colours on a 24-bit screen.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr int TOLERANCE = 24;
constexpr int DIGIT_WIDTH = 16;
constexpr int DIGIT_HEIGHT = 20;
constexpr int DIGIT_MATCH_PERCENT = 85;
constexpr int DARK = 96; // below this in every channel, a pixel shows no digit

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;
    const unsigned char* At(int x, int y) const { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }
};

bool SkipSpaceAndComments(std::istream& in)
{
    for (;;) {
        int c = in.peek();
        if (c == '#') {
            std::string line;
            std::getline(in, line);
        } else if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            in.get();
        } else {
            return in.good();
        }
    }
}

bool ReadPpm(const char* path, Picture& picture)
{
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int maxValue = 0;
    if (!(in >> magic) || magic != "P6")
        return false;
    if (!SkipSpaceAndComments(in) || !(in >> picture.width) || !SkipSpaceAndComments(in) || !(in >> picture.height) ||
        !SkipSpaceAndComments(in) || !(in >> maxValue) || maxValue != 255 || picture.width <= 0 || picture.height <= 0)
        return false;
    in.get(); // the one blank before the pixels
    picture.rgb.resize(static_cast<size_t>(picture.width) * picture.height * 3);
    in.read(reinterpret_cast<char*>(picture.rgb.data()), static_cast<std::streamsize>(picture.rgb.size()));
    return in.gcount() == static_cast<std::streamsize>(picture.rgb.size());
}

bool Dark(const unsigned char* pixel)
{
    return pixel[0] < DARK && pixel[1] < DARK && pixel[2] < DARK;
}

// Percentage of the cell's lit pixels that the shot shows at (x, y); -1 when the cell is all black.
// With `whole`, of all the cell's pixels, its black ones counting where the shot is dark there.
int MatchPercent(const Picture& shot, const Picture& sheet, int x, int y, int left, int top, int width, int height,
                 bool whole = false)
{
    int lit = 0;
    int matched = 0;
    int dark = 0;
    int darkMatched = 0;
    for (int row = 0; row < height; row++)
        for (int column = 0; column < width; column++) {
            int sx = left + column;
            int sy = top + row;
            if (sx < 0 || sy < 0 || sx >= sheet.width || sy >= sheet.height)
                continue;
            const unsigned char* want = sheet.At(sx, sy);
            int px = x + column;
            int py = y + row;
            bool onShot = px >= 0 && py >= 0 && px < shot.width && py < shot.height;
            if (want[0] < 8 && want[1] < 8 && want[2] < 8) {
                dark++;
                darkMatched += onShot && Dark(shot.At(px, py));
                continue;
            }
            lit++;
            if (!onShot)
                continue;
            const unsigned char* got = shot.At(px, py);
            if (std::abs(got[0] - want[0]) <= TOLERANCE && std::abs(got[1] - want[1]) <= TOLERANCE &&
                std::abs(got[2] - want[2]) <= TOLERANCE)
                matched++;
        }
    if (whole)
        return (matched + darkMatched) * 100 / (lit + dark);
    return lit ? matched * 100 / lit : -1;
}

int Usage()
{
    std::fprintf(stderr,
                 "usage: screen_probe sprite SHOT SHEET X Y [LEFT TOP WIDTH HEIGHT]\n"
                 "       screen_probe number SHOT DIGITS X Y COUNT\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 6)
        return Usage();
    const std::string mode = argv[1];
    Picture shot;
    Picture sheet;
    if (!ReadPpm(argv[2], shot) || !ReadPpm(argv[3], sheet)) {
        std::fprintf(stderr, "screen_probe: cannot read %s or %s as binary PPM\n", argv[2], argv[3]);
        return 2;
    }
    const int x = std::atoi(argv[4]);
    const int y = std::atoi(argv[5]);

    if (mode == "sprite" && (argc == 6 || argc == 10)) {
        int left = argc == 10 ? std::atoi(argv[6]) : 0;
        int top = argc == 10 ? std::atoi(argv[7]) : 0;
        int width = argc == 10 ? std::atoi(argv[8]) : sheet.width;
        int height = argc == 10 ? std::atoi(argv[9]) : sheet.height;
        std::printf("%d\n", MatchPercent(shot, sheet, x, y, left, top, width, height));
        return 0;
    }
    if (mode == "number" && argc == 7) {
        const int count = std::atoi(argv[6]);
        std::string digits;
        bool all = true;
        for (int i = 0; i < count; i++) {
            int best = -1;
            int bestPercent = DIGIT_MATCH_PERCENT - 1;
            for (int d = 0; d < 10; d++) {
                int percent = MatchPercent(shot, sheet, x + DIGIT_WIDTH * i, y, DIGIT_WIDTH * d, 0, DIGIT_WIDTH,
                                           DIGIT_HEIGHT, true);
                if (percent > bestPercent) {
                    bestPercent = percent;
                    best = d;
                }
            }
            digits += best >= 0 ? static_cast<char>('0' + best) : '?';
            all = all && best >= 0;
        }
        std::printf("%s\n", digits.c_str());
        return all ? 0 : 1;
    }
    return Usage();
}
