#include "camera/CameraControl.h"

#include "camera/Camera.h"

void SetCameraEdgeScroll(bool enabled) { GetCameraState().edgeScroll = enabled ? 1 : 0; }

// Placeholders: the camera script that drives these comes with the camera work.
// Until it runs, reloading puts the camera at the fixed overview of the planet.
void ReloadCameraScript() { SetCameraOverview(); }
void UpdateCamera(int, int, int, float) {}
void SetCameraEdgeDistance(float, float) {}
void CameraFocusOnPoint(const float*) {}
