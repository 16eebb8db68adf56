// Windows and window classes on SDL2: a borderless full-screen window that shows the 640 x 480
// picture letterboxed, SDL events turned into window messages, the pointer, screen metrics.
#include "hook_points.h"
#include "platform_internal.h"
#include "window_internal.h"

#include <SDL.h>

#include <cstring>
#include <memory>
#include <string>
#include <strings.h>
#include <vector>

struct HWND__ {
    WNDPROC procedure = nullptr;
    bool live = true;
    bool destroying = false;
    bool visible = false;
    SDL_Window* sdl = nullptr;        // none without a video driver
    SDL_Renderer* renderer = nullptr; // only with a real display: nobody sees the dummy one
    SDL_Texture* texture = nullptr;
    int textureWidth = 0;
    int textureHeight = 0;
};

namespace {
struct WindowClass {
    std::string name;
    WNDPROC procedure;
};

std::vector<WindowClass> g_classes;             // registered classes, by atom - CLASS_ATOM_BASE
std::vector<std::unique_ptr<HWND__>> g_windows; // every window made; records outlive their window
bool g_videoTried = false;                      // SDL video was asked for once
bool g_videoReady = false;
int g_cursorCount = 0; // the ShowCursor display counter
char g_arrowCursor;    // stands for the one cursor there is
constexpr WORD CLASS_ATOM_BASE = 0xC000;

bool EnsureVideo()
{
    if (!g_videoTried) {
        g_videoTried = true;
        SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0"); // the window's close button is WM_CLOSE
        SDL_SetHint(SDL_HINT_RENDER_VSYNC, "0");              // presenting never waits
        SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
        g_videoReady = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
    }
    return g_videoReady;
}

HWND FindBySdlId(Uint32 id)
{
    for (auto& window : g_windows)
        if (window->live && window->sdl && SDL_GetWindowID(window->sdl) == id)
            return window.get();
    return nullptr;
}

void ReleaseSdl(HWND window)
{
    if (window->texture)
        SDL_DestroyTexture(window->texture);
    if (window->renderer)
        SDL_DestroyRenderer(window->renderer);
    if (window->sdl)
        SDL_DestroyWindow(window->sdl);
    window->texture = nullptr;
    window->renderer = nullptr;
    window->sdl = nullptr;
}

void ShowBlack(HWND window)
{
    if (!window->renderer)
        return;
    SDL_SetRenderDrawColor(window->renderer, 0, 0, 0, 255);
    SDL_RenderClear(window->renderer);
    SDL_RenderPresent(window->renderer);
}

int VirtualKeyOf(SDL_Keycode key)
{
    if (key >= SDLK_a && key <= SDLK_z)
        return 'A' + (key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9)
        return '0' + (key - SDLK_0);
    if (key >= SDLK_F1 && key <= SDLK_F12)
        return VK_F1 + (key - SDLK_F1);
    switch (key) {
    case SDLK_ESCAPE: return VK_ESCAPE;
    case SDLK_RETURN: return VK_RETURN;
    case SDLK_SPACE: return VK_SPACE;
    case SDLK_TAB: return VK_TAB;
    case SDLK_BACKSPACE: return VK_BACK;
    case SDLK_LEFT: return VK_LEFT;
    case SDLK_RIGHT: return VK_RIGHT;
    case SDLK_UP: return VK_UP;
    case SDLK_DOWN: return VK_DOWN;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT: return VK_SHIFT;
    case SDLK_LCTRL:
    case SDLK_RCTRL: return VK_CONTROL;
    case SDLK_LALT:
    case SDLK_RALT: return VK_MENU;
    default: return 0;
    }
}

int ButtonKey(Uint8 button)
{
    return button == SDL_BUTTON_LEFT ? VK_LBUTTON : button == SDL_BUTTON_RIGHT ? VK_RBUTTON : 0;
}

void TranslateKey(const SDL_KeyboardEvent& key)
{
    int virtualKey = VirtualKeyOf(key.keysym.sym);
    HWND window = FindBySdlId(key.windowID);
    if (!virtualKey || !window)
        return;
    bool down = key.type == SDL_KEYDOWN;
    bool alt = (key.keysym.mod & KMOD_ALT) != 0;
    SetKeyDown(virtualKey, down);
    // Keys with Alt held, and Alt itself, are system keys, as on Windows.
    bool system = alt || virtualKey == VK_MENU;
    UINT message = down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
    LPARAM lParam = 1 | static_cast<LPARAM>(key.keysym.scancode & 0xFF) << 16;
    if (alt)
        lParam |= LPARAM(1) << 29;
    if (!down || key.repeat)
        lParam |= LPARAM(1) << 30;
    if (!down)
        lParam |= LPARAM(1) << 31;
    QueueMessage(window, message, static_cast<WPARAM>(virtualKey), lParam);
}

void TranslateEvent(const SDL_Event& event)
{
    switch (event.type) {
    case SDL_MOUSEMOTION:
        if (HWND window = FindBySdlId(event.motion.windowID))
            QueuePointerMove(window, event.motion.x, event.motion.y, true);
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        int virtualKey = ButtonKey(event.button.button);
        HWND window = FindBySdlId(event.button.windowID);
        if (!virtualKey || !window)
            break;
        bool down = event.type == SDL_MOUSEBUTTONDOWN;
        SetKeyDown(virtualKey, down);
        UINT message =
            virtualKey == VK_LBUTTON ? (down ? WM_LBUTTONDOWN : WM_LBUTTONUP) : (down ? WM_RBUTTONDOWN : WM_RBUTTONUP);
        int x = SDL_clamp(event.button.x, 0, POINTER_WIDTH - 1);
        int y = SDL_clamp(event.button.y, 0, POINTER_HEIGHT - 1);
        QueueMessage(window, message, 0, MAKELPARAM(x, y));
        break;
    }
    case SDL_KEYDOWN:
    case SDL_KEYUP: TranslateKey(event.key); break;
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
            if (HWND window = FindBySdlId(event.window.windowID))
                QueueMessage(window, WM_CLOSE, 0, 0);
        } else if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
            // A button let go in another program would otherwise stay down here.
            SetKeyDown(VK_LBUTTON, false);
            SetKeyDown(VK_RBUTTON, false);
        }
        break;
    case SDL_QUIT: // the session or a signal asks the program to end
        if (HWND window = MainWindow())
            QueueMessage(window, WM_CLOSE, 0, 0);
        break;
    default: break;
    }
}
} // namespace

