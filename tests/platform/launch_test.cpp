// What a player relies on when starting the game: where its data is found wherever it is
// installed and started from, the command line, and where the picture and the pointer land in a
// window of any size.
#include "harness.h"
#include "platform_internal.h"
#include "window_internal.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {
// The places a test copy of a data file can lie in.
enum Place { CWD, EXE, SHARE, XDG1, XDG2, OTHER };
const char* const PLACE_NAMES[] = {"cwd", "exe", "share", "xdg1", "xdg2", "other"};

struct LookupCase {
    const char* name;
    std::vector<Place> present; // where the file is put
    bool moduleFolderPath;      // the game asks by the executable's folder (models) or bare (sprites)
    const char* stored;         // the file name on disk ("" = as asked)
    int expected;               // the place found, or -1 for none
};

void PrintTo(const LookupCase& row, std::ostream* out)
{
    *out << row.name;
}

void MakeFolders(const std::string& path)
{
    for (size_t at = path.find('/', 1); at != std::string::npos; at = path.find('/', at + 1))
        mkdir(path.substr(0, at).c_str(), 0755);
    mkdir(path.c_str(), 0755);
}

class DataLookup : public testing::TestWithParam<LookupCase> { };

TEST_P(DataLookup, FindsTheFileInTheDesignedOrder)
{
    const LookupCase& row = GetParam();
    std::string root = testing::TempDir() + "lookup_" + std::to_string(getpid()) + "_" +
        std::to_string(testing::UnitTest::GetInstance()->random_seed()) + "_" + row.name;
    // An installed layout under a long prefix, past any fixed path buffer.
    std::string prefix = root;
    for (int i = 0; i < 30; i++)
        prefix += "/folder-" + std::to_string(i);
    std::string folders[] = {root + "/cwd/",
                             prefix + "/bin/",
                             prefix + "/share/orbitdefense/",
                             root + "/xdg1/orbitdefense/",
                             root + "/xdg2/orbitdefense/",
                             root + "/other/"};
    for (const std::string& folder : folders)
        MakeFolders(folder);
    const char* asked = "SATELLITE.x";
    std::string stored = *row.stored ? row.stored : asked;
    for (Place place : row.present)
        std::fclose(std::fopen((folders[place] + stored).c_str(), "wb"));

    DataPlaces places;
    places.currentFolder = folders[CWD];
    places.moduleFolder = folders[EXE];
    std::string dataDirs = root + "/xdg1:relative/ignored:" + root + "/xdg2";
    places.xdgDataDirs = dataDirs.c_str();
    std::string windowsPath = row.moduleFolderPath ? folders[EXE] + asked : asked;
    for (char& c : windowsPath)
        if (c == '/')
            c = '\\';
    std::vector<std::string> tried;
    std::string found = FindDataFile(windowsPath.c_str(), places, &tried);
    if (row.expected < 0) {
        EXPECT_EQ(found, "");
        EXPECT_FALSE(tried.empty());
    } else {
        EXPECT_EQ(found, folders[row.expected] + stored) << "expected in " << PLACE_NAMES[row.expected];
    }
    std::system(("rm -rf '" + root + "'").c_str());
}

INSTANTIATE_TEST_SUITE_P(
    Platform, DataLookup,
    testing::Values(LookupCase{"BareNameCurrentFolderFirst", {CWD, EXE, SHARE, XDG1}, false, "", CWD},
                    LookupCase{"BareNameThenExecutableFolder", {EXE, SHARE, XDG1}, false, "", EXE},
                    LookupCase{"BareNameThenShareBesideExecutable", {SHARE, XDG1}, false, "", SHARE},
                    LookupCase{"BareNameThenFirstDataDir", {XDG1, XDG2}, false, "", XDG1},
                    LookupCase{"BareNameThenLaterDataDir", {XDG2}, false, "", XDG2},
                    LookupCase{"BareNameNowhere", {OTHER}, false, "", -1},
                    LookupCase{"ModuleFileSkipsCurrentFolder", {CWD, SHARE}, true, "", SHARE},
                    LookupCase{"ModuleFileExecutableFolderFirst", {CWD, EXE, SHARE}, true, "", EXE},
                    LookupCase{"ModuleFileThenDataDir", {XDG2}, true, "", XDG2},
                    LookupCase{"CaseIgnoredInFallback", {SHARE}, false, "satellite.X", SHARE},
                    LookupCase{"ModuleFileNowhere", {CWD}, true, "", -1}),
    [](const testing::TestParamInfo<LookupCase>& info) { return std::string(info.param.name); });

