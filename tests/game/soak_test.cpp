// Whole rounds of random play through the real loop: random pointer moves, presses, keys and frame
// lengths (no time at all, stalls of several seconds, a wrap of the tick counter). After every
// frame the round state must still make sense, and after the last round the game must hold no
// more heap than after the first. ORBIT_SOAK_SEED and ORBIT_SOAK_ROUNDS choose the run;
// scripts/soak.sh runs a long one.
#include "game_support.h"
#include "harness.h"
#include "heap_counter.h"

#include "game/screens.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <sstream>
#include <string>

namespace {

#ifdef ORBIT_SANITIZED
constexpr int DEFAULT_ROUNDS = 1; // the sanitized suite keeps to one round
#else
constexpr int DEFAULT_ROUNDS = 2;
#endif

class SoakPlayer {
public:
    enum Style { Steady, Stormy, Wandering };

    SoakPlayer(uint32_t seed, int rounds) : m_random(seed), m_rounds(rounds) { }

    // Plays until the rounds are done or a check fails; returns the first failure, if any.
    std::string Run()
    {
        GameScript script;
        // A few seconds to a minute before the 32-bit tick counter wraps.
        script.startMs = 0xFFFFFFFFu - Below(60000);
        script.maxFrames = m_rounds * 20000 + 1000;
        script.onFrame = [this](int frame, GameScript& s) { OnFrame(frame, s); };
        // The recorder of sound buffer calls keeps every call; here it would only grow.
        auto soundBufferCall = g_platformHooks.soundBufferCall;
        g_platformHooks.soundBufferCall = nullptr;
        int exitCode = RunGame(script);
        g_platformHooks.soundBufferCall = soundBufferCall;
        if (m_failure.empty() && exitCode != 1)
            Fail("exit code " + std::to_string(exitCode));
        if (m_failure.empty() && m_roundsDone < m_rounds)
            Fail("only " + std::to_string(m_roundsDone) + " rounds in " + std::to_string(script.maxFrames) + " frames");
        if (m_failure.empty() && HeapCounting() && m_rounds > 1 &&
            (m_heapAfterLast.blocks != m_heapAfterFirst.blocks || m_heapAfterLast.bytes != m_heapAfterFirst.bytes))
            Fail("the heap held " + std::to_string(m_heapAfterFirst.blocks) + " blocks, " +
                 std::to_string(m_heapAfterFirst.bytes) + " bytes after round 1 and " +
                 std::to_string(m_heapAfterLast.blocks) + " blocks, " + std::to_string(m_heapAfterLast.bytes) +
                 " bytes after round " + std::to_string(m_roundsDone));
        return m_failure;
    }

    int RoundsDone() const { return m_roundsDone; }
    int LongestRoundFrames() const { return m_longestRound; }
    int MissileEndings() const { return m_missileEndings; }
    int ClockEndings() const { return m_clockEndings; }

private:
    uint32_t Below(uint32_t n) { return static_cast<uint32_t>(m_random() % n); }
    bool Chance(double p) { return m_random() < p * 4294967296.0; }

    void Fail(const std::string& what)
    {
        if (!m_failure.empty())
            return;
        std::ostringstream text;
        if (m_roundsDone < m_rounds)
            text << "round " << m_roundsDone + 1 << ", frame " << m_frame << ": ";
        text << what;
        m_failure = text.str();
    }