bool IsLiveWindow(HWND window)
{
    if (!window)
        return false;
    for (auto& record : g_windows)
        if (record.get() == window)
            return record->live;
    return false;
}

WNDPROC WindowProcOf(HWND window)
{
    return IsLiveWindow(window) ? window->procedure : nullptr;
}

HWND MainWindow()
{
    for (auto& window : g_windows)
        if (window->live)
            return window.get();
    return nullptr;
}

SDL_Window* SdlWindowOf(HWND window)
{
    return IsLiveWindow(window) ? window->sdl : nullptr;
}

void PumpWindowEvents()
{
    if (!g_videoReady)
        return;
    SDL_Event event;
    while (SDL_PollEvent(&event))
        TranslateEvent(event);
}

bool HasRealDisplay()
{
    if (!EnsureVideo())
        return false;
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver && std::strcmp(driver, "dummy") != 0 && std::strcmp(driver, "offscreen") != 0;
}

WORD RegisterClassA(const WNDCLASSA* windowClass)
{
    if (!windowClass || !windowClass->lpszClassName || !windowClass->lpfnWndProc)
        return 0;
    for (const WindowClass& known : g_classes)
        if (strcasecmp(known.name.c_str(), windowClass->lpszClassName) == 0)
            return 0; // already registered, as Windows answers
    g_classes.push_back({windowClass->lpszClassName, windowClass->lpfnWndProc});
    return static_cast<WORD>(CLASS_ATOM_BASE + g_classes.size() - 1);
}

