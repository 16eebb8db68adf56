// The music: MCI command strings driving the MIDI sequencer, its modes and end-of-play notices,
// and the game's play and stop steps on top.
#include "base/shell_services.h"
#include "mmsystem.h"
#include "shell/window_proc.h"
#include "sound/music.h"
#include "sound_test_files.h"
#include "testing_sound.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <string>

namespace {

const std::string MIDI_NAME_STRING = UniqueTestFileName("sound_test_short", ".mid");
const char* const MIDI_NAME = MIDI_NAME_STRING.c_str();
HWND const TEST_WINDOW = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x5150));

std::string Mode()
{
    char reply[32] = "untouched";
    if (mciSendStringA("status midi mode", reply, sizeof reply, nullptr) != 0)
        return "error";
    return reply;
}

bool WaitForNotice(size_t count)
{
    for (int waited = 0; waited < 15000; waited += 20) {
        if (TestMciNotices().size() >= count)
            return true;
        SDL_Delay(20);
    }
    return false;
}

class SoundMusic : public testing::Test {
protected:
    void SetUp() override
    {
        WriteShortMidi(MIDI_NAME);
        TestClearMciNotices();
    }
    void TearDown() override
    {
        mciSendStringA("close midi", nullptr, 0, nullptr);
        std::remove(MIDI_NAME);
    }
    void Open()
    {
        const std::string open = std::string("open \"") + MIDI_NAME + "\" type sequencer alias midi";
        ASSERT_EQ(mciSendStringA(open.c_str(), nullptr, 0, nullptr), 0u);
    }
};

TEST_F(SoundMusic, RefusesWhatItDoesNotKnow)
{
    EXPECT_EQ(mciSendStringA("dance midi", nullptr, 0, nullptr), static_cast<MCIERROR>(MCIERR_UNRECOGNIZED_COMMAND));
    EXPECT_EQ(mciSendStringA("play midi", nullptr, 0, nullptr), static_cast<MCIERROR>(MCIERR_INVALID_DEVICE_NAME));
    EXPECT_EQ(mciSendStringA("open \"missing.mid\" type sequencer alias midi", nullptr, 0, nullptr),
              static_cast<MCIERROR>(MCIERR_FILE_NOT_FOUND));
    EXPECT_NE(mciSendStringA("open \"sound_test_short.mid type sequencer alias midi", nullptr, 0, nullptr), 0u);
    Open();
    EXPECT_EQ(mciSendStringA("status music mode", nullptr, 0, nullptr),
              static_cast<MCIERROR>(MCIERR_INVALID_DEVICE_NAME));
    EXPECT_EQ(mciSendStringA("status midi colour", nullptr, 0, nullptr),
              static_cast<MCIERROR>(MCIERR_UNRECOGNIZED_KEYWORD));
    EXPECT_EQ(mciSendStringA("open \"sound_test_short.mid\" type sequencer alias midi", nullptr, 0, nullptr),
              static_cast<MCIERROR>(MCIERR_DUPLICATE_ALIAS));
    // The reply never runs past the buffer it is given.
    char reply[5] = {'x', 'x', 'x', 'x', 'x'};
    EXPECT_NE(mciSendStringA("status midi mode", reply, 4, nullptr), 0u);
    EXPECT_STREQ(reply, "sto");
    EXPECT_EQ(reply[4], 'x');
}