TEST(DataLookupPaths, ShortModuleNameAndOtherFolders)
{
    DataPlaces places;
    places.moduleFolder = "/opt/game/bin/";
    places.shortModuleFolder = "/proc/self/fd/9/";
    places.xdgDataDirs = "";
    // The short name the module path may come in stands for the executable's folder.
    std::vector<std::string> candidates = DataFileCandidates("\\proc\\self\\fd\\9\\earth.x", places);
    ASSERT_GE(candidates.size(), 4u);
    EXPECT_EQ(candidates[0], "/opt/game/bin/earth.x");
    EXPECT_EQ(candidates[1], "/opt/game/share/orbitdefense/earth.x");
    EXPECT_EQ(candidates[2], "/usr/local/share/orbitdefense/earth.x"); // the default data dirs
    EXPECT_EQ(candidates[3], "/usr/share/orbitdefense/earth.x");
    // A file named in any other folder is taken from there only.
    EXPECT_EQ(DataFileCandidates("\\tmp\\x\\earth.x", places), std::vector<std::string>{"/tmp/x/earth.x"});

    // The executable's own path, whatever its length, and a form of it the game's buffers hold.
    std::string exe = ExecutablePath();
    ASSERT_FALSE(exe.empty());
    EXPECT_EQ(access(exe.c_str(), X_OK), 0);
    EXPECT_LE(ModuleFileName().size(), std::max(exe.size(), MODULE_LONG_FORM_LIMIT));
}

struct CommandCase {
    const char* name;
    std::vector<const char*> arguments;
    int exitCode;    // -1: the game starts
    const char* out; // text expected on stdout
    bool errOneLine; // exactly one line on stderr
    LaunchOptions expected;
};

void PrintTo(const CommandCase& row, std::ostream* out)
{
    *out << row.name;
}

std::string ReadAll(std::FILE* file)
{
    std::string text;
    std::rewind(file);
    for (int c; (c = std::fgetc(file)) != EOF;)
        text += static_cast<char>(c);
    return text;
}

class CommandLine : public testing::TestWithParam<CommandCase> { };

TEST_P(CommandLine, ExitCodesOutputAndOptions)
{
    const CommandCase& row = GetParam();
    std::vector<char*> argv{const_cast<char*>("orbitdefense")};
    for (const char* argument : row.arguments)
        argv.push_back(const_cast<char*>(argument));
    argv.push_back(nullptr);
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    ASSERT_TRUE(out && err);
    LaunchOptions options;
    int code = ParseCommandLine(static_cast<int>(argv.size()) - 1, argv.data(), &options, out, err);
    std::string outText = ReadAll(out), errText = ReadAll(err);
    std::fclose(out);
    std::fclose(err);
    EXPECT_EQ(code, row.exitCode);
    EXPECT_NE(outText.find(row.out), std::string::npos) << outText;
    if (row.errOneLine) {
        EXPECT_EQ(std::count(errText.begin(), errText.end(), '\n'), 1) << errText;
        EXPECT_EQ(errText.rfind("orbitdefense: ", 0), 0u) << errText;
    } else {
        EXPECT_EQ(errText, "");
    }
    if (code < 0) {
        EXPECT_EQ(options.windowed, row.expected.windowed);
        EXPECT_EQ(options.scale, row.expected.scale);
        EXPECT_EQ(options.pauseInBackground, row.expected.pauseInBackground);
    }
}

