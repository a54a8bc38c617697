// The scripted side of the camera: the per-frame update from the mouse, the
// wheel and the camera script, edge scrolling, installing and reloading the
// script, and moving the camera to a point on the planet.
//
// A camera script is a Rovurozoviz program run once per frame. It is given
// "default_distance", "distance", "pitch", "yaw", "direction" (the wheel),
// "min_pitch", "max_pitch", "edge_distance_x", "edge_distance_y",
// "avatar_speed", "anchor_delta_x" and "anchor_delta_y" (both 0),
// "mouse_move_x" and "mouse_move_y" (fractions of the window, y upwards) and,
// in the creature mode, "in_combat"; it hands back the new distance and pitch
// (read when the wheel moved), the pitch limits (every frame), and the yaw and
// the scroll speeds (while edge scrolling is on). An output that is not a
// finite number is ignored: the camera keeps its previous value.
#pragma once

class cRovurozovizProgram;

void UpdateCamera(int mouseDx, int mouseDy, int wheelDirection, float dtSeconds);
void ReloadCameraScript();                     // re-reads the script file; a file that cannot be read keeps the old script
void SetCameraScriptFile(const char* file);    // stores the name, then reloads
void SetCameraEdgeScroll(bool enabled);
void SetCameraEdgeDistance(float x, float y);  // signed pointer distances from the window edges
void CameraFocusOnPoint(float x, float y, float z);  // the surface below the point, latitude limited in the civ mode
inline void CameraFocusOnPoint(const float point[3]) { CameraFocusOnPoint(point[0], point[1], point[2]); }
void MoveCameraToScreenPoint(int x, int y);                  // the planet point under a window point
void MoveCameraToScreenPointEx(int x, int y, float height);  // the same on a shell raised by height
cRovurozovizProgram& GetCameraProgram();       // the compiled script (tests compile texts into it)
