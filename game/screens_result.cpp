// The result screen: the tally, the game-over page and the way back to the title.
#include "game/screens.h"

#include "display/draw2d.h"
#include "game/float_to_int.h"
#include "game/screen_text.h"
#include "scene/renderer.h"
#include "scene/scene_registry.h"

// How many of each kind the timetable sends: the divisors of the destruction rates.
constexpr int32_t METEORS_PER_ROUND = 121;
constexpr int32_t UFOS_PER_ROUND = 93;
constexpr int32_t MISSILES_PER_ROUND = 37;

// Every place on the tally is this origin plus an offset.
constexpr float TALLY_ORIGIN_X = 50.0f;
constexpr float TALLY_ORIGIN_Y = -150.0f;

constexpr int32_t THREE_DIGITS = 9000; // DrawNumber offsets: 9 * 10^k shows k digits
constexpr int32_t FOUR_DIGITS = 90000;
constexpr int32_t FIVE_DIGITS = 900000;

constexpr int32_t SYMBOL_CELL_SIZE = 16; // symbol cells 10 to 14 of the digit sheet
constexpr int32_t SYMBOL_CELL_HEIGHT = 20;

enum ResultPage : int32_t {
    TallyPage = 0,
    GameOverPage = 1,
    BackToTitle = 2,
};

ButtonState g_resultButton = Up; // the right button, polled only while the result shows
uint8_t g_resultLatch = 0;       // a held right press waits to be let go
int32_t g_resultPage = TallyPage;

static int TallyX(float offset)
{
    return TruncToInt(TALLY_ORIGIN_X + offset);
}

static int TallyY(float offset)
{
    return TruncToInt(TALLY_ORIGIN_Y + offset);
}

static void DrawSymbol(int cell, float xOffset, float yOffset)
{
    int left = cell * SYMBOL_CELL_SIZE;
    DrawSprite(TallyX(xOffset), TallyY(yOffset), g_spriteSheets[SPR_DIGITS], left, 0, left + SYMBOL_CELL_SIZE,
               SYMBOL_CELL_HEIGHT);
}

// One kind's row: rate, 3000, bonus. Returns the unrounded bonus, kept in single precision.
static float DrawTallyRow(int32_t destroyed, int32_t total, int labelSheet, float yOffset)
{
    float ratio = static_cast<float>(destroyed) / static_cast<float>(total);
    float bonus = ratio * static_cast<float>(BONUS_PER_KIND);
    float rate = ratio * 100.0f;
    DrawNumber(TruncToInt(bonus), TallyX(412), TallyY(yOffset), FOUR_DIGITS);
    DrawNumber(TruncToInt(rate), TallyX(180), TallyY(yOffset), THREE_DIGITS);
    DrawSprite(TallyX(50), TallyY(yOffset), g_spriteSheets[labelSheet], 0, 0, 100, 20);
    DrawSymbol(11, 270, yOffset);
    DrawSymbol(10, 234, yOffset);
    DrawSymbol(13, 388, yOffset);
    return bonus;
}

// The whole tally, drawn afresh every frame of the page; it also keeps the best total.
static void DrawTally(int32_t meteorsDestroyed, int32_t ufosDestroyed, int32_t missilesDestroyed, int32_t score,
                      int32_t& best)
{
    DrawSprite(TallyX(20), TallyY(335), g_spriteSheets[SPR_LINE], 0, 0, 500, 2);
    DrawSprite(TallyX(312), TallyY(230), g_spriteSheets[SPR_BONUS_LABEL], 0, 0, 100, 20);
    DrawSprite(TallyX(180), TallyY(230), g_spriteSheets[SPR_RATE_LABEL], 0, 0, 100, 20);
    DrawNumber(BONUS_PER_KIND, TallyX(312), TallyY(250), FOUR_DIGITS);
    DrawNumber(BONUS_PER_KIND, TallyX(312), TallyY(280), FOUR_DIGITS);
    DrawNumber(BONUS_PER_KIND, TallyX(312), TallyY(310), FOUR_DIGITS);

    float totalBonus = 0.0f;
    totalBonus += DrawTallyRow(meteorsDestroyed, METEORS_PER_ROUND, SPR_METEOR_LABEL, 250);
    totalBonus += DrawTallyRow(ufosDestroyed, UFOS_PER_ROUND, SPR_UFO_LABEL, 280);
    totalBonus += DrawTallyRow(missilesDestroyed, MISSILES_PER_ROUND, SPR_MISSILE_LABEL, 310);

    // The sum comes from the unrounded total, so it may differ from the figures shown by one or two.
    float sum = score + totalBonus;
    DrawNumber(TruncToInt(totalBonus), TallyX(412), TallyY(340), FOUR_DIGITS);
    DrawSprite(TallyX(50), TallyY(340), g_spriteSheets[SPR_TOTALBONUS_LABEL], 0, 0, 176, 20);
    DrawNumber(score, TallyX(90), TallyY(405), FIVE_DIGITS);
    DrawNumber(TruncToInt(totalBonus), TallyX(220), TallyY(405), FOUR_DIGITS);
    DrawNumber(TruncToInt(sum), TallyX(380), TallyY(405), FIVE_DIGITS);
    DrawSymbol(12, 190, 405);
    DrawSymbol(13, 320, 405);
    DrawSprite(TallyX(190), TallyY(385), g_spriteSheets[SPR_YOURSCORE_LABEL], 0, 0, 176, 20);

    if (best <= sum) {
        best = TruncToInt(sum);
        DrawSprite(TallyX(190), TallyY(450), g_spriteSheets[SPR_HISCORE_LABEL], 0, 0, 128, 20);
        DrawSymbol(14, 320, 450);
    }
}

// Each right press held for two polls turns one page, once it has been let go again.
void RunResultScreen(bool& titleActive, bool& playing, bool& worldActive, bool& resultActive, int32_t meteorsDestroyed,
                     int32_t ufosDestroyed, int32_t missilesDestroyed, int32_t score, int32_t& best)
{
    UpdateButtonState(VK_RBUTTON, g_resultButton);
    worldActive = false;
    if (g_resultButton == Held)
        g_resultLatch = 1;
    if (g_resultLatch && g_resultButton == Up) {
        g_resultPage++;
        g_resultLatch = 0;
    }

    if (g_resultPage == TallyPage) {
        DrawTally(meteorsDestroyed, ufosDestroyed, missilesDestroyed, score, best);
        DrawGdiText("マウスの右ボタンを押してください", PROMPT_HEIGHT, 167, 350, PROMPT_GREY, PROMPT_GREY, PROMPT_GREY,
                    0);
    }
    if (g_resultPage == GameOverPage) {
        DrawGdiText("マウスの右ボタンでスタートへ", PROMPT_HEIGHT, 177, 350, PROMPT_GREY, PROMPT_GREY, PROMPT_GREY, 0);
        DrawSprite(0, 200, g_spriteSheets[SPR_GAMEOVER], 0, 0, 640, 80);
    }
    if (g_resultPage == BackToTitle) {
        g_resultPage = TallyPage;
        resultActive = false;
        playing = false;
        worldActive = false;
        titleActive = true;
        // Out of sight until the next round's first frame of play puts them back.
        g_frames[SLOT_EARTH]->SetPosition(g_scene, -100.0f, 0.0f, 0.0f);
        g_frames[SLOT_SATELLITE]->SetPosition(g_scene, -100.0f, 0.0f, 0.0f);
        g_frames[SLOT_SKY]->SetPosition(g_scene, -100.0f, 0.0f, 0.0f);
    }
}
