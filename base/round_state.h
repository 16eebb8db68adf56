// The round state: the clock, the score and counters, the pointer, the phase flags and the
// positions of the scenery. The round driver owns it; the scene's motion and the shell read and
// write parts of it, so it sits below them all.
#pragma once

#include "base/shell_services.h"
#include "d3drm.h"

#include <cstdint>

constexpr float ROUND_SECONDS = 180.0f;

extern float g_timeLeft;   // seconds left in the round; 0 when a missile reaches the satellite
extern float g_elapsed;    // play time of the round, the sum of world-active frame deltas
extern float g_frameDelta; // seconds since the previous frame, from the frame loop
extern int32_t g_score;    // the round's score; the weapon adds to it
extern int32_t g_hiScore;  // best total of the run; written only by the result screen
extern int32_t g_meteorsDestroyed;
extern int32_t g_ufosDestroyed;
extern int32_t g_missilesDestroyed;
extern int32_t g_mouseX; // pointer position, written by the window procedure
extern int32_t g_mouseY;
extern int32_t g_targetSlot;      // enemy slot under the crosshair this frame, -1 for none
extern ButtonState g_playButton;  // the left button, polled once per frame
extern bool g_shotInFlight;       // a shot is under way
extern bool g_titleActive;        // the title screen is showing
extern bool g_playing;            // scenery and camera move, the timetable is consulted
extern bool g_worldActive;        // enemies fly, the weapon works, the HUD shows, the clock runs
extern bool g_resultActive;       // the result screen is showing
extern bool g_roundReady;         // the round initialisation has run
extern bool g_cameraReaimPending; // the camera must face the satellite again
extern D3DVECTOR g_satellitePosition;
extern D3DVECTOR g_skyPosition;
extern D3DVECTOR g_earthPosition;
