// The tribe members' role models: a low-poly figure about 1.5 units tall, Z up,
// facing -Y (the game turns them Y up, facing -Z), each role with its own prop.
#pragma once

#include <string>
#include <vector>

struct sRoleModel {
  std::string fileName;  // under Data/models/
  std::string objText;
};

std::vector<sRoleModel> BuildTribeRoleModels();
