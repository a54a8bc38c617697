// The application's answers to the camera's questions: which mode is
// current, whether the avatar fights, the civ mode's latitude limit and the
// civ test camera option.
#pragma once

void InstallAppCameraHost();
