// The game on a machine without a single font: the prompts are simply not drawn, the game runs
// and closes normally.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

TEST(ShellWithoutFonts, GameRunsAndClosesNormally)
{
    // An empty fontconfig configuration: no font folders at all.
    char folder[4096];
    ASSERT_NE(getcwd(folder, sizeof folder), nullptr);
    std::string config = std::string(folder) + "/nofont_" + std::to_string(getpid()) + ".conf";
    std::FILE* file = std::fopen(config.c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fputs("<?xml version=\"1.0\"?>\n<fontconfig></fontconfig>\n", file);
    std::fclose(file);

    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        setenv("FONTCONFIG_FILE", config.c_str(), 1);
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        execl("./orbitdefense", "orbitdefense", static_cast<char*>(nullptr));
        _exit(127);
    }
    // Let it run through start-up and many frames of the title, then close it as the session
    // would (the platform turns the signal into a window close).
    sleep(3);
    kill(child, SIGTERM);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    std::remove(config.c_str());
    ASSERT_TRUE(WIFEXITED(status)) << "the game died of signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    EXPECT_EQ(WEXITSTATUS(status), 1);
}
