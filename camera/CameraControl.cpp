#include "camera/CameraControl.h"

#include "camera/Camera.h"

// Placeholders: the camera script that drives these comes with the camera work.
static bool gEdgeScroll = false;

void UpdateCamera(int, int, int, float) {}
void ReloadCameraScript() {}
void SetCameraEdgeScroll(bool enabled) { gEdgeScroll = enabled; }
bool GetCameraEdgeScroll() { return gEdgeScroll; }
void SetCameraEdgeDistance(float, float) {}
void CameraFocusOnPoint(const float*) {}
