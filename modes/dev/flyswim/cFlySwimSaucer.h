// The flying saucer of the "UFO" experiment. It does nothing yet: the
// experiment shows the planet under the space camera with no units.
#pragma once

class cFlySwimSaucer {};