LaunchOptions Options(bool windowed, ScaleMode scale, bool pause)
{
    LaunchOptions options;
    options.windowed = windowed, options.scale = scale, options.pauseInBackground = pause;
    return options;
}

INSTANTIATE_TEST_SUITE_P(
    Platform, CommandLine,
    testing::Values(
        CommandCase{"NoneAsDesigned", {}, -1, "", false, Options(false, ScaleMode::Sharp, true)},
        CommandCase{"Help", {"--help"}, 0, "Usage: orbitdefense [OPTION]...", false, {}},
        CommandCase{"ShortHelpBeforeBadOption", {"-h", "--bogus"}, 0, "--scale=MODE", false, {}},
        CommandCase{"Version", {"--version"}, 0, "orbitdefense " ORBIT_TEST_VERSION "\n", false, {}},
        CommandCase{"Window", {"--window"}, -1, "", false, Options(true, ScaleMode::Sharp, true)},
        CommandCase{
            "AllOptions", {"-w", "--scale=whole", "--no-pause"}, -1, "", false, Options(true, ScaleMode::Whole, false)},
        CommandCase{"Smooth", {"--scale=smooth"}, -1, "", false, Options(false, ScaleMode::Smooth, true)},
        CommandCase{"UnknownOption", {"--fullscreen"}, 2, "", true, {}},
        CommandCase{"BadScale", {"--scale=blurry"}, 2, "", true, {}},
        CommandCase{"ScaleWithoutValue", {"--scale"}, 2, "", true, {}},
        CommandCase{"StrayArgument", {"level2"}, 2, "", true, {}}),
    [](const testing::TestParamInfo<CommandCase>& info) { return std::string(info.param.name); });

// The picture keeps its shape in any window, the pointer maps back onto it exactly, and the sharp
// enlargement repeats pixels where the factor is whole.
TEST(WindowScale, PlacementPointerAndEnlargement)
{
    struct Row {
        int width, height;
        ScaleMode mode;
        ScaledPlacement expected;
    } rows[] = {
        {1920, 1080, ScaleMode::Sharp, {240, 0, 1440, 1080, 2}},
        {1920, 1080, ScaleMode::Whole, {320, 60, 1280, 960, 2}},
        {1280, 800, ScaleMode::Whole, {320, 160, 640, 480, 1}},
        {1280, 800, ScaleMode::Smooth, {107, 0, 1066, 800, 1}},
        {1024, 768, ScaleMode::Sharp, {0, 0, 1024, 768, 1}},
        {3840, 1080, ScaleMode::Sharp, {1200, 0, 1440, 1080, 2}},
        {400, 300, ScaleMode::Whole, {0, 0, 400, 300, 1}}, // smaller than the picture: fitted
    };
    for (const Row& row : rows) {
        ScaledPlacement got = PlacePicture(row.width, row.height, 640, 480, row.mode);
        SCOPED_TRACE(std::to_string(row.width) + "x" + std::to_string(row.height));
        EXPECT_EQ(got.x, row.expected.x);
        EXPECT_EQ(got.y, row.expected.y);
        EXPECT_EQ(got.width, row.expected.width);
        EXPECT_EQ(got.height, row.expected.height);
        EXPECT_EQ(got.wholeFactor, row.expected.wholeFactor);
        int x, y;
        WindowToPicture(got, got.x, got.y, &x, &y);
        EXPECT_EQ(x, 0);
        EXPECT_EQ(y, 0);
        WindowToPicture(got, got.x + got.width - 1, got.y + got.height - 1, &x, &y);
        EXPECT_EQ(x, 639);
        EXPECT_EQ(y, 479);
        WindowToPicture(got, 0, row.height - 1, &x, &y); // on a border: the nearest edge
        EXPECT_EQ(x, 0);
        EXPECT_EQ(y, 479);
    }
    EXPECT_EQ(WholeFactorFor(1920, 1040), 2); // a 1080p desktop less its panel: 1280 x 960
    EXPECT_EQ(WholeFactorFor(1280, 770), 1);

    // A 4 x 3 picture of distinct colours.
    std::vector<uint16_t> picture(12);
    for (size_t i = 0; i < picture.size(); i++)
        picture[i] = static_cast<uint16_t>(0x0841 * (i + 1) * 2);
    SoftwareScaler scaler;
    std::vector<uint32_t> target(12 * 9);
    for (ScaleMode mode : {ScaleMode::Sharp, ScaleMode::Whole}) {
        ScalePicture(&scaler, picture.data(), 4, 3, 4, mode, target.data(), 12, 9, 12); // exactly 3 times
        for (int y = 0; y < 9; y++)
            for (int x = 0; x < 12; x++)
                EXPECT_EQ(target[y * 12 + x], target[(y / 3 * 3) * 12 + x / 3 * 3]) << x << "," << y;
        EXPECT_NE(target[0], target[3]);
    }
    // 2.5 times, sharp: whole pixels twice, and only the seams blended; smooth blends nearly all.
    std::vector<uint32_t> wide(10 * 5);
    std::vector<uint16_t> stripes = {0x0000, 0xFFFF, 0x0000, 0xFFFF, 0x0000, 0xFFFF, 0x0000, 0xFFFF};
    auto pureInFirstRow = [&](ScaleMode mode) {
        ScalePicture(&scaler, stripes.data(), 4, 2, 4, mode, wide.data(), 10, 5, 10);
        int pure = 0;
        for (int x = 0; x < 10; x++)
            pure += wide[x] == 0 || wide[x] == 0xFFFFFF;
        return pure;
    };
    EXPECT_GE(pureInFirstRow(ScaleMode::Sharp), 6);
    int pure = pureInFirstRow(ScaleMode::Smooth);
    EXPECT_LT(pure, 6);
}

