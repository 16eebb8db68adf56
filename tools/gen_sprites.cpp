// The sprite sheet bitmaps: digits and symbols, Japanese labels, banners, the rule line, the
// crosshair, the spark and the explosion animations. Black is transparent, so all is drawn on
// black.
#include "datagen.h"

#include "bmp_writer.h"
#include "canvas.h"
#include "glyphs.h"
#include "sprite_effects.h"

#include <cstdio>

namespace {

constexpr int DIGIT_CELL_W = 16;
constexpr int DIGIT_CELL_H = 20;
constexpr int LABEL_H = 20;
constexpr int LABEL_TEXT_X = 2;     // labels start at the left, next to their numbers
constexpr int TIME_LABEL_GAP = 170; // time label columns 170-217 stay black over the digits

const char* const LATIN_FONT = "sans:bold";
const char* const JAPANESE_FONT = "serif:lang=ja";

// When no face covers a text: a framed box of the same size, and a warning.
void DrawPlaceholder(Image& img, int x, int y, int w, int h, Rgb colour, const char* what)
{
    std::fprintf(stderr, "datagen: warning: no installed font can draw %s; using a placeholder\n", what);
    DrawLine(img, x + 0.5f, y + 0.5f, x + w - 0.5f, y + 0.5f, 1.0f, colour);
    DrawLine(img, x + 0.5f, y + h - 0.5f, x + w - 0.5f, y + h - 0.5f, 1.0f, colour);
    DrawLine(img, x + 0.5f, y + 0.5f, x + 0.5f, y + h - 0.5f, 1.0f, colour);
    DrawLine(img, x + w - 0.5f, y + 0.5f, x + w - 0.5f, y + h - 0.5f, 1.0f, colour);
}

// Text fitted into the box (x, y, w, h) and drawn centred vertically; horizontally centred
// or from the box's left edge.
void DrawText(Image& img, const char* pattern, const char* utf8, int startSize, int x, int y, int w, int h, bool centre,
              const TextStyle& style)
{
    const int margin = style.outlineWidth + style.shadowOffset;
    Mask m;
    if (!RenderTextFit(pattern, utf8, startSize, w - 2 * margin, h - 2 * margin, m)) {
        DrawPlaceholder(img, x + margin, y + margin, w - 2 * margin, h - 2 * margin, style.top, utf8);
        return;
    }
    const int left = centre ? x + (w - m.width) / 2 : x + margin;
    StampMask(img, m, left, y + (h - m.height) / 2, style);
}

bool Save(const std::string& folder, const char* name, const Image& img)
{
    return WriteBmp24(folder + "/" + name, img);
}

// Digits 0-9, then percent, times, plus, equals and the new-best star.
Image DrawDigitSheet()
{
    static const char* const symbols[] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "%", "×", "+", "=", "★"};
    const int count = static_cast<int>(sizeof symbols / sizeof symbols[0]);
    Image sheet(DIGIT_CELL_W * count, DIGIT_CELL_H);
    TextStyle style;
    style.top = Rgb{255, 255, 255};
    style.bottom = Rgb{255, 226, 120};
    style.outline = Rgb{24, 36, 110};
    for (int i = 0; i < count; ++i) {
        TextStyle s = style;
        if (i == 14) { // the star stands out in gold
            s.top = Rgb{255, 245, 150};
            s.bottom = Rgb{255, 170, 30};
        }
        DrawText(sheet, LATIN_FONT, symbols[i], 20, i * DIGIT_CELL_W, 0, DIGIT_CELL_W, DIGIT_CELL_H, true, s);
    }
    return sheet;
}

// A Japanese label of width w, its text within the first textWidth columns.
Image DrawLabel(const char* utf8, int w, int textWidth)
{
    Image label(w, LABEL_H);
    TextStyle style;
    style.top = Rgb{255, 255, 255};
    style.bottom = Rgb{170, 225, 255};
    style.outline = Rgb{16, 28, 84};
    DrawText(label, JAPANESE_FONT, utf8, 18, LABEL_TEXT_X - 1, 0, textWidth, LABEL_H, false, style);
    return label;
}

