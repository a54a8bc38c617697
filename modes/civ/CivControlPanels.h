// The civ mode's two control panels: "Civ Kinesthetic Control Panel" for the
// overlays and camera constraints, and "Civ Deubg Panel" (its title as the
// designers know it) for the NPC and debug switches, the simulation speed and
// test vehicles. Made on the first entry, then only shown and hidden; every
// control is bound to a variable the mode reads each frame.
#pragma once

class GLUI;

void OpenCivControlPanels();
void HideCivControlPanels();
// Once, a few frames after the panels are made: the debug panel goes below the other one.
void ArrangeCivControlPanels();
GLUI* GetCivKinestheticPanel();  // null before the first entry
GLUI* GetCivDebugPanel();
