// Per-frame motion of the sky, the earth, the satellite and the camera.
#include "scene/scenery.h"

uint8_t g_skyOrientPending = 1;
uint8_t g_satelliteOrientPending = 1;

void MoveScenery() {}

void MoveSatellite() {}

void MoveCamera(bool& reaimRequest)
{
    (void)reaimRequest;
}
