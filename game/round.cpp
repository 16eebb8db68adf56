// The round driver: the game's one per-frame step, which moves the game through its phases
// (title, play, result), and the set-up at the start of each round.
#include "game/round.h"

#include "game/effects.h"
#include "game/enemy_flight.h"
#include "game/enemy_slots.h"
#include "game/float_to_int.h"
#include "game/screens.h"
#include "game/weapon.h"
#include "scene/renderer.h"
#include "scene/scene_registry.h"
#include "scene/scenery.h"

#include <cmath>
#include <cstring>

static void SetUpRound()
{
    g_elapsed = 0.0f;
    g_score = 0;
    g_timeLeft = ROUND_SECONDS;
    g_playButton = Up;
    g_nextSlot = 0;
    g_scheduleCursor = 0;
    g_shotInFlight = false;
    g_cameraReaimPending = true;
    g_mouseX = 320;
    g_mouseY = 240;
    g_meteorsDestroyed = 0;
    g_ufosDestroyed = 0;
    g_missilesDestroyed = 0;

    // The camera gets its real attitude from the re-aim on the next frame of play.
    g_camera->SetPosition(g_scene, 0.0f, 0.0f, 0.0f);
    g_camera->SetOrientation(g_scene, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f);

    g_satellitePosition = {32.0f, 0.0f, 0.0f};
    g_skyPosition = {90.0f, -6.0f, 13.0f};
    g_earthPosition = {136.0f, -37.0f, -25.0f};

    std::memset(g_enemySlots, 0, sizeof g_enemySlots);
    g_roundReady = true;
}

// At most one row per frame, so rows that fall due together spawn on consecutive frames.
static void SpawnDueEnemy()
{
    if (g_nextSlot == ENEMY_SLOT_COUNT)
        g_nextSlot = 0;
    // Once no whole row is left the timetable is spent.
    if (g_scheduleCursor < 0 || g_scheduleCursor > SPAWN_SCHEDULE_VALUES - SPAWN_ROW_VALUES)
        return;
    if (g_elapsed >= g_spawnSchedule[g_scheduleCursor]) {
        SpawnEnemy(g_enemySlots, g_spawnSchedule, g_scheduleCursor, g_nextSlot);
        g_nextSlot++;
    }
}

// Each live enemy flies, then its effects show; effects run on after the enemy is gone.
static void UpdateEnemySlots()
{
    for (int i = 0; i < ENEMY_SLOT_COUNT; i++) {
        EnemySlot& enemy = g_enemySlots[i];
        int frameSlot = SLOT_ENEMY_BASE + i;
        if (enemy.alive) {
            switch (enemy.kind) {
            case Meteor: UpdateMeteor(frameSlot, enemy); break;
            case Ufo: UpdateUfo(frameSlot, enemy, g_timeLeft); break;
            case Missile: UpdateMissile(frameSlot, enemy, g_timeLeft); break;
            default: break;
            }
        }
        if (enemy.exploding)
            DrawEnemyExplosion(enemy);
        if (enemy.impactCountdown > 0.0f)
            DrawEarthImpact(enemy);
    }
}

static void RunWeapon()
{
    D3DRMVECTOR4D projected = {0.0f, 0.0f, 0.0f, 0.0f};
    D3DVECTOR position = {0.0f, 0.0f, 0.0f};
    g_targetSlot = PickTarget(projected, g_enemySlots, position);
    EnemySlot* target = g_targetSlot >= 0 ? &g_enemySlots[g_targetSlot] : nullptr;
    if (g_shotInFlight)
        g_shotInFlight = FireWeapon(g_targetSlot, projected, target, g_score, position, g_timeLeft, g_meteorsDestroyed,
                                    g_ufosDestroyed, g_missilesDestroyed);
    // A shot that ended just now is followed at once while the button is held.
    if (!g_shotInFlight && g_playButton == Held)
        g_shotInFlight = FireWeapon(g_targetSlot, projected, target, g_score, position, g_timeLeft, g_meteorsDestroyed,
                                    g_ufosDestroyed, g_missilesDestroyed);
}

// The shot and every enemy leave the scene; the slot records stay as they are.
static void EndRound()
{
    g_resultActive = true;
    g_frames[SLOT_CANNON]->DeleteVisual(g_meshes[SLOT_CANNON]);
    for (int i = 0; i < ENEMY_SLOT_COUNT; i++) {
        LPDIRECT3DRMFRAME frame = g_frames[SLOT_ENEMY_BASE + i];
        frame->DeleteVisual(g_meshes[SLOT_METEOR]);
        frame->DeleteVisual(g_meshes[SLOT_UFO]);
        frame->DeleteVisual(g_meshes[SLOT_ICBM]);
    }
}

void RunRoundFrame(HWND)
{
    if (!g_roundReady)
        SetUpRound();

    UpdateButtonState(VK_LBUTTON, g_playButton);

    // The title is drawn before the render, so the scene lands on top of it.
    if (g_titleActive)
        DrawTitleScreen(g_titleActive, g_playing, g_worldActive, g_roundReady);

    if (g_playing) {
        MoveScenery();
        MoveSatellite();
        MoveCamera(g_cameraReaimPending);
        SpawnDueEnemy();
    }

    // Enemies show where they stood before this frame's flight.
    g_viewport->Render(g_scene);
    g_device->Update();

    if (g_worldActive) {
        UpdateEnemySlots();
        RunWeapon();
        DrawScoreHud(g_score, g_hiScore);
        DrawTimeHud(TruncToInt(std::ceil(g_timeLeft)));
        // Reads the clock of the previous frame, or the 0 of a missile that got through just now.
        if (!(g_timeLeft > 0.0f))
            EndRound();
        g_elapsed = g_elapsed + g_frameDelta;
        g_timeLeft = ROUND_SECONDS - g_elapsed;
    }

    if (g_resultActive) {
        RunResultScreen(g_titleActive, g_playing, g_worldActive, g_resultActive, g_meteorsDestroyed, g_ufosDestroyed,
                        g_missilesDestroyed, g_score, g_hiScore);
        // Back on the title, the next round is due to be set up before the title's first frame:
        // a button still held from turning the last page starts that round at once, and it must
        // not start on what is left of this one.
        if (g_titleActive)
            g_roundReady = false;
    }
}
