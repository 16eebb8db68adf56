// The title screen and the start of play.
#include "game/screens.h"

#include "display/draw2d.h"
#include "game/screen_text.h"

ButtonState g_titleButton = Up; // the left button, polled only while the title shows

// The round is set up afresh on every title frame (the ready flag is cleared here), and play
// starts on the frame the left button reads held, without waiting for another frame.
void DrawTitleScreen(bool& titleActive, bool& playing, bool& worldActive, bool& roundReady)
{
    UpdateButtonState(VK_LBUTTON, g_titleButton);
    roundReady = false;
    playing = false;
    worldActive = false;
    DrawGdiText("マウスの左ボタンでスタート", PROMPT_HEIGHT, 177, 350, PROMPT_GREY, PROMPT_GREY, PROMPT_GREY, 0);
    DrawSprite(0, 200, g_spriteSheets[SPR_TITLE], 0, 0, 640, 80);
    if (g_titleButton == Held) {
        titleActive = false;
        playing = true;
        worldActive = true;
    }
}
