// The view as the camera stores it (its model-view and projection matrices and
// the window size from the camera host), read without touching GL: callers
// that pick in mouse callbacks or in Update, and tests without a context, get
// the same rays and window points the frame is drawn with.
#pragma once

#include "math/Types.h"

// The eye in world space: the inverse of the camera's view applied to the origin.
Ru::Math::Vector3 GetCameraEyePosition();
// The ray through a window point (y counted from the top): origin on the near
// plane, unit direction. A zero ray when the stored projection cannot be inverted.
Ru::Math::Ray CameraScreenPointToRay(int x, int y);
// The window point (y from the top) of a world point; false behind the eye.
bool CameraProjectToWindow(const Ru::Math::Vector3& point, float& x, float& y);
