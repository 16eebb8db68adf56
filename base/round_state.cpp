// The round state, as it stands when the program starts: on the title, with a full clock.
#include "base/round_state.h"

float g_timeLeft = ROUND_SECONDS; // 180 - elapsed after every world frame; 0 once a missile gets through
float g_elapsed = 0.0f;           // grows by the frame delta at the end of every world frame
float g_frameDelta = 0.0f;        // written by the frame loop before each frame
int32_t g_score = 0;              // the weapon adds each kill's score
int32_t g_hiScore = 0;            // best total of the run; only the result screen writes it
int32_t g_meteorsDestroyed = 0;   // kills of the round, counted by the weapon
int32_t g_ufosDestroyed = 0;
int32_t g_missilesDestroyed = 0;
int32_t g_mouseX = 0; // written by the window procedure on every pointer move
int32_t g_mouseY = 0;
int32_t g_targetSlot = 0;      // this frame's pick, -1 for none
ButtonState g_playButton = Up; // the left button, polled once every frame
bool g_shotInFlight = false;   // what the last weapon step returned
bool g_titleActive = true;     // the game opens on the title
bool g_playing = false;        // set through play and the result pages
bool g_worldActive = false;    // set through play only
bool g_resultActive = false;
bool g_roundReady = false;        // cleared on every title frame, so each round starts fresh
bool g_cameraReaimPending = true; // the camera motion clears it once it faces the satellite
D3DVECTOR g_satellitePosition = {0.0f, 0.0f, 0.0f};
D3DVECTOR g_skyPosition = {0.0f, 0.0f, 0.0f};
D3DVECTOR g_earthPosition = {0.0f, 0.0f, 0.0f};
