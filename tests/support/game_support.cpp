// The game brought up for the tests and benchmarks, and back-buffer read-back.
#include "game_support.h"

#include "display/draw2d.h"
#include "platform_internal.h"
#include "shell/window_proc.h"
#include "sound/sound.h"

static uint16_t Pixel(LPDIRECTDRAWSURFACE surface, int x, int y, int* width = nullptr)
{
    SurfacePixels p;
    if (!surface || !GetSurfacePixels(surface, &p))
        return 0;
    if (width)
        *width = p.width;
    return x < p.width && y < p.height ? p.pixels[y * p.pitchPixels + x] : 0;
}

bool ShowsCells(int x, int y, std::initializer_list<Cell> cells)
{
    int width = 0;
    int height = 0;
    for (const Cell& c : cells) {
        width = std::max(width, c.right - c.left);
        height = std::max(height, c.bottom - c.top);
    }
    bool pictured = false;
    for (int row = 0; row < height; row++)
        for (int column = 0; column < width; column++) {
            int px = x + column;
            int py = y + row;
            if (px < 0 || px >= 640 || py < 0 || py >= 480)
                continue;
            uint16_t expected = 0;
            for (const Cell& c : cells) {
                int sheetWidth = 0;
                uint16_t colour = Pixel(g_spriteSheets[c.sheet].surface, c.left + column, c.top + row, &sheetWidth);
                if (column < c.right - c.left && row < c.bottom - c.top && c.right <= sheetWidth && colour)
                    expected = colour;
            }
            if (Pixel(g_backBuffer, px, py) != expected)
                return false;
            pictured = pictured || expected;
        }
    return pictured; // an expectation with nothing in it proves nothing
}

bool ShowsNumber(const std::string& digits, int x, int y)
{
    bool all = true;
    for (size_t i = 0; i < digits.size(); i++) {
        int d = digits[i] - '0';
        all = all && ShowsCells(x + 16 * static_cast<int>(i), y, {{SPR_DIGITS, 16 * d, 0, 16 * d + 16, 20}});
    }
    return all;
}

bool BackBufferBlank()
{
    for (int y = 0; y < 480; y++)
        for (int x = 0; x < 640; x++)
            if (Pixel(g_backBuffer, x, y))
                return false;
    return true;
}

bool BringUpGame()
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "DEFAULT";
    RegisterClassA(&windowClass);
    g_hInstance = instance;
    g_hWnd = CreateWindowExA(0, "DEFAULT", "DEFAULT", WS_POPUP, 0, 0, 640, 480, nullptr, nullptr, instance, nullptr);
    return g_hWnd && InitDisplay(g_hWnd) && InitSound(g_hWnd) && InitRenderer(g_hWnd) && BuildScene(g_hWnd);
}

void EnterPlay(float delta)
{
    g_frameDelta = delta;
    RunRoundFrame(g_hWnd);
    g_titleActive = false;
    g_playing = g_worldActive = g_roundReady = true;
}

void GameScene::SetUp()
{
    ASSERT_TRUE(BringUpGame());
    EnterPlay(0.0f);
    RunRoundFrame(g_hWnd);
    for (int slot : {SLOT_SATELLITE, SLOT_EARTH, SLOT_SKY})
        g_frames[slot]->DeleteVisual(g_meshes[slot]);
    ClearBackBuffer();
}

void GameScene::PlaceEnemy(int slot, EnemyKind kind, float x, float y, float z)
{
    EnemySlot& e = g_enemySlots[slot];
    e = EnemySlot{};
    e.position = {x, y, z};
    e.kind = kind;
    e.alive = true;
    e.hitPoints = kind == Meteor ? 1 : kind == Ufo ? 3 : 5;
    g_frames[SLOT_ENEMY_BASE + slot]->SetPosition(g_scene, x, y, z);
}

void GameScene::ScreenPoint(float x, float y, float z, int& sx, int& sy)
{
    D3DVECTOR p = {x, y, z};
    D3DRMVECTOR4D q;
    g_viewport->Transform(&q, &p);
    sx = static_cast<int>(q.x / q.w);
    sy = static_cast<int>(q.y / q.w);
}
