// The one orbiting camera shared by every game mode: a set of free functions
// over one static state. The camera orbits an anchor on the planet at a
// distance, pitched and yawed (degrees) inside a local frame whose y axis is
// the planet's up at the anchor; the current values glide towards the targets
// once per frame. The scripted side (mouse, wheel, edge scrolling, the camera
// script) is in camera/CameraControl.h.
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

// What the camera asks of the rest of the program. The application installs
// its answers at start-up; until then (and in tests) no mode is current, there
// is no avatar, the latitude is free and the window is GLUT's current one.
class cICameraHost {
 public:
  virtual ~cICameraHost() = default;
  virtual bool IsCivModeCurrent() { return false; }       // the civ mode glides slower
  virtual bool IsCreatureModeCurrent() { return false; }  // only then does the script hear "in_combat"
  virtual bool IsAvatarInCombat() { return false; }       // false when there is no avatar
  virtual float CivLatitudeLimit(float distance) { return 1.0f; }  // radians
  virtual bool IsCivTestCameraOn() { return false; }
  virtual void GetWindowSize(int& width, int& height);    // never below 1 by 1
};
void SetCameraHost(cICameraHost* host);  // nullptr restores the defaults
cICameraHost& GetCameraHost();

// ---- accessors ----------------------------------------------------------------
void GetCameraAngles(float* yaw, float* pitch, float* distance);        // current values
void SetCameraAngles(float yaw, float pitch, float distance);           // current values, not the targets
void GetCameraTargetAngles(float* yaw, float* pitch, float* distance);
void SetCameraTargetAngles(float yaw, float pitch, float distance);     // pitch clamped to the limits
float GetCameraDistance();
void SetCameraDistance(float distance);                                 // current and target at once
void SetCameraMaxDistance(float distance);
void SetCameraAnchorFrame(const float anchor[3], const float q[4]);    // jump: anchor and frame, current and target
void GetCameraPositionOrientation(float position[3], float q[4]);       // the target anchor and frame
void SetCameraPositionOrientation(const float position[3], const float q[4]);  // glide there
const float* GetCameraPosition();                                       // the target anchor (3 floats)
const float* GetCameraOrientation();                                    // the target frame (4 floats)
const float* GetCameraAnchor();                                         // 3 floats
const float* GetCameraBaseOrientation();                                // 4 floats
void SetCameraMouseMove(int dx, int dy);                                // cleared by the next UpdateCamera
void SetCameraAvatarSpeed(float speed);
int* GetCameraEdgeScrollFlag();                                         // a check box may edit it in place
void SetCameraViewMatrix(const float m[16]);                            // the frame's projection matrix
void GetCameraViewMatrix(float m[16]);

// ---- behaviour --------------------------------------------------------------
// The short way from one angle to another (radians), a fraction t of it.
// A non-finite target leaves `from` as it is; any finite difference, however
// large, is wrapped in one step.
float InterpolateAngle(float from, float to, float t);
void UpdateCameraFrame();              // glide the current values towards the targets (once per frame)
void ComputeCameraView(float out[16]); // the camera's model-view matrix (OpenGL order), without touching GL
void ApplyCameraView(float out[16]);   // load that matrix into OpenGL and copy it out (out may be null)
void CommitCameraYaw();                // fold the yaw into the frames; the view does not change
void CenterCameraOn(const float point[3]);  // turn the target frame so the camera looks at a world point
