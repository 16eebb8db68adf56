// Enemy flight: meteors and UFOs fly at the earth, missiles at the satellite.
#include "game/enemy_flight.h"

#include "game/round.h"
#include "scene/renderer.h"
#include "scene/scene_registry.h"

#include <cmath>

constexpr float METEOR_FLIGHT_SECONDS = 5.0f;
constexpr float LONG_FLIGHT_SECONDS = 10.0f; // UFOs and missiles
constexpr double EARTH_IMPACT_LINE = 130.0;  // meteors and UFOs burst on the earth past this x
constexpr float IMPACT_COUNTDOWN_START = 16.0f;
constexpr float SATELLITE_CATCH = 1.0f; // half-width of the open box a missile is caught in
constexpr int32_t METEOR_HIT_POINTS = 1;
constexpr int32_t UFO_HIT_POINTS = 3;
constexpr int32_t MISSILE_HIT_POINTS = 5;
constexpr double UFO_WOBBLE_RATE = 13.0; // degrees of wobble per radian of tumble
constexpr double UFO_WOBBLE_RADIUS = 3.0;
constexpr double UFO_HEADING_RATE = 2.0063; // degrees per second of time left

void UpdateMeteor(int frameSlot, EnemySlot& enemy)
{
    LPDIRECT3DRMFRAME frame = g_frames[frameSlot];
    LPDIRECT3DRMMESHBUILDER mesh = g_meshes[SLOT_METEOR];
    float dt = g_frameDelta;
    D3DVECTOR& p = enemy.position;
    D3DVECTOR& v = enemy.velocity;

    if (enemy.needsSetup) {
        frame->AddVisual(mesh);
        v.x = (p.x - g_earthPosition.x) / METEOR_FLIGHT_SECONDS;
        v.y = (p.y - g_earthPosition.y) / METEOR_FLIGHT_SECONDS;
        v.z = (p.z - g_earthPosition.z) / METEOR_FLIGHT_SECONDS;
        enemy.hitPoints = METEOR_HIT_POINTS;
        enemy.needsSetup = false;
    }

    // The arriving meteor is still moved and placed once more, without its mesh.
    if (p.x > EARTH_IMPACT_LINE) {
        frame->DeleteVisual(mesh);
        enemy.impactCountdown = IMPACT_COUNTDOWN_START;
        enemy.alive = false;
    }

    p.x -= v.x * dt;
    p.y -= v.y * dt;
    p.z -= v.z * dt;
    frame->AddRotation(D3DRMCOMBINE_BEFORE, 0.1f, 0.1f, 0.1f, dt * enemy.spinRate);
    frame->SetPosition(g_scene, p.x, p.y, p.z);
}

void UpdateUfo(int frameSlot, EnemySlot& enemy, float timeLeft)
{
    LPDIRECT3DRMFRAME frame = g_frames[frameSlot];
    LPDIRECT3DRMMESHBUILDER mesh = g_meshes[SLOT_UFO];
    float dt = g_frameDelta;
    D3DVECTOR& p = enemy.position;
    D3DVECTOR& v = enemy.velocity;

    if (enemy.needsSetup) {
        frame->AddVisual(mesh);
        // The heading follows the round clock, so UFOs keep pace with the camera's roll.
        float t = static_cast<float>(timeLeft * UFO_HEADING_RATE * DEG_TO_RAD);
        float c = std::cos(t);
        float s = std::sin(t);
        frame->SetOrientation(g_scene, 0.0f, -c, s, 0.0f, -s, -c);
        v.x = (p.x - g_earthPosition.x) / LONG_FLIGHT_SECONDS;
        v.y = (p.y - g_earthPosition.y) / LONG_FLIGHT_SECONDS;
        v.z = (p.z - g_earthPosition.z) / LONG_FLIGHT_SECONDS;
        enemy.hitPoints = UFO_HIT_POINTS;
        enemy.needsSetup = false;
    }

    if (p.x > EARTH_IMPACT_LINE) {
        frame->DeleteVisual(mesh);
        enemy.impactCountdown = IMPACT_COUNTDOWN_START;
        enemy.alive = false;
    }

    enemy.wobblePhase = static_cast<float>(enemy.wobblePhase + dt * enemy.spinRate * UFO_WOBBLE_RATE);
    p.x -= v.x * dt;
    p.y -= v.y * dt;
    p.z -= v.z * dt;
    frame->AddRotation(D3DRMCOMBINE_BEFORE, 0.1f, 0.6f, 0.1f, dt * enemy.spinRate);

    // The wobble moves only the drawn frame; the path itself stays straight.
    float w = DEG_TO_RAD * enemy.wobblePhase;
    frame->SetPosition(g_scene, p.x, static_cast<float>(p.y + UFO_WOBBLE_RADIUS * std::sin(w)),
                       static_cast<float>(p.z + UFO_WOBBLE_RADIUS * std::cos(w)));
}

static bool InsideCatchBox(float value, float centre)
{
    return centre - SATELLITE_CATCH < value && value < centre + SATELLITE_CATCH;
}

void UpdateMissile(int frameSlot, EnemySlot& enemy, float& timeLeft)
{
    LPDIRECT3DRMFRAME frame = g_frames[frameSlot];
    LPDIRECT3DRMMESHBUILDER mesh = g_meshes[SLOT_ICBM];
    float dt = g_frameDelta;
    D3DVECTOR& p = enemy.position;
    D3DVECTOR& v = enemy.velocity;

    if (enemy.needsSetup) {
        frame->AddVisual(mesh);
        frame->SetPosition(g_scene, p.x, p.y, p.z);
        frame->LookAt(g_frames[SLOT_SATELLITE], g_scene, D3DRMCONSTRAIN_X);
        D3DVECTOR direction;
        D3DVECTOR up;
        frame->GetOrientation(g_scene, &direction, &up);
        frame->SetOrientation(g_scene, direction.x, direction.y, direction.z, up.x, up.y, up.z);
        // Aimed at where the satellite stands all round: (satellite x, 0, 0).
        v.x = (g_satellitePosition.x - p.x) / LONG_FLIGHT_SECONDS;
        v.y = -p.y / LONG_FLIGHT_SECONDS;
        v.z = -p.z / LONG_FLIGHT_SECONDS;
        enemy.hitPoints = MISSILE_HIT_POINTS;
        enemy.needsSetup = false;
    }

    // A missile at the satellite ends the round in this very frame.
    if (InsideCatchBox(p.x, g_satellitePosition.x) && InsideCatchBox(p.y, g_satellitePosition.y) &&
        InsideCatchBox(p.z, g_satellitePosition.z)) {
        frame->DeleteVisual(mesh);
        enemy.alive = false;
        timeLeft = 0.0f;
    }

    p.x += v.x * dt;
    p.y += v.y * dt;
    p.z += v.z * dt;
    frame->AddRotation(D3DRMCOMBINE_BEFORE, 0.0f, 0.0f, 0.1f, dt * enemy.spinRate);
    frame->SetPosition(g_scene, p.x, p.y, p.z);
}
