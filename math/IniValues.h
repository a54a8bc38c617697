// A float and a 3-vector read from an ini file key, with a default for a missing
// file, section or key. Values are "x,y,z" text; fewer parts repeat the last one.
#pragma once

#include <string>

#include "math/Types.h"

namespace Ru::Math {

float IniReadFloat(const std::string& section, const std::string& key, float defaultValue, const std::string& file);
Vector3 IniReadVector3(Vector3& out, const std::string& section, const std::string& key, const Vector3& defaultValue,
                       const std::string& file);
Vector3 IniReadVector3(const std::string& section, const std::string& key, const Vector3& defaultValue,
                       const std::string& file);

}  // namespace Ru::Math
