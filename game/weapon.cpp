// The weapon: one shot at a time from the satellite, its flight, its hits and the kills.
#include "game/weapon.h"

#include "game/round.h"
#include "game/screen_point.h"
#include "scene/renderer.h"
#include "scene/scene_registry.h"
#include "sound/sound.h"

#include <climits>
#include <cmath>

constexpr float SHOT_LIFETIME = 0.8f;    // seconds a shot may fly
constexpr float SHOT_SPEED = 200.0f;     // world units per second along the pivot's z axis
constexpr float SHOT_ORIGIN_X = 30.0f;   // distances are measured from (30, 0, 0), short of the satellite
constexpr double AIM_ROLL_RATE = -0.035; // follows the camera's roll, radians per second left
constexpr int32_t MISSILE_SCORE = 700;
constexpr int32_t OFF_SCREEN_PIXEL = INT32_MIN; // explosion point of a kill with no screen point

bool g_weaponReady = true;            // the next FireWeapon call launches; set again by every hit and expiry
float g_shotLifetime = SHOT_LIFETIME; // how much longer the current shot may fly
float g_shotProgress = 0.0f;          // travel of the shot from the pivot
float g_shotDistance = 0.0f;          // from (30, 0, 0) to the target at the last launch that had one

// Scores never wrap, whatever an enemy's x at the kill.
static void AddScore(int32_t& score, int32_t points)
{
    int64_t sum = int64_t{score} + points;
    score = sum > INT32_MAX ? INT32_MAX : sum < INT32_MIN ? INT32_MIN : static_cast<int32_t>(sum);
}

// Places the aim point under the pointer, turns the pivot at the satellite towards the target
// (or the aim point) and sets the shot off along it.
static void LaunchShot(int32_t targetSlot, D3DVECTOR& position, float timeLeft)
{
    LPDIRECT3DRMFRAME aim = g_frames[SLOT_AIM];
    LPDIRECT3DRMFRAME pivot = g_frames[SLOT_SHOT_PIVOT];
    LPDIRECT3DRMFRAME cannon = g_frames[SLOT_CANNON];

    // The pointer's offset from the centre, turned back by the camera's roll so far.
    float theta = static_cast<float>(AIM_ROLL_RATE * timeLeft);
    float dx = static_cast<float>(g_mouseX - 320);
    float dy = static_cast<float>(240 - g_mouseY);
    float a = std::cos(theta) * dx - std::sin(theta) * dy;
    float b = std::sin(theta) * dx + std::cos(theta) * dy;
    aim->SetPosition(g_scene, 30.0f, -a, -b);

    cannon->AddVisual(g_meshes[SLOT_CANNON]);
    pivot->SetPosition(g_scene, g_satellitePosition.x, g_satellitePosition.y, g_satellitePosition.z);
    // With no target (-1) this is the aim frame, the slot just before the enemies.
    pivot->LookAt(g_frames[SLOT_ENEMY_BASE + targetSlot], g_scene, D3DRMCONSTRAIN_X);
    D3DVECTOR direction;
    D3DVECTOR up;
    pivot->GetOrientation(g_scene, &direction, &up);
    pivot->SetOrientation(g_scene, direction.x, direction.y, direction.z, up.x, up.y, up.z);
    cannon->SetOrientation(g_scene, direction.x, direction.y, direction.z, up.x, up.y, up.z);
    g_weaponReady = false;

    if (targetSlot >= 0) {
        float ox = position.x - SHOT_ORIGIN_X;
        g_shotDistance = std::sqrt(ox * ox + position.y * position.y + position.z * position.z);
    }
}

static void KillEnemy(EnemySlot& enemy, int32_t targetSlot, D3DRMVECTOR4D& projected, int32_t& score,
                      int32_t& meteorsDestroyed, int32_t& ufosDestroyed, int32_t& missilesDestroyed)
{
    LPDIRECT3DRMFRAME frame = g_frames[SLOT_ENEMY_BASE + targetSlot];
    float x = enemy.position.x;
    enemy.alive = false;
    switch (enemy.kind) {
    case Meteor:
        frame->DeleteVisual(g_meshes[SLOT_METEOR]);
        AddScore(score, TruncToInt((150.0f - x) * 100.0f / 150.0f));
        meteorsDestroyed++;
        break;
    case Ufo:
        frame->DeleteVisual(g_meshes[SLOT_UFO]);
        AddScore(score, TruncToInt((150.0f - x) * 300.0f / 150.0f));
        ufosDestroyed++;
        break;
    case Missile:
        frame->DeleteVisual(g_meshes[SLOT_ICBM]);
        AddScore(score, MISSILE_SCORE);
        missilesDestroyed++;
        break;
    default: break;
    }
    enemy.velocity.x = 0.0f;

    int32_t sx;
    int32_t sy;
    if (!ProjectedToScreen(projected, sx, sy))
        sx = sy = OFF_SCREEN_PIXEL;
    enemy.explosionX = sx;
    enemy.explosionY = sy;
    enemy.exploding = true;
    g_weaponReady = true;
    g_shotProgress = 0.0f;
    PlaySoundEffect(g_soundBuffers[SND_BOMB]);
}

// One step of the weapon: launch when ready, then expiry, then the hit test against whatever is
// under the crosshair now, then the shot's advance. True while the shot flies on.
bool FireWeapon(int32_t& targetSlot, D3DRMVECTOR4D& projected, EnemySlot* target, int32_t& score, D3DVECTOR& position,
                float timeLeft, int32_t& meteorsDestroyed, int32_t& ufosDestroyed, int32_t& missilesDestroyed)
{
    LPDIRECT3DRMFRAME cannon = g_frames[SLOT_CANNON];
    bool hasTarget = targetSlot >= 0 && targetSlot < ENEMY_SLOT_COUNT && target != nullptr;

    if (g_weaponReady)
        LaunchShot(hasTarget ? targetSlot : -1, position, timeLeft);

    if (g_shotLifetime < 0.0f) {
        cannon->DeleteVisual(g_meshes[SLOT_CANNON]);
        g_shotLifetime = SHOT_LIFETIME;
        g_shotProgress = 0.0f;
        g_weaponReady = true;
        return false;
    }

    if (hasTarget && g_shotDistance - g_shotProgress <= 0.0f) {
        target->hitPoints -= 1;
        g_shotLifetime = SHOT_LIFETIME;
        cannon->DeleteVisual(g_meshes[SLOT_CANNON]);
        g_weaponReady = true;
        DrawSpark(projected, position);
        g_shotProgress = 0.0f;
        if (target->hitPoints != 0)
            return false;
        KillEnemy(*target, targetSlot, projected, score, meteorsDestroyed, ufosDestroyed, missilesDestroyed);
        return false;
    }

    g_shotProgress += SHOT_SPEED * g_frameDelta;
    cannon->SetPosition(g_frames[SLOT_SHOT_PIVOT], 0.0f, 0.0f, g_shotProgress);
    g_shotLifetime -= g_frameDelta;
    return true;
}