// A 640 x 80 banner: big styled letters between two glowing rules.
Image DrawBanner(const char* text, Rgb top, Rgb bottom, Rgb outline, Rgb rule)
{
    Image banner(640, 80);
    for (int x = 0; x < banner.width; ++x) {
        const float d = (x - 320.0f) / 320.0f;
        const float a = 1.0f - d * d;
        banner.Blend(x, 4, rule, a);
        banner.Blend(x, 5, rule, a * 0.5f);
        banner.Blend(x, 75, rule, a * 0.5f);
        banner.Blend(x, 76, rule, a);
    }
    TextStyle style;
    style.top = top;
    style.bottom = bottom;
    style.outline = outline;
    style.outlineWidth = 2;
    style.shadow = Rgb{40, 40, 48};
    style.shadowOffset = 3;
    DrawText(banner, LATIN_FONT, text, 64, 20, 8, 600, 64, true, style);
    return banner;
}

Image DrawRuleLine()
{
    Image line(500, 2);
    for (int x = 0; x < line.width; ++x) {
        const float d = (x - 249.5f) / 250.0f;
        const float a = 0.35f + 0.65f * (1.0f - d * d);
        line.Set(x, 0, MakeRgb(200 * a + 40, 230 * a + 20, 255 * a));
        line.Set(x, 1, MakeRgb(120 * a + 20, 150 * a + 20, 220 * a));
    }
    return line;
}

} // namespace

bool WriteSprites(const std::string& folder)
{
    bool ok = true;
    ok = Save(folder, "number_char.bmp", DrawDigitSheet()) && ok;

    struct LabelFile {
        const char* file;
        const char* text;
        int width;
        int textWidth;
    };
    static const LabelFile labels[] = {
        {"score_char.bmp", "スコア", 96, 96},
        {"hiscore_char.bmp", "ハイスコア", 140, 128}, // the tally shows the left 128 columns
        {"limit_char.bmp", "残り時間", 250, TIME_LABEL_GAP},
        {"meteo_char.bmp", "隕石", 100, 100},
        {"ufo_char.bmp", "ＵＦＯ", 100, 100},
        {"missle_char.bmp", "ミサイル", 100, 100},
        {"bonus_char.bmp", "ボーナス", 100, 100},
        {"hakairitu_char.bmp", "破壊率", 100, 100},
        {"yourscore_char.bmp", "あなたのスコア", 176, 176},
        {"totalbonus_char.bmp", "トータルボーナス", 176, 176},
    };
    for (const LabelFile& l : labels)
        ok = Save(folder, l.file, DrawLabel(l.text, l.width, l.textWidth)) && ok;

    ok = Save(folder, "TITLE.bmp",
              DrawBanner("ORBIT DEFENSE", Rgb{230, 250, 255}, Rgb{60, 140, 255}, Rgb{10, 30, 90}, Rgb{90, 170, 255})) &&
        ok;
    ok = Save(folder, "GAMEOVER.bmp",
              DrawBanner("GAME OVER", Rgb{255, 240, 160}, Rgb{230, 40, 20}, Rgb{80, 10, 10}, Rgb{255, 110, 60})) &&
        ok;
    ReleaseFonts(); // all text is drawn
    ok = Save(folder, "line.bmp", DrawRuleLine()) && ok;
    ok = Save(folder, "hibana.bmp", DrawSparkSprite()) && ok;
    ok = Save(folder, "hyoujun.bmp", DrawCrosshairSheet()) && ok;

    static const int debrisCells[] = {48, 96, 144, 192};
    for (int k = 0; k < 4; ++k) {
        char name[32];
        std::snprintf(name, sizeof name, "baku%d.bmp", k);
        const int cell = debrisCells[k];
        ok = Save(folder, name, DrawExplosionSheet(cell, CellsThatFit(cell), 0xB0A0u + k)) && ok;
    }
    ok = Save(folder, "earthexplosion.bmp", DrawImpactSheet(96, CellsThatFit(96), 0xEA27u)) && ok;
    return ok;
}
