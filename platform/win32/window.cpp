// Windows and window classes on SDL2: a borderless full-screen window (or, on request, a window
// of a whole multiple of 640 x 480) that shows the picture scaled keeping its shape, SDL events
// turned into window messages, the pointer, screen metrics, the pause while in the background.
#include "hook_points.h"
#include "platform_internal.h"
#include "window_internal.h"

#include <SDL.h>

#include <cstdlib>
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
    SDL_Renderer* renderer = nullptr; // only with a real display and a GPU behind it
    SDL_Texture* texture = nullptr;
    SDL_Texture* enlarged = nullptr; // the picture at a whole multiple, for the sharp scaling
    int textureWidth = 0;
    int textureHeight = 0;
    bool useSurface = false; // no GPU: our own scaling straight into the window surface
    SoftwareScaler scaler;
    bool fullScreen = false;
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

// The names the desktop knows the game by: the window class of its desktop entry, its app ID.
constexpr const char* WINDOW_CLASS_NAME = "orbitdefense";
constexpr const char* APP_ID = "io.github.orbitdefense.OrbitDefense";
constexpr const char* ICON_FILE = "orbitdefense_icon.bmp"; // drawn by the data generator

constexpr int BACKGROUND_WAKE_MS = 100;
bool g_inBackground = false; // focus lost or minimised, and the clock stopped
uint64_t g_pausedSince = 0;  // SDL ticks when the window went into the background
uint64_t g_pausedTotal = 0;  // milliseconds spent there, taken out of the tick count
// The frame-rate report for measuring (ORBIT_REPORT_FRAMES=seconds to skip after the first
// picture): pictures presented from then on, written to stderr at exit.
uint64_t g_reportSkipMs = 0;
uint64_t g_firstShownTicks = 0;
uint64_t g_countedSince = 0;
uint64_t g_framesShown = 0;

void ReportFramesShown()
{
    double seconds = g_countedSince ? static_cast<double>(SDL_GetTicks64() - g_countedSince) / 1000.0 : 0.0;
    std::fprintf(stderr, "orbitdefense: %llu frames shown in %.2f s (%.1f per second)\n",
                 static_cast<unsigned long long>(g_framesShown), seconds,
                 seconds > 0 ? static_cast<double>(g_framesShown) / seconds : 0.0);
}

