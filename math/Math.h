// The whole math library in one include.
#pragma once

#include "math/Geometry.h"
#include "math/IniValues.h"
#include "math/Matrix.h"
#include "math/Quaternion.h"
#include "math/Random.h"
#include "math/Scalar.h"
#include "math/Types.h"
#include "math/Vector.h"