void PushWindowEvent(Uint32 windowId, Uint8 what)
{
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.windowID = windowId;
    event.window.event = what;
    SDL_PushEvent(&event);
}

Uint32 GameWindowId()
{
    SDL_Window* sdl = SdlWindowOf(MainWindow());
    return sdl ? SDL_GetWindowID(sdl) : 0;
}

// With the window in the background no frame runs until focus returns, and the time away is kept
// out of the clock; with pausing turned off the game runs on.
TEST(WindowBackground, NoFrameRunsUntilFocusReturns)
{
    std::atomic<bool> returned{false};
    std::thread giver;
    GameScript script;
    script.maxFrames = 6;
    script.onFrame = [&](int frame, GameScript&) {
        if (frame == 3) {
            Uint32 id = GameWindowId();
            ASSERT_NE(id, 0u);
            PushWindowEvent(id, SDL_WINDOWEVENT_FOCUS_LOST);
            giver = std::thread([&returned, id] {
                SDL_Delay(200);
                returned = true;
                PushWindowEvent(id, SDL_WINDOWEVENT_FOCUS_GAINED);
            });
        } else if (frame == 4) {
            EXPECT_TRUE(returned.load());
            EXPECT_GE(PausedMilliseconds(), 150u);
        }
    };
    EXPECT_EQ(RunGame(script), 1);
    if (giver.joinable())
        giver.join();
}

TEST(WindowBackground, NoPauseKeepsRunning)
{
    g_launchOptions.pauseInBackground = false;
    GameScript script;
    script.maxFrames = 6;
    script.onFrame = [&](int frame, GameScript&) {
        if (frame == 3)
            PushWindowEvent(GameWindowId(), SDL_WINDOWEVENT_FOCUS_LOST);
    };
    EXPECT_EQ(RunGame(script), 1);
    EXPECT_EQ(PausedMilliseconds(), 0u);
}
} // namespace
