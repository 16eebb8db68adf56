// The round driver: the round state and the game's one per-frame step.
#include "game/round.h"

float g_timeLeft = ROUND_SECONDS;
float g_elapsed = 0.0f;
float g_frameDelta = 0.0f;
int32_t g_score = 0;
int32_t g_hiScore = 0;
int32_t g_meteorsDestroyed = 0;
int32_t g_ufosDestroyed = 0;
int32_t g_missilesDestroyed = 0;
int32_t g_mouseX = 0;
int32_t g_mouseY = 0;
int32_t g_targetSlot = 0;
ButtonState g_playButton = Up;
bool g_shotInFlight = false;
bool g_titleActive = true;
bool g_playing = false;
bool g_worldActive = false;
bool g_resultActive = false;
bool g_roundReady = false;
bool g_cameraReaimPending = true;
D3DVECTOR g_satellitePosition = {0.0f, 0.0f, 0.0f};
D3DVECTOR g_skyPosition = {0.0f, 0.0f, 0.0f};
D3DVECTOR g_earthPosition = {0.0f, 0.0f, 0.0f};

void RunRoundFrame(HWND)
{
}
