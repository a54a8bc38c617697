// The console's "herds" command and the herds' debug lines: for designers
// tuning the herd script, and for checks of a running game.
#pragma once

#include <string>

class cTribeHerd;
class cTribeObjectController;

void RegisterHerdDebugCommand();
// One line on a herd: its place in the list, kind, animals, distance from the
// player's hut, what it is doing, anxiety and fatigue.
std::string DescribeHerd(cTribeObjectController* objects, cTribeHerd* herd);
