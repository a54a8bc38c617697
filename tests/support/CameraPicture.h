// A picture through the game's camera in the shared test window: the frame's
// projection and camera view, depth and one directional light, as the game
// sets them; and keeping a picture on disk for a look by eye.
#pragma once

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "camera/Camera.h"

// Clears the window to black and gives the camera a 40-degree projection
// from `nearPlane` out to 10000, then brings its frame up to date.
inline void LoadCameraProjection(int width, int height, double nearPlane) {
  glViewport(0, 0, width, height);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(40.0, static_cast<double>(width) / height, nearPlane, 10000.0);
  float projection[16];
  glGetFloatv(GL_PROJECTION_MATRIX, projection);
  SetCameraViewMatrix(projection);
  UpdateCameraFrame();
}

// A square window looking from `eye` at the world's centre with `up` above,
// through a 40-degree view from 1 to 5000; no camera involved.
inline void LookAtCentreFrom(int size, const float eye[3], const float up[3]) {
  glViewport(0, 0, size, size);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(40.0, 1.0, 1.0, 5000.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  gluLookAt(eye[0], eye[1], eye[2], 0, 0, 0, up[0], up[1], up[2]);
}

// Clears the window and loads the camera's view; the light shines from
// `lightFrom` (a direction) towards the centre. Lighting is left off.
inline void BeginCameraPicture(int width, int height, const float lightFrom[3]) {
  LoadCameraProjection(width, height, 1.0);
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_LIGHT0);
  glEnable(GL_NORMALIZE);
  glEnable(GL_COLOR_MATERIAL);
  glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
  float view[16];
  ApplyCameraView(view);
  const float light[4] = {lightFrom[0], lightFrom[1], lightFrom[2], 0.0f};
  glLightfv(GL_LIGHT0, GL_POSITION, light);
}

// Writes bottom-first RGB rows as a PPM file when the environment variable
// names one (for example QV_SCENE_SHOT=/tmp/scene.ppm).
inline void KeepPictureIfAsked(const char* variable, const std::vector<unsigned char>& rgb, int width, int height) {
  const char* path = std::getenv(variable);
  if (!path) return;
  if (FILE* f = std::fopen(path, "wb")) {
    std::fprintf(f, "P6\n%d %d\n255\n", width, height);
    for (int y = height - 1; y >= 0; --y) std::fwrite(&rgb[y * width * 3], 1, width * 3, f);
    std::fclose(f);
  }
}
