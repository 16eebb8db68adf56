// Every data file the game reads, in turn missing, empty, cut in half or replaced by random bytes
// of its size: the game, run as a player would in a folder of its own (bad_data_driver), must
// start, play, show only the message it was designed to show and end with its normal exit code,
// never by a signal.
#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// What the game reads: models and textures beside the executable, sprite sheets and the sound in
// the current folder. The generator also writes music.mid, which nothing in the game plays.
const char* const DATA_FILES[] = {
    "SATELLITE.x",
    "ICBM.x",
    "CANON.x",
    "earth.x",
    "UFO.x",
    "meteo.x",
    "tenkyu.x",
    "earth2_texture.bmp",
    "tenkyu_texture.bmp",
    "baku0.bmp",
    "baku1.bmp",
    "baku2.bmp",
    "baku3.bmp",
    "earthexplosion.bmp",
    "hyoujun.bmp",
    "number_char.bmp",
    "score_char.bmp",
    "GAMEOVER.bmp",
    "line.bmp",
    "limit_char.bmp",
    "hibana.bmp",
    "TITLE.bmp",
    "meteo_char.bmp",
    "ufo_char.bmp",
    "missle_char.bmp",
    "bonus_char.bmp",
    "hakairitu_char.bmp",
    "hiscore_char.bmp",
    "yourscore_char.bmp",
    "totalbonus_char.bmp",
    "G_bomb8.Wav",
};
const char* const UNREAD_FILES[] = {"music.mid"};

enum Damage { Missing, Empty, CutInHalf, RandomBytes, DAMAGE_COUNT };
const char* const DAMAGE_NAMES[] = {"missing", "empty", "cut in half", "random bytes"};

// The messages the sound loader was designed to show, and the only ones a damaged file may bring.
const char* const SOUND_MESSAGES[] = {
    "ファイルオープンに失敗しました",       "ウエイブファイルが見つかりません",
    "ウエイブフォーマットを読み込めません", "不正なウエイブフォーマットです",
    "ウエイブファイルにアクセスできません", "ウエイブファイルにデータがありません",
    "ウエイブデータ読み込みに失敗しました",
};

// A sanitized run tries one damage per file, in turn, so every damage is still met;
// ORBIT_BAD_DATA_ALL=1 asks for all of them.
bool AllDamages()
{
    const char* all = std::getenv("ORBIT_BAD_DATA_ALL");
    if (all && *all)
        return std::atoi(all) != 0;
#ifdef ORBIT_SANITIZED
    return false;
#else
    return true;
#endif
}

std::string ReadAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteAll(const fs::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A hard link where the file system allows one, otherwise a copy.
void LinkOrCopy(const fs::path& from, const fs::path& to)
{
    std::error_code error;
    fs::create_hard_link(from, to, error);
    if (error)
        fs::copy_file(from, to, fs::copy_options::overwrite_existing);
}

struct Outcome {
    bool exited = false;
    int code = -1;
    int signal = 0;
    bool hung = false;
    std::string output;
};

// Runs the driver from `folder`, where a copy of it lies beside the data, so that the executable's
// folder and the current folder are both the case's own. The data look-up of the system
// (XDG_DATA_DIRS) points at an empty folder.
Outcome RunDriver(const fs::path& folder, int timeoutSeconds)
{
    Outcome outcome;
    const fs::path output = folder / "driver_output.txt";
    const fs::path nowhere = folder / "no_data";
    fs::create_directory(nowhere);
    std::fflush(stdout); // or the child writes what this process has buffered once more
    pid_t child = fork();
    if (child == 0) {
        if (chdir(folder.c_str()) != 0)
            _exit(126);
        std::FILE* out = std::freopen(output.c_str(), "w", stdout);
        if (!out)
            _exit(126);
        setenv("XDG_DATA_DIRS", nowhere.c_str(), 1);
        setenv("XDG_DATA_HOME", nowhere.c_str(), 1);
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        // A sanitizer's report must not pass for the game's exit code 1.
        setenv("ASAN_OPTIONS", "abort_on_error=1:detect_leaks=1", 1);
        setenv("UBSAN_OPTIONS", "halt_on_error=1:abort_on_error=1:print_stacktrace=1", 1);
        execl((folder / "bad_data_driver").c_str(), "bad_data_driver", static_cast<char*>(nullptr));
        _exit(127);
    }
    if (child < 0)
        return outcome;
    int status = 0;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
    pid_t done = 0;
    while ((done = waitpid(child, &status, WNOHANG)) == 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    if (done == 0) {
        outcome.hung = true;
        kill(child, SIGKILL);
        waitpid(child, &status, 0);
    }
    outcome.exited = !outcome.hung && WIFEXITED(status);
    outcome.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    outcome.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    outcome.output = ReadAll(output);
    return outcome;
}

// The file names on the driver's "absent:" line.
std::vector<std::string> AbsentIn(const std::string& output)
{
    std::vector<std::string> names;
    size_t line = output.find("absent:");
    if (line == std::string::npos)
        return {"(no absent: line)"};
    std::istringstream words(output.substr(line + 7, output.find('\n', line) - line - 7));
    for (std::string name; words >> name;)
        names.push_back(name);
    return names;
}

std::vector<std::string> MessageBoxesIn(const std::string& output)
{
    std::vector<std::string> texts;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);)
        if (line.rfind("box: ", 0) == 0)
            texts.push_back(line.substr(line.find(": ", 5) + 2));
    return texts;
}

