// The city's gatherings: fight, protest, sing, raid-defence and party groups
// (their own header; raids and recruiting drives have their own files).
#pragma once

#include "modes/city/groups/CityGroupFamily.h"
#include "modes/city/objects/CityGameObject.h"
