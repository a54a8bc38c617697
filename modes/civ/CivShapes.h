// Shapes the civ objects share, built on first use and kept until exit.
#pragma once

class cSceneShapeCube;

// The 5-unit cube of patrol markers, vehicle path markers and pillage bullets.
cSceneShapeCube* CivMarkerCube();
