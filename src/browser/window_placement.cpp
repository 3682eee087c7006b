#include "browser/window_placement.h"

namespace tavelo {

void PlaceOverWorkArea(port::WindowHost& host) {
  // The work area's right and bottom edges, not its size, as the windows
  // always measured it.
  Rect work = host.WorkArea();
  host.Place(Rect::FromSize(20, 10, work.right - 40, work.bottom - 20));
}

}  // namespace tavelo
