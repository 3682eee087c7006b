#pragma once
// Where the program's big windows open.

#include "port/window_host.h"

namespace tavelo {

// The big windows (portal, web, live shows) open over the work area, 20
// pixels in from its left and right edges and 10 from its top and bottom.
void PlaceOverWorkArea(port::WindowHost& host);

}  // namespace tavelo
