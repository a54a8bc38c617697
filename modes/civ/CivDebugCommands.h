// The console's civ commands, for designers watching the NPC world and for
// scripted runs of the game: "civspeed [N]" sets the simulation speed (0 to
// 10), "civstatus" prints one line per city and a count of the vehicles.
#pragma once

#include <string>
#include <vector>

void RegisterCivDebugCommands();
// The speed a "civspeed" line asks for, bounded to 0..10; -1 without a number.
int ParseCivSpeed(const std::string& line);
std::vector<std::string> DescribeCivWorld();