TEST_F(SoundMusic, ModesFollowTheCommandsAndInterruptedPlaysNeverSucceed)
{
    Open();
    EXPECT_EQ(Mode(), "stopped");
    ASSERT_EQ(mciSendStringA("play midi notify", nullptr, 0, TEST_WINDOW), 0u);
    EXPECT_EQ(Mode(), "playing");
    EXPECT_EQ(mciSendStringA("pause midi", nullptr, 0, nullptr), 0u);
    EXPECT_EQ(Mode(), "paused");
    EXPECT_EQ(mciSendStringA("resume midi notify", nullptr, 0, TEST_WINDOW), 0u);
    EXPECT_EQ(Mode(), "playing");
    ASSERT_EQ(mciSendStringA("play midi notify", nullptr, 0, TEST_WINDOW), 0u); // replaces the waiting play
    EXPECT_EQ(mciSendStringA("stop midi", nullptr, 0, nullptr), 0u);
    EXPECT_EQ(Mode(), "stopped");
    SDL_Delay(3500); // longer than the piece: its end must not be reported now

    const std::vector<TestMciNotice> notices = TestMciNotices();
    ASSERT_EQ(notices.size(), 3u);
    EXPECT_EQ(notices[0].code, static_cast<WPARAM>(MCI_NOTIFY_ABORTED)); // the pause
    EXPECT_EQ(notices[1].code, static_cast<WPARAM>(MCI_NOTIFY_SUPERSEDED));
    EXPECT_EQ(notices[2].code, static_cast<WPARAM>(MCI_NOTIFY_ABORTED)); // the stop
}

TEST_F(SoundMusic, TheGameOpensOnePieceAtATimeAndStopsIt)
{
    g_hWnd = TEST_WINDOW;
    StopMusic(); // nothing open: nothing sent
    EXPECT_FALSE(g_musicOpen);

    PlayMusic("music.mid"); // the data writer's piece
    EXPECT_TRUE(g_musicOpen);
    EXPECT_EQ(Mode(), "playing");
    PlayMusic(MIDI_NAME); // the first piece is stopped and closed before the second opens
    EXPECT_EQ(Mode(), "playing");
    const std::vector<TestMciNotice> notices = TestMciNotices();
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].code, static_cast<WPARAM>(MCI_NOTIFY_ABORTED));

    StopMusic();
    EXPECT_FALSE(g_musicOpen);
    EXPECT_EQ(Mode(), "error"); // closed

    // A name too long for the open command is refused, not cut short.
    const std::string longName(300, 'm');
    PlayMusic(longName.c_str());
    EXPECT_FALSE(g_musicOpen);
    EXPECT_EQ(Mode(), "error");
}

TEST_F(SoundMusic, TheWindowLoopsThePieceOnlyOnceItHasStopped)
{
    g_hWnd = TEST_WINDOW;
    PlayMusic(MIDI_NAME);
    // Still playing: the mode query answers "playing" and nothing restarts.
    MainWindowProc(TEST_WINDOW, MM_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL, 1);
    EXPECT_STREQ(g_musicStatus, "playing");
    EXPECT_TRUE(TestMciNotices().empty());

    ASSERT_TRUE(WaitForNotice(1)); // the piece ends by itself
    const TestMciNotice end = TestMciNotices()[0];
    ASSERT_EQ(end.code, static_cast<WPARAM>(MCI_NOTIFY_SUCCESSFUL));
    EXPECT_EQ(end.window, TEST_WINDOW);
    EXPECT_NE(end.deviceId, 0);
    MainWindowProc(TEST_WINDOW, MM_MCINOTIFY, MCI_NOTIFY_ABORTED, end.deviceId);
    EXPECT_EQ(Mode(), "stopped");
    MainWindowProc(TEST_WINDOW, MM_MCINOTIFY, end.code, end.deviceId);
    EXPECT_STREQ(g_musicStatus, "stopped");
    EXPECT_EQ(Mode(), "playing");
    ASSERT_TRUE(WaitForNotice(2)); // and the restarted piece reports its end again
    EXPECT_EQ(TestMciNotices()[1].code, static_cast<WPARAM>(MCI_NOTIFY_SUCCESSFUL));

    // A notice that arrives after the music was stopped finds nothing to loop.
    StopMusic();
    MainWindowProc(TEST_WINDOW, MM_MCINOTIFY, end.code, end.deviceId);
    EXPECT_EQ(Mode(), "error");
}

} // namespace