// WM_CREATE reaches the procedure before the handle is returned; -1 from it undoes the window.
HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param)
{
    (void)exStyle, (void)x, (void)y, (void)parent, (void)menu, (void)instance, (void)param;
    if (FailureInjected(FailPoint::CreateWindow) || !className)
        return nullptr;
    const WindowClass* found = nullptr;
    for (const WindowClass& known : g_classes)
        if (strcasecmp(known.name.c_str(), className) == 0)
            found = &known;
    if (!found)
        return nullptr;

    auto record = std::make_unique<HWND__>();
    HWND window = record.get();
    window->procedure = found->procedure;
    if (EnsureVideo()) {
        std::string title = windowName ? Cp932ToUtf8(windowName, std::strlen(windowName)) : std::string();
        Uint32 flags = SDL_WINDOW_HIDDEN | ((style & WS_POPUP) ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
        window->sdl = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                       width > 0 ? width : POINTER_WIDTH, height > 0 ? height : POINTER_HEIGHT, flags);
        if (window->sdl)
            SDL_ShowCursor(g_cursorCount >= 0 ? SDL_ENABLE : SDL_DISABLE); // a count kept before video
        if (window->sdl && HasRealDisplay()) {
            window->renderer = SDL_CreateRenderer(window->sdl, -1, 0);
            if (window->renderer)
                SDL_RenderSetLogicalSize(window->renderer, POINTER_WIDTH, POINTER_HEIGHT);
        }
    }
    g_windows.push_back(std::move(record));
    if (window->procedure(window, WM_CREATE, 0, 0) == -1) {
        DestroyWindow(window);
        return nullptr;
    }
    return window;
}

BOOL ShowWindow(HWND window, int showCommand)
{
    if (!IsLiveWindow(window))
        return FALSE;
    BOOL wasVisible = window->visible;
    window->visible = showCommand != SW_HIDE;
    if (window->sdl) {
        if (window->visible) {
            SDL_ShowWindow(window->sdl);
            ShowBlack(window);
        } else {
            SDL_HideWindow(window->sdl);
        }
    }
    return wasVisible;
}

BOOL UpdateWindow(HWND window)
{
    return IsLiveWindow(window); // nothing is painted through WM_PAINT
}

// Windows minimises here; the game destroys the window right after, so nothing is done.
BOOL CloseWindow(HWND window)
{
    return IsLiveWindow(window);
}

// WM_DESTROY reaches the procedure while the window still exists; posted messages for it go.
BOOL DestroyWindow(HWND window)
{
    if (!IsLiveWindow(window) || window->destroying)
        return FALSE;
    window->destroying = true;
    window->procedure(window, WM_DESTROY, 0, 0);
    window->live = false;
    ReleaseSdl(window);
    return TRUE;
}

// Shown while the counter is 0 or more, as Windows does.
int ShowCursor(BOOL show)
{
    g_cursorCount += show ? 1 : -1;
    if (g_videoReady)
        SDL_ShowCursor(g_cursorCount >= 0 ? SDL_ENABLE : SDL_DISABLE);
    return g_cursorCount;
}

int GetSystemMetrics(int index)
{
    if (index != SM_CXSCREEN && index != SM_CYSCREEN)
        return 0;
    SDL_DisplayMode mode;
    if (!HasRealDisplay() || SDL_GetDesktopDisplayMode(0, &mode) != 0)
        return index == SM_CXSCREEN ? POINTER_WIDTH : POINTER_HEIGHT;
    return index == SM_CXSCREEN ? mode.w : mode.h;
}

HICON LoadIconA(HINSTANCE instance, LPCSTR name)
{
    (void)instance, (void)name;
    return nullptr; // the program carries no icon resources
}

HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name)
{
    if (instance || name != IDC_ARROW)
        return nullptr;
    return &g_arrowCursor;
}

// Scaled to the window keeping its shape, with black bars where the shapes differ.
void PresentToWindow(const uint16_t* pixels, int width, int height, int pitchPixels)
{
    HWND window = MainWindow();
    if (!window || !window->renderer || !pixels || width <= 0 || height <= 0)
        return;
    if (!window->texture || window->textureWidth != width || window->textureHeight != height) {
        if (window->texture)
            SDL_DestroyTexture(window->texture);
        window->texture =
            SDL_CreateTexture(window->renderer, SDL_PIXELFORMAT_RGB565, SDL_TEXTUREACCESS_STREAMING, width, height);
        window->textureWidth = width;
        window->textureHeight = height;
        SDL_RenderSetLogicalSize(window->renderer, width, height);
        if (!window->texture)
            return;
    }
    SDL_UpdateTexture(window->texture, nullptr, pixels, pitchPixels * static_cast<int>(sizeof(uint16_t)));
    SDL_SetRenderDrawColor(window->renderer, 0, 0, 0, 255);
    SDL_RenderClear(window->renderer);
    SDL_RenderCopy(window->renderer, window->texture, nullptr, nullptr);
    SDL_RenderPresent(window->renderer);
}
