// The game's look, end to end: the title and the first seconds of play rendered headless through
// the real loop and compared with stored pictures, and the title's texts kept readable over the
// sky. Regenerate the pictures with ORBIT_UPDATE_REFERENCES=1 and look at each before committing.
#include "data_bitmaps.h"
#include "harness.h"
#include "png_io.h"

#include "game/enemy_slots.h"
#include "game/round.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr int TITLE_FRAME = 3;
constexpr int START_FRAME = 5; // the left button goes down here; play starts two polls later
constexpr int POINTER_X = 400, POINTER_Y = 300;
// Small rounding differences only: a broken model, texture, light or sprite moves far more.
constexpr int CHANNEL_TOLERANCE = 8;
constexpr int ALLOWED_DIFFERING = 300;

TestImage Presented()
{
    return ImageFromRgb565(TestPresentedImage(), 640, 480, 640);
}

uint16_t ToRgb565(uint32_t rgb)
{
    return static_cast<uint16_t>(((rgb >> 19 & 0x1F) << 11) | ((rgb >> 10 & 0x3F) << 5) | (rgb >> 3 & 0x1F));
}

bool Bright(uint16_t c)
{
    return (c >> 11) >= 24 && ((c >> 5) & 0x3F) >= 48 && (c & 0x1F) >= 24;
}

} // namespace

TEST(LookReference, TitleAndFirstSecondsOfPlayMatchTheirPictures)
{
    struct Shot {
        const char* name;
        float playSeconds; // taken on the first frame at or past this much play; < 0: the title
        TestImage image;
        bool taken = false;
    };
    Shot shots[] = {{"look/title", -1, {}}, {"look/play_1s", 1.0f, {}}, {"look/play_4s", 4.0f, {}}};

    GameScript script;
    script.frameMs = 16;
    script.maxFrames = 400;
    script.onFrame = [&](int frame, GameScript&) {
        if (frame == TITLE_FRAME) {
            shots[0].image = Presented();
            shots[0].taken = true;
        }
        if (frame == START_FRAME)
            TestSetMouseButton(VK_LBUTTON, true);
        if (g_worldActive) // the title puts the pointer back at the centre
            TestMoveMouse(POINTER_X, POINTER_Y);
        for (Shot& s : shots)
            if (!s.taken && s.playSeconds >= 0 && g_worldActive && g_elapsed >= s.playSeconds) {
                s.image = Presented();
                s.taken = true;
            }
        if (shots[2].taken)
            TestPressKey(VK_ESCAPE);
    };
    EXPECT_EQ(RunGame(script), 1);
    for (const Shot& s : shots) {
        ASSERT_TRUE(s.taken) << s.name;
        std::string message;
        EXPECT_TRUE(MatchesReference(s.image, s.name, CHANNEL_TOLERANCE, ALLOWED_DIFFERING, &message)) << message;
    }
}

// The sky is drawn after the title's sprites and text; it must leave them showing on the first
// title and on every title after a round, wherever the sky had turned to by the round's end.
TEST(LookTitle, BannerAndPromptStayReadableOverTheSkyOnEveryTitle)
{
    Bitmap banner;
    ASSERT_TRUE(LoadBitmap("TITLE.bmp", banner));
    ASSERT_GE(banner.width, 640);
    ASSERT_GE(banner.height, 80);

    struct TitleLook {
        int visible = 0, unchanged = 0, promptBright = 0, promptArea = 0;
    };
    std::vector<TitleLook> titles;
    TestImage secondTitle;
    // Missiles are let through from these times on: the first missile ends the first round at
    // about 16 s, the next ends at about 90 s, and the last round runs its full 180 s.
    const float missilesFrom[] = {0.0f, 80.0f, 1000.0f};
    int titleFrames = 0, resultFrames = 0;
    GameScript script;
    script.maxFrames = 8000;
    script.onFrame = [&](int, GameScript& s) {
        s.frameMs = g_worldActive ? 100 : 50;
        titleFrames = g_titleActive ? titleFrames + 1 : 0;
        resultFrames = g_resultActive ? resultFrames + 1 : 0;
        const size_t round = titles.size() - (titles.empty() ? 0 : 1);
        if (g_worldActive && round < std::size(missilesFrom) && g_elapsed < missilesFrom[round])
            for (EnemySlot& e : g_enemySlots)
                e.alive = e.alive && e.kind != Missile;
        // Pages turn on a right press held for two polls and let go.
        TestSetMouseButton(VK_RBUTTON, resultFrames % 10 >= 2 && resultFrames % 10 < 5);
        TestSetMouseButton(VK_LBUTTON, g_titleActive && titleFrames > TITLE_FRAME);
        if (titleFrames != TITLE_FRAME)
            return;
        TitleLook look;
        for (int y = 0; y < 80; ++y)
            for (int x = 0; x < 640; ++x) {
                if (!banner.Visible(x, y))
                    continue;
                look.visible++;
                look.unchanged += PresentedPixel(x, 200 + y) == ToRgb565(banner.At(x, y));
            }
        // The prompt: 22 pixels high from (177, 350), thirteen characters wide.
        for (int y = 350; y < 372; ++y)
            for (int x = 177; x < 177 + 13 * 22; ++x) {
                look.promptArea++;
                look.promptBright += Bright(PresentedPixel(x, y));
            }
        titles.push_back(look);
        if (titles.size() == 2)
            secondTitle = Presented();
        if (titles.size() == std::size(missilesFrom) + 1)
            TestPressKey(VK_ESCAPE);
    };
    EXPECT_EQ(RunGame(script), 1);
    ASSERT_EQ(titles.size(), std::size(missilesFrom) + 1);
    for (size_t i = 0; i < titles.size(); i++) {
        const TitleLook& look = titles[i];
        EXPECT_GT(look.visible, 640 * 80 / 10) << "title " << i; // a real banner, not a few stray pixels
        EXPECT_GE(look.unchanged, look.visible * 95 / 100) << "title " << i;
        // Thin white strokes cover about a twentieth of the line; a few stars would not come near.
        EXPECT_GT(look.promptBright, look.promptArea / 40) << "title " << i;
    }
    std::string message;
    EXPECT_TRUE(MatchesReference(secondTitle, "look/second_title", CHANNEL_TOLERANCE, ALLOWED_DIFFERING, &message))
        << message;
}