struct DataFile {
    int index;
};

void PrintTo(const DataFile& file, std::ostream* out)
{
    *out << DATA_FILES[file.index];
}

class BadData : public ::testing::TestWithParam<DataFile> { };

} // namespace

TEST_P(BadData, GameStartsPlaysAndEndsNormally)
{
    const std::string name = DATA_FILES[GetParam().index];
    const bool isSound = name == "G_bomb8.Wav";
    const fs::path data = fs::current_path();
    ASSERT_TRUE(fs::exists(data / name)) << "the generator no longer writes " << name;
    ASSERT_TRUE(fs::exists(data / "bad_data_driver"));
    const std::string original = ReadAll(data / name);
    ASSERT_FALSE(original.empty());

    for (int damage = 0; damage < DAMAGE_COUNT; damage++) {
        if (!AllDamages() && damage != GetParam().index % DAMAGE_COUNT)
            continue;
        SCOPED_TRACE(name + " " + DAMAGE_NAMES[damage]);
        // Deep enough that nothing beside or above it holds data of the game.
        const fs::path folder = data / "bad_data" / "case" / (std::to_string(getpid()) + "_" + std::to_string(damage));
        fs::remove_all(folder);
        fs::create_directories(folder);
        LinkOrCopy(data / "bad_data_driver", folder / "bad_data_driver");
        for (const char* file : DATA_FILES)
            if (file != name)
                LinkOrCopy(data / file, folder / file);
        for (const char* file : UNREAD_FILES)
            LinkOrCopy(data / file, folder / file);

        std::string bytes;
        switch (damage) {
        case Empty: break;
        case CutInHalf: bytes = original.substr(0, original.size() / 2); break;
        case RandomBytes: {
            std::mt19937 random(static_cast<uint32_t>(std::hash<std::string>()(name)));
            bytes.resize(original.size());
            for (char& c : bytes)
                c = static_cast<char>(random() & 0xFF);
            break;
        }
        default: break;
        }
        if (damage != Missing)
            WriteAll(folder / name, bytes);

        Outcome outcome = RunDriver(folder, 300);
        EXPECT_FALSE(outcome.hung) << "the game did not end within 300 s";
        EXPECT_EQ(0, outcome.signal) << "the game died of signal " << outcome.signal << "\n" << outcome.output;
        EXPECT_TRUE(outcome.exited && outcome.code == 1) << "exit code " << outcome.code << " (1 after Escape)\n"
                                                         << outcome.output;
        EXPECT_NE(std::string::npos, outcome.output.find("title again: yes"))
            << "the round did not come round to the title\n"
            << outcome.output;
        for (const std::string& text : MessageBoxesIn(outcome.output)) {
            bool designed = false;
            for (const char* message : SOUND_MESSAGES)
                designed = designed || (isSound && text == message);
            EXPECT_TRUE(designed) << "message box \"" << text << "\"";
        }
        // A missing or empty file leaves its own object out; damage never takes another with it.
        std::vector<std::string> absent = AbsentIn(outcome.output);
        std::printf("bad data: %s %s: %s", name.c_str(), DAMAGE_NAMES[damage],
                    absent.empty() ? "every object made" : "without its object");
        for (const std::string& text : MessageBoxesIn(outcome.output))
            std::printf(", box \"%s\"", text.c_str());
        std::printf("\n");
        if (damage == Missing || damage == Empty) {
            EXPECT_EQ(std::vector<std::string>{name}, absent) << outcome.output;
        } else {
            EXPECT_TRUE(absent.empty() || absent == std::vector<std::string>{name}) << outcome.output;
        }
        if (isSound) {
            EXPECT_EQ(1u, MessageBoxesIn(outcome.output).size()) << outcome.output;
        }
        if (!::testing::Test::HasFailure())
            fs::remove_all(folder);
    }
}

static std::vector<DataFile> EveryDataFile()
{
    std::vector<DataFile> files;
    for (int i = 0; i < static_cast<int>(std::size(DATA_FILES)); i++)
        files.push_back({i});
    return files;
}

INSTANTIATE_TEST_SUITE_P(EachFile, BadData, ::testing::ValuesIn(EveryDataFile()),
                         [](const ::testing::TestParamInfo<DataFile>& info) {
                             std::string name = DATA_FILES[info.param.index];
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return name;
                         });
