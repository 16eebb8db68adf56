// Per-frame motion of the sky, the earth, the satellite and the camera during play.
#pragma once

#include <cstdint>

extern uint8_t g_skyOrientPending;       // the sky still needs its one-shot orientation
extern uint8_t g_satelliteOrientPending; // the satellite still needs its one-shot orientation

void MoveScenery();
void MoveSatellite();
void MoveCamera(bool& reaimRequest);
