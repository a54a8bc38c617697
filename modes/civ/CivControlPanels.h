// The civ mode's two control panels: "Civ Kinesthetic Control Panel" for the
// overlays and camera constraints, and "Civ Deubg Panel" (its title as the
// designers know it) for the NPC and debug switches, the simulation speed and
// test vehicles. Made on the first entry, then only shown and hidden; the
// panel layer stacks the second under the first, at the top of the column kept
// for the modes' panels. Every control is bound to a variable the mode reads
// each frame.
#pragma once

class GLUI;

void OpenCivControlPanels();
void HideCivControlPanels();
GLUI* GetCivKinestheticPanel();  // null before the first entry
GLUI* GetCivDebugPanel();
