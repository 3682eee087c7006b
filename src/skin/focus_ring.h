#pragma once
// The keyboard focus on a skinned control: a dotted rectangle just inside its
// edge that inverts what lies under it, so it shows on every face colour.

#include <cairo.h>

#include "port/geometry.h"

namespace tavelo {

inline constexpr int kFocusRingInset = 2;

void PaintFocusRing(cairo_t* cr, Size client);

}  // namespace tavelo
