// The civ HUD's markers in the scene: a heart over a foreign city for how its
// owner stands with the human, a face for the city's mood, and the two pole
// markers. They are made once and kept across mode changes; a label marker
// not in use waits at the planet's centre, where nothing sees it.
#pragma once

#include <vector>

#include "math/Types.h"

class cSceneObject;
class cSceneShapeBillboard;

enum { kCivHeartMarkers = 5, kCivMoodMarkers = 5, kCivLabelMarkers = kCivHeartMarkers + kCivMoodMarkers };

// The heart for a relationship value: 0 above 7, 1 above 3, 2 above -3, 3 above -7, else 4.
int CivHeartBand(float relationship);
// The twelve screen-size billboards: five hearts, five faces (by mood
// category), north, south. Made on first use, at start-up, and never freed.
const std::vector<cSceneShapeBillboard*>& GetCivMarkerShapes();

void CreateCivHudMarkers();  // the label and pole markers, once; later calls do nothing
bool CivHudMarkersExist();
void ResetLabelMarkers();    // every label marker back in the scene, at the centre
void RemoveLabelMarkers();
void PlaceHeartMarker(int band, const Ru::Math::Vector3& at);
void PlaceMoodMarker(int category, const Ru::Math::Vector3& at);
cSceneObject* GetCivLabelMarker(int index);  // hearts 0-4, then faces 5-9
// The pole markers are in the scene exactly while shown is true.
void ShowCivPoleMarkers(bool shown);
bool CivPoleMarkersShown();