    static bool Finite(const D3DVECTOR& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

    void CheckState()
    {
        // The phase flags always form one of the three phases.
        bool title = g_titleActive && !g_playing && !g_worldActive && !g_resultActive;
        bool play = !g_titleActive && g_playing && g_worldActive && !g_resultActive;
        bool result = !g_titleActive && g_playing && !g_worldActive && g_resultActive;
        if (!title && !play && !result)
            return Fail("phase flags title " + std::to_string(g_titleActive) + " playing " + std::to_string(g_playing) +
                        " world " + std::to_string(g_worldActive) + " result " + std::to_string(g_resultActive));
        if (g_nextSlot < 0 || g_nextSlot > ENEMY_SLOT_COUNT)
            return Fail("next slot " + std::to_string(g_nextSlot));
        if (g_scheduleCursor < 0 || g_scheduleCursor > SPAWN_SCHEDULE_VALUES || g_scheduleCursor % SPAWN_ROW_VALUES)
            return Fail("timetable cursor " + std::to_string(g_scheduleCursor));
        if (g_targetSlot < -1 || g_targetSlot >= ENEMY_SLOT_COUNT)
            return Fail("target slot " + std::to_string(g_targetSlot));
        if (g_resultPage < 0 || g_resultPage > 1)
            return Fail("result page " + std::to_string(g_resultPage));
        if (!std::isfinite(g_timeLeft) || !std::isfinite(g_elapsed) || !std::isfinite(g_frameDelta) ||
            !std::isfinite(g_shotLifetime) || !std::isfinite(g_shotProgress) || !std::isfinite(g_shotDistance))
            return Fail("a time or the shot is not finite");
        if (!Finite(g_satellitePosition) || !Finite(g_skyPosition) || !Finite(g_earthPosition))
            return Fail("a scenery position is not finite");
        if (g_score < 0 || g_hiScore < 0 || g_meteorsDestroyed < 0 || g_ufosDestroyed < 0 || g_missilesDestroyed < 0)
            return Fail("score " + std::to_string(g_score) + ", best " + std::to_string(g_hiScore) + ", kills " +
                        std::to_string(g_meteorsDestroyed) + "/" + std::to_string(g_ufosDestroyed) + "/" +
                        std::to_string(g_missilesDestroyed));
        for (int i = 0; i < ENEMY_SLOT_COUNT; i++) {
            const EnemySlot& e = g_enemySlots[i];
            if (!Finite(e.position) || !Finite(e.velocity) || !std::isfinite(e.spinRate) ||
                !std::isfinite(e.explosionCountdown) || !std::isfinite(e.wobblePhase) ||
                !std::isfinite(e.impactCountdown))
                return Fail("slot " + std::to_string(i) + " holds a value that is not finite");
            if (e.kind < Meteor || e.kind > Missile || e.hitPoints < 0 || e.hitPoints > 5)
                return Fail("slot " + std::to_string(i) + " kind " + std::to_string(e.kind) + " hit points " +
                            std::to_string(e.hitPoints));
            D3DVECTOR placed;
            g_frames[SLOT_ENEMY_BASE + i]->GetPosition(g_scene, &placed);
            if (!Finite(placed))
                return Fail("the frame of slot " + std::to_string(i) + " is placed at a value that is not finite");
        }
        for (int slot : {SLOT_SATELLITE, SLOT_EARTH, SLOT_SKY, SLOT_CANNON}) {
            D3DVECTOR placed;
            g_frames[slot]->GetPosition(g_scene, &placed);
            if (!Finite(placed))
                return Fail("the frame of scene slot " + std::to_string(slot) + " is not finite");
        }
        D3DVECTOR camera;
        g_camera->GetPosition(g_scene, &camera);
        if (!Finite(camera))
            return Fail("the camera is not finite");
    }

    // The lock point of the most urgent enemy in reach, missiles first, or false when there is none.
    bool Aim(int& x, int& y)
    {
        int best = -1;
        for (int i = ENEMY_SLOT_COUNT - 1; i >= 0; i--) {
            D3DVECTOR p;
            D3DRMVECTOR4D q;
            g_frames[SLOT_ENEMY_BASE + i]->GetPosition(g_scene, &p);
            g_viewport->Transform(&q, &p);
            if (!g_enemySlots[i].alive || !(q.w > 0.0f) || p.x < 3 || p.x > 150)
                continue;
            float sx = q.x / q.w;
            float sy = q.y / q.w;
            int rank = (g_enemySlots[i].kind == Missile ? 100 : 50) - i;
            if (sx >= 0 && sx < 640 && sy >= 0 && sy < 480 && rank > best) {
                best = rank;
                x = static_cast<int>(sx) - 4;
                y = static_cast<int>(sy) - 4;
            }
        }
        return best >= 0;
    }

    // An enemy frame keeps the room its list of visuals once needed; it can hold the three enemy
    // meshes at most. Giving every enemy frame that room before the first round leaves only real
    // growth for the heap check to find.
    static void RoomForEveryEnemyMesh()
    {
        for (int i = 0; i < ENEMY_SLOT_COUNT; i++) {
            LPDIRECT3DRMFRAME frame = g_frames[SLOT_ENEMY_BASE + i];
            for (int mesh : {SLOT_METEOR, SLOT_UFO, SLOT_ICBM})
                frame->AddVisual(g_meshes[mesh]);
            for (int mesh : {SLOT_METEOR, SLOT_UFO, SLOT_ICBM})
                frame->DeleteVisual(g_meshes[mesh]);
        }
    }

    void OnFrame(int frame, GameScript& script)
    {
        m_frame = frame;
        if (frame == 1)
            RoomForEveryEnemyMesh();
        if (!m_failure.empty())
            return; // Escape is on its way
        CheckState();
        if (!m_failure.empty()) {
            TestPressKey(VK_ESCAPE);
            return;
        }

        // A round is over when the title comes back; the heap is compared there, between frames.
        if (g_titleActive && m_wasPlaying) {
            m_roundsDone++;
            m_longestRound = std::max(m_longestRound, frame - m_roundStart);
            if (m_roundsDone == 1)
                m_heapAfterFirst = LiveHeap();
            m_heapAfterLast = LiveHeap();
            if (m_roundsDone == m_rounds) {
                TestPressKey(VK_ESCAPE);
                return;
            }
        }
        if (g_worldActive && !m_wasPlaying) {
            m_roundStart = frame;
            // This round the player guards the satellite through steady frames, or guards it
            // through stalls, or wanders. Where the heap is counted the first round is steady, so
            // that it goes the whole timetable before the heap is first taken.
            m_style = m_roundsDone == 0 && HeapCounting() ? Steady : static_cast<Style>(Below(3));
        }
        if (g_resultActive && m_wasWorld)
            (g_elapsed < ROUND_SECONDS ? m_missileEndings : m_clockEndings)++;
        m_wasPlaying = g_playing;
        m_wasWorld = g_worldActive;

        // Frame lengths: mostly ordinary, some of no time at all, a few stalls of seconds.
        double roll = static_cast<double>(m_random()) / 4294967296.0;
        double stalls = m_style == Steady && g_worldActive ? 0.0 : 0.02;
        script.frameMs = roll < 0.04 ? 0
            : roll < 0.04 + stalls   ? 2000 + Below(7000)
            : roll < 0.30            ? 1 + Below(15)
                                     : 16 + Below(100);

        // Buttons flick up and down at random; a defender holds the left one through play.
        if (g_worldActive && m_style != Wandering)
            m_left = !Chance(0.01);
        else if (Chance(g_titleActive ? 0.3 : 0.1))
            m_left = !m_left;
        if (Chance(g_resultActive ? 0.25 : 0.05))
            m_right = !m_right;
        TestSetMouseButton(VK_LBUTTON, m_left);
        TestSetMouseButton(VK_RBUTTON, m_right);

        int x = 0;
        int y = 0;
        if (g_worldActive && m_style != Wandering && Aim(x, y)) {
            TestMoveMouse(x + static_cast<int>(Below(5)) - 2, y + static_cast<int>(Below(5)) - 2);
        } else {
            for (uint32_t moves = Chance(0.4) ? 1 + Below(3) : 0; moves > 0; moves--)
                TestMoveMouse(static_cast<int>(Below(660)) - 10, static_cast<int>(Below(500)) - 10);
        }
        // Any key but Escape does nothing.
        if (Chance(0.01))
            TestPressKey(static_cast<int>(Below(VK_ESCAPE)));
    }

    std::mt19937 m_random;
    int m_rounds;
    int m_roundsDone = 0;
    int m_frame = 0;
    int m_roundStart = 0;
    int m_longestRound = 0;
    int m_missileEndings = 0;
    int m_clockEndings = 0;
    bool m_wasPlaying = false;
    bool m_wasWorld = false;
    Style m_style = Wandering;
    bool m_left = false;
    bool m_right = false;
    HeapUse m_heapAfterFirst = {0, 0};
    HeapUse m_heapAfterLast = {0, 0};
    std::string m_failure;
};

int EnvNumber(const char* name, int fallback)
{
    const char* text = std::getenv(name);
    return text && *text ? std::atoi(text) : fallback;
}

} // namespace

TEST(GameSoak, RandomPlayKeepsTheRoundStateSoundAndTheHeapFlat)
{
    uint32_t seed = static_cast<uint32_t>(EnvNumber("ORBIT_SOAK_SEED", 1));
    int rounds = EnvNumber("ORBIT_SOAK_ROUNDS", DEFAULT_ROUNDS);
    SoakPlayer player(seed, rounds);
    std::string failure = player.Run();
    std::printf("soak: seed %u, %d rounds (%d ended by the clock, %d by a missile), the longest %d frames\n", seed,
                player.RoundsDone(), player.ClockEndings(), player.MissileEndings(), player.LongestRoundFrames());
    EXPECT_EQ("", failure) << "ORBIT_SOAK_SEED=" << seed << " ORBIT_SOAK_ROUNDS=" << rounds;
}
