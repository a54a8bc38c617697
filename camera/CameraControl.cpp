#include "camera/CameraControl.h"

#include "camera/Camera.h"

// Placeholders: the camera script that drives these comes with the camera work.
static bool gEdgeScroll = false;

void UpdateCamera(int, int, int, float) {}
// Until camera scripts run, reloading puts the camera at the fixed overview of the planet.
void ReloadCameraScript() { SetCameraOverview(); }
void SetCameraEdgeScroll(bool enabled) { gEdgeScroll = enabled; }
bool GetCameraEdgeScroll() { return gEdgeScroll; }
void SetCameraEdgeDistance(float, float) {}
void CameraFocusOnPoint(const float*) {}
