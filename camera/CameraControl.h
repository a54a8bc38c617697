// The scripted side of the camera: per-frame update from the mouse and the
// camera script, edge scrolling, focusing on a point.
// Not built yet: these keep the camera where its state puts it until the
// camera scripts arrive.
#pragma once

void UpdateCamera(int dx, int dy, int wheel, float seconds);
void ReloadCameraScript();
void SetCameraEdgeScroll(bool enabled);
void SetCameraEdgeDistance(float x, float y);
void CameraFocusOnPoint(const float point[3]);
