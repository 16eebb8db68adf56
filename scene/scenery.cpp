// Per-frame motion of the sky, the earth, the satellite and the camera.
#include "scene/scenery.h"

#include "base/round_state.h"
#include "scene/renderer.h"
#include "scene/scene_registry.h"

uint8_t g_skyOrientPending = 1;       // cleared by the first MoveScenery
uint8_t g_satelliteOrientPending = 1; // cleared by the first MoveSatellite

// Turn rates in radians per second.
constexpr double SKY_TURN_RATE = -0.08;
constexpr double EARTH_SPIN_RATE = 0.08;
constexpr double CAMERA_ROLL_RATE = 0.0349; // one turn in about a round
constexpr D3DVALUE SATELLITE_TURN = 0.02f;  // per call, whatever the frame time

static D3DVALUE TurnAngle(double rate)
{
    return static_cast<D3DVALUE>(g_frameDelta * rate);
}

void MoveScenery()
{
    LPDIRECT3DRMFRAME sky = g_frames[SLOT_SKY];
    LPDIRECT3DRMFRAME earth = g_frames[SLOT_EARTH];
    if (g_skyOrientPending) {
        g_skyOrientPending = 0;
        if (sky)
            sky->SetOrientation(g_scene, 0.036f, -0.66f, 0.74f, 0.04f, -0.74f, -0.66f);
    }
    if (sky) {
        // Placed again every frame, so the turn about the world origin never carries it away.
        sky->SetPosition(g_scene, g_skyPosition.x, g_skyPosition.y, g_skyPosition.z);
        sky->AddRotation(D3DRMCOMBINE_AFTER, 0.05f, 0.5f, 0.8f, TurnAngle(SKY_TURN_RATE));
    }
    if (earth) {
        earth->SetPosition(g_scene, g_earthPosition.x, g_earthPosition.y, g_earthPosition.z);
        earth->AddRotation(D3DRMCOMBINE_BEFORE, 0.0f, 0.1f, 0.0f, TurnAngle(EARTH_SPIN_RATE));
    }
}

void MoveSatellite()
{
    LPDIRECT3DRMFRAME satellite = g_frames[SLOT_SATELLITE];
    if (g_satelliteOrientPending) {
        if (satellite)
            satellite->SetOrientation(g_scene, 0.0f, 0.0f, 0.0f, 0.0f, 0.4f, -0.4f);
        g_satelliteOrientPending = 0;
    }
    if (!satellite)
        return;
    satellite->AddRotation(D3DRMCOMBINE_AFTER, 0.0f, 0.4f, -0.4f, SATELLITE_TURN);
    // After the turn, so the satellite is drawn exactly at its stored position.
    satellite->SetPosition(g_scene, g_satellitePosition.x, g_satellitePosition.y, g_satellitePosition.z);
}

void MoveCamera(bool& reaimRequest)
{
    if (reaimRequest) {
        if (g_frames[SLOT_SATELLITE])
            g_camera->LookAt(g_frames[SLOT_SATELLITE], g_scene, D3DRMCONSTRAIN_Y);
        reaimRequest = false;
    }
    // Rolls about the line of sight to the satellite, which lies along world +x.
    g_camera->AddRotation(D3DRMCOMBINE_AFTER, 1.0f, 0.0f, 0.0f, TurnAngle(CAMERA_ROLL_RATE));
}
