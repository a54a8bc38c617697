// The scene stress test's state, kept outside the mode object: the walkers of
// the current visit, the one pyramid shape they share, and the automatic
// camera that glides over the planet while "Auto Camera" is ticked.
#pragma once

#include <cstdint>
#include <vector>

#include "modes/dev/stresstest/StressWalker.h"

class cSceneShapePyramid;

constexpr int kStressWalkersPerGroup = 1000;

std::vector<cStressWalker>& GetStressWalkers();
// Made on first use and kept for the rest of the program, so that every
// visit reuses it instead of leaving one more shape behind.
cSceneShapePyramid& GetStressPyramidShape();
int& GetStressAutoCameraFlag();  // the live variable of "Auto Camera"; starts ticked

// A visit's start without the panel: the stress camera script, the camera
// at yaw 0, pitch 0, distance 750, and the walkers.
void StartStressVisit();
// Three groups of walkers (white, blue, red) standing on three octants of
// the planet, each added to the scene.
void CreateStressWalkers();
// Takes every walker's pyramid out of the scene and deletes it.
void DeleteStressWalkers();
void StepStressWalkers();
void TurnStressWalkers();  // every walker turns and picks a new target, even in mid-jump
// Moves the camera 2.5 units on over the ground and turns it a quarter degree.
void StepStressAutoCamera();
