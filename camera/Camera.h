// The one orbiting camera shared by every game mode: a set of free functions
// over one static state. The camera orbits an anchor on the planet at a
// distance, pitched and yawed (degrees) inside a local frame whose y axis is
// the planet's up at the anchor; the current values glide towards the targets
// once per frame.
//
// For now only what drawing needs exists (fixed view, the frame glide and the
// view matrix); the scripted behaviour builds on the same state.
#pragma once

#include <cfloat>
#include <string>

// Everything the camera keeps, in one place so that the save record and the
// tests can reach it. Quaternions are stored x, y, z, w; angles are degrees.
struct cCameraState {
  float targetAnchor[3] = {0.0f, 0.0f, 0.0f};             // the point the camera is to orbit
  float targetFrame[4] = {0.0f, 0.0f, 0.0f, 0.0f};        // local frame wanted at the target anchor (y is up)
  float anchor[3] = {0.0f, 0.0f, 0.0f};                   // the point orbited this frame
  float baseOrientation[4] = {0.0f, 0.0f, 0.0f, 0.0f};    // the local frame used this frame
  float targetYaw = 0.0f, targetPitch = 0.0f, targetDistance = 0.0f;
  float currentYaw = 0.0f, currentPitch = 0.0f, currentDistance = 0.0f;
  float minPitch = 0.0f, maxPitch = 90.0f;                // pitch limits, rewritten by every script run
  float maxLagDistance = FLT_MAX;                          // the anchor never lags farther than this
  int edgeScroll = 0;                                      // 0 or 1; a control-panel check box edits it in place
  float avatarSpeed = 0.0f;
  int mouseMoveX = 0, mouseMoveY = 0;                      // gathered by a mode since the last update
  float edgeDistance[2] = {0.0f, 0.0f};                    // signed pointer distances from the window edges
  float projectionMatrix[16] = {};                         // the frame's projection, in OpenGL order
  std::string scriptFile = ".\\Data\\Scripts\\creature_camera.txt";
};

// The camera's state (construct on first use; lives for the whole process).
cCameraState& GetCameraState();

// ---- accessors ----------------------------------------------------------------
void GetCameraAngles(float* yaw, float* pitch, float* distance);        // current values
void SetCameraAngles(float yaw, float pitch, float distance);           // current values, not the targets
void GetCameraTargetAngles(float* yaw, float* pitch, float* distance);
void SetCameraTargetAngles(float yaw, float pitch, float distance);     // pitch clamped to the limits
float GetCameraDistance();
void SetCameraMaxDistance(float distance);
void SetCameraAnchorFrame(const float anchor[3], const float q[4]);    // jump: anchor and frame, current and target
const float* GetCameraAnchor();                                         // 3 floats
const float* GetCameraBaseOrientation();                                // 4 floats
void SetCameraViewMatrix(const float m[16]);                            // the frame's projection matrix
void GetCameraViewMatrix(float m[16]);

// ---- behaviour --------------------------------------------------------------
void UpdateCameraFrame();              // glide the current values towards the targets (once per frame)
void ApplyCameraView(float out[16]);   // load the camera's model-view matrix into OpenGL and copy it out

// A fixed view of the whole planet from a distance (yaw 0, pitch 0, orbiting
// the planet centre), used until a camera script takes over.
constexpr float kCameraOverviewDistance = 1800.0f;
void SetCameraOverview(float distance = kCameraOverviewDistance);