bool EnsureVideo()
{
    if (!g_videoTried) {
        g_videoTried = true;
        SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0"); // the window's close button is WM_CLOSE
        SDL_SetHint(SDL_HINT_RENDER_VSYNC, "0");              // presenting never waits
        SDL_SetHint(SDL_HINT_APP_NAME, "Orbit Defense");
        // The class and app ID the desktop entry names, so the desktop ties the window to it.
        setenv("SDL_VIDEO_X11_WMCLASS", WINDOW_CLASS_NAME, 0);
        setenv("SDL_VIDEO_WAYLAND_WMCLASS", APP_ID, 0);
        SDL_SetHint("SDL_VIDEO_X11_WMCLASS", WINDOW_CLASS_NAME);
        SDL_SetHint("SDL_VIDEO_WAYLAND_WMCLASS", APP_ID);
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
    if (window->enlarged)
        SDL_DestroyTexture(window->enlarged);
    if (window->texture)
        SDL_DestroyTexture(window->texture);
    if (window->renderer)
        SDL_DestroyRenderer(window->renderer);
    if (window->sdl)
        SDL_DestroyWindow(window->sdl);
    window->texture = nullptr;
    window->enlarged = nullptr;
    window->renderer = nullptr;
    window->sdl = nullptr;
}

void ShowBlack(HWND window)
{
    if (window->useSurface) {
        if (SDL_Surface* surface = SDL_GetWindowSurface(window->sdl)) {
            SDL_FillRect(surface, nullptr, 0);
            SDL_UpdateWindowSurface(window->sdl);
        }
        return;
    }
    if (!window->renderer)
        return;
    SDL_SetRenderDrawColor(window->renderer, 0, 0, 0, 255);
    SDL_RenderClear(window->renderer);
    SDL_RenderPresent(window->renderer);
}

// Where the picture lies in the window, in the window's own coordinates (those of the pointer).
ScaledPlacement PlacementOf(HWND window)
{
    int width = POINTER_WIDTH, height = POINTER_HEIGHT;
    if (window && window->sdl && (window->renderer || window->useSurface))
        SDL_GetWindowSize(window->sdl, &width, &height);
    return PlacePicture(width, height, POINTER_WIDTH, POINTER_HEIGHT, g_launchOptions.scale);
}

// A window of 640 x 480 times the largest whole factor that fits the desktop's free area.
void WindowedSize(SDL_Window* sdl, int* width, int* height)
{
    SDL_Rect usable{0, 0, POINTER_WIDTH, POINTER_HEIGHT};
    int display = sdl ? SDL_GetWindowDisplayIndex(sdl) : 0;
    if (SDL_GetDisplayUsableBounds(display < 0 ? 0 : display, &usable) != 0)
        SDL_GetDisplayBounds(0, &usable);
    int factor = WholeFactorFor(usable.w, usable.h);
    *width = POINTER_WIDTH * factor;
    *height = POINTER_HEIGHT * factor;
}

void SetFullScreen(HWND window, bool fullScreen)
{
    if (!window->sdl || window->fullScreen == fullScreen)
        return;
    window->fullScreen = fullScreen;
    if (fullScreen) {
        SDL_SetWindowFullscreen(window->sdl, SDL_WINDOW_FULLSCREEN_DESKTOP);
    } else {
        SDL_SetWindowFullscreen(window->sdl, 0);
        int width, height;
        WindowedSize(window->sdl, &width, &height);
        SDL_SetWindowSize(window->sdl, width, height);
        SDL_SetWindowPosition(window->sdl, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    }
    ShowBlack(window);
}

void SetIcon(SDL_Window* sdl)
{
    std::string path = NativePath(ICON_FILE);
    if (SDL_Surface* icon = SDL_LoadBMP(path.c_str())) {
        SDL_SetWindowIcon(sdl, icon);
        SDL_FreeSurface(icon);
    }
}

bool IsSoftwareGl(const char* name)
{
    return name && (std::strstr(name, "llvmpipe") || std::strstr(name, "softpipe") || std::strstr(name, "swrast"));
}

// With a GPU behind SDL's renderer, the picture goes through it. Without one (Mesa's software
// OpenGL, or no OpenGL at all) presenting through OpenGL would cost more than drawing the frame:
// the picture is then scaled by us, once, straight into the window surface.
void ChoosePresentPath(HWND window)
{
    const char* forced = std::getenv("ORBIT_PRESENT"); // "surface" or "renderer", for measuring
    if (!forced || std::strcmp(forced, "surface") != 0) {
        window->renderer = SDL_CreateRenderer(window->sdl, -1, SDL_RENDERER_ACCELERATED);
        SDL_RendererInfo info;
        if (window->renderer && SDL_GetRendererInfo(window->renderer, &info) == 0 &&
            std::strncmp(info.name, "opengl", 6) == 0 && !(forced && std::strcmp(forced, "renderer") == 0)) {
            using GetString = const unsigned char* (*)(unsigned int);
            auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
            const unsigned GL_RENDERER_NAME = 0x1F01;
            const unsigned char* name = getString ? getString(GL_RENDERER_NAME) : nullptr;
            if (IsSoftwareGl(reinterpret_cast<const char*>(name))) {
                SDL_DestroyRenderer(window->renderer);
                window->renderer = nullptr;
            }
        }
    }
    if (window->renderer)
        return;
    // SDL would otherwise put its window surface on an OpenGL texture again.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    window->useSurface = SDL_GetWindowSurface(window->sdl) != nullptr;
}

void LeaveBackground()
{
    if (!g_inBackground)
        return;
    g_inBackground = false;
    g_pausedTotal += SDL_GetTicks64() - g_pausedSince;
}

void EnterBackground()
{
    if (g_inBackground || !g_launchOptions.pauseInBackground)
        return;
    g_inBackground = true;
    g_pausedSince = SDL_GetTicks64();
}

// The last picture again, when the desktop asks for the window to be redrawn while it is paused.
void ShowAgain(HWND window)
{
    if (window->useSurface) {
        SDL_UpdateWindowSurface(window->sdl);
    } else if (window->renderer && window->texture) {
        SDL_RenderPresent(window->renderer);
    }
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
    // Alt+Enter and F11 switch between full screen and a window; the game never sees them.
    if ((virtualKey == VK_RETURN && alt) || virtualKey == VK_F1 + 10) {
        if (down && !key.repeat)
            SetFullScreen(window, !window->fullScreen);
        return;
    }
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
        if (HWND window = FindBySdlId(event.motion.windowID)) {
            int x, y;
            WindowToPicture(PlacementOf(window), event.motion.x, event.motion.y, &x, &y);
            QueuePointerMove(window, x, y, true);
        }
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
        int x, y;
        WindowToPicture(PlacementOf(window), event.button.x, event.button.y, &x, &y);
        QueueMessage(window, message, 0, MAKELPARAM(x, y));
        break;
    }
    case SDL_KEYDOWN:
    case SDL_KEYUP: TranslateKey(event.key); break;
    case SDL_WINDOWEVENT: {
        HWND window = FindBySdlId(event.window.windowID);
        switch (event.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
            if (window)
                QueueMessage(window, WM_CLOSE, 0, 0);
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            // A button let go in another program would otherwise stay down here.
            SetKeyDown(VK_LBUTTON, false);
            SetKeyDown(VK_RBUTTON, false);
            SetKeyDown(VK_MENU, false);
            EnterBackground();
            break;
        case SDL_WINDOWEVENT_MINIMIZED:
        case SDL_WINDOWEVENT_HIDDEN: EnterBackground(); break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_SHOWN: LeaveBackground(); break;
        case SDL_WINDOWEVENT_EXPOSED:
            if (window && g_inBackground)
                ShowAgain(window);
            break;
        default: break;
        }
        break;
    }
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

bool WaitWhileInBackground()
{
    if (!g_videoReady || !g_inBackground)
        return false;
    // Woken now and then as well: a message posted from the audio thread brings no SDL event.
    SDL_Event event;
    if (SDL_WaitEventTimeout(&event, BACKGROUND_WAKE_MS))
        TranslateEvent(event);
    return true;
}

uint32_t PausedMilliseconds()
{
    return static_cast<uint32_t>(g_pausedTotal);
}

std::string WhyNoDisplay()
{
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    if (driver && *driver) // asked for by name, such as the dummy driver of a headless run
        return EnsureVideo() ? std::string() : std::string("cannot start the video driver: ") + SDL_GetError();
    // SDL may find a console display of its own; its off-screen stand-in shows nothing.
    if (HasRealDisplay())
        return std::string();
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if ((x11 && *x11) || (wayland && *wayland))
        return std::string("cannot open the display ") + (x11 && *x11 ? x11 : wayland);
    return "no display to show the game on (neither DISPLAY nor WAYLAND_DISPLAY is set); start it from a "
           "desktop session";
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
        bool fullScreen = (style & WS_POPUP) && !g_launchOptions.windowed;
        Uint32 flags = SDL_WINDOW_HIDDEN | (fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
        if (!fullScreen && (style & WS_POPUP)) {
            // Asked for a window instead of the full screen: a whole multiple of the picture.
            flags |= SDL_WINDOW_RESIZABLE;
            WindowedSize(nullptr, &width, &height);
        }
        window->sdl = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                       width > 0 ? width : POINTER_WIDTH, height > 0 ? height : POINTER_HEIGHT, flags);
        window->fullScreen = fullScreen;
        if (window->sdl)
            SDL_ShowCursor(g_cursorCount >= 0 ? SDL_ENABLE : SDL_DISABLE); // a count kept before video
        if (window->sdl && HasRealDisplay()) {
            SetIcon(window->sdl);
            ChoosePresentPath(window);
            // The pointer stays on the game while it has focus; SDL lets it go when focus goes.
            SDL_SetWindowGrab(window->sdl, SDL_TRUE);
            if (const char* skip = std::getenv("ORBIT_REPORT_FRAMES")) {
                g_reportSkipMs = static_cast<uint64_t>(std::strtoul(skip, nullptr, 10)) * 1000;
                std::atexit(ReportFramesShown);
            }
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

namespace {
void PresentThroughSurface(HWND window, const uint16_t* pixels, int width, int height, int pitchPixels)
{
    SDL_Surface* surface = SDL_GetWindowSurface(window->sdl);
    if (!surface)
        return;
    ScaledPlacement place = PlacePicture(surface->w, surface->h, width, height, g_launchOptions.scale);
    if (place.width <= 0 || place.height <= 0)
        return;
    // Black around the picture, then the picture.
    SDL_Rect bars[4] = {{0, 0, surface->w, place.y},
                        {0, place.y + place.height, surface->w, surface->h - place.y - place.height},
                        {0, place.y, place.x, place.height},
                        {place.x + place.width, place.y, surface->w - place.x - place.width, place.height}};
    SDL_FillRects(surface, bars, 4, SDL_MapRGB(surface->format, 0, 0, 0));
    bool direct = surface->format->BytesPerPixel == 4 && surface->format->Rmask == 0xFF0000 &&
        surface->format->Gmask == 0x00FF00 && surface->format->Bmask == 0x0000FF;
    if (direct) {
        if (SDL_MUSTLOCK(surface))
            SDL_LockSurface(surface);
        uint32_t* target = static_cast<uint32_t*>(surface->pixels) + place.y * (surface->pitch / 4) + place.x;
        ScalePicture(&window->scaler, pixels, width, height, pitchPixels, g_launchOptions.scale, target, place.width,
                     place.height, surface->pitch / 4);
        if (SDL_MUSTLOCK(surface))
            SDL_UnlockSurface(surface);
    } else {
        // Another pixel layout: scale into a buffer of ours and let SDL convert it once.
        static std::vector<uint32_t> scratch;
        scratch.resize(static_cast<size_t>(place.width) * static_cast<size_t>(place.height));
        ScalePicture(&window->scaler, pixels, width, height, pitchPixels, g_launchOptions.scale, scratch.data(),
                     place.width, place.height, place.width);
        SDL_Surface* from = SDL_CreateRGBSurfaceWithFormatFrom(scratch.data(), place.width, place.height, 32,
                                                               place.width * 4, SDL_PIXELFORMAT_RGB888);
        if (from) {
            SDL_Rect to{place.x, place.y, place.width, place.height};
            SDL_BlitSurface(from, nullptr, surface, &to);
            SDL_FreeSurface(from);
        }
    }
    SDL_UpdateWindowSurface(window->sdl);
}

void PresentThroughRenderer(HWND window, const uint16_t* pixels, int width, int height, int pitchPixels)
{
    SDL_Renderer* renderer = window->renderer;
    if (!window->texture || window->textureWidth != width || window->textureHeight != height) {
        if (window->texture)
            SDL_DestroyTexture(window->texture);
        window->texture =
            SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGB565, SDL_TEXTUREACCESS_STREAMING, width, height);
        window->textureWidth = width;
        window->textureHeight = height;
        if (!window->texture)
            return;
    }
    SDL_UpdateTexture(window->texture, nullptr, pixels, pitchPixels * static_cast<int>(sizeof(uint16_t)));
    int outputWidth = 0, outputHeight = 0;
    SDL_GetRendererOutputSize(renderer, &outputWidth, &outputHeight);
    ScaledPlacement place = PlacePicture(outputWidth, outputHeight, width, height, g_launchOptions.scale);
    SDL_Rect to{place.x, place.y, place.width, place.height};
    SDL_Texture* source = window->texture;
    bool exact = place.width % width == 0 && place.width / width == place.height / height;
    if (g_launchOptions.scale == ScaleMode::Smooth) {
        SDL_SetTextureScaleMode(source, SDL_ScaleModeLinear);
    } else if (exact || g_launchOptions.scale == ScaleMode::Whole) {
        SDL_SetTextureScaleMode(source, SDL_ScaleModeNearest);
    } else {
        // Sharp: enlarge by the whole factor with repeated pixels, then fit the rest smoothly.
        int enlargedWidth = width * place.wholeFactor, enlargedHeight = height * place.wholeFactor;
        int knownWidth = 0, knownHeight = 0;
        if (window->enlarged)
            SDL_QueryTexture(window->enlarged, nullptr, nullptr, &knownWidth, &knownHeight);
        if (window->enlarged && (knownWidth != enlargedWidth || knownHeight != enlargedHeight)) {
            SDL_DestroyTexture(window->enlarged);
            window->enlarged = nullptr;
        }
        if (!window->enlarged && place.wholeFactor > 1)
            window->enlarged = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_TARGET,
                                                 enlargedWidth, enlargedHeight);
        if (window->enlarged && SDL_SetRenderTarget(renderer, window->enlarged) == 0) {
            SDL_SetTextureScaleMode(source, SDL_ScaleModeNearest);
            SDL_RenderCopy(renderer, source, nullptr, nullptr);
            SDL_SetRenderTarget(renderer, nullptr);
            source = window->enlarged;
        }
        SDL_SetTextureScaleMode(source, SDL_ScaleModeLinear);
    }
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    SDL_RenderCopy(renderer, source, nullptr, &to);
    SDL_RenderPresent(renderer);
}
} // namespace

// Scaled to the window keeping its shape, with black bars where the shapes differ.
void PresentToWindow(const uint16_t* pixels, int width, int height, int pitchPixels)
{
    HWND window = MainWindow();
    if (!window || !window->sdl || !pixels || width <= 0 || height <= 0)
        return;
    if (window->useSurface)
        PresentThroughSurface(window, pixels, width, height, pitchPixels);
    else if (window->renderer)
        PresentThroughRenderer(window, pixels, width, height, pitchPixels);
    else
        return;
    uint64_t now = SDL_GetTicks64();
    if (!g_firstShownTicks)
        g_firstShownTicks = now;
    if (now - g_firstShownTicks >= g_reportSkipMs) {
        if (!g_countedSince)
            g_countedSince = now;
        g_framesShown++;
    }
}
