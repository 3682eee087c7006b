#include "skin/focus_ring.h"

namespace tavelo {

void PaintFocusRing(cairo_t* cr, Size client) {
  const int left = kFocusRingInset, top = kFocusRingInset;
  const int right = client.width - kFocusRingInset - 1, bottom = client.height - kFocusRingInset - 1;
  if (right <= left || bottom <= top) return;
  cairo_save(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_DIFFERENCE);
  cairo_set_source_rgb(cr, 1, 1, 1);
  // Every other pixel of the edge, whole pixels only, as a dotted line.
  for (int x = left; x <= right; x += 2) {
    cairo_rectangle(cr, x, top, 1, 1);
    cairo_rectangle(cr, x, bottom, 1, 1);
  }
  for (int y = top + 2; y < bottom; y += 2) {
    cairo_rectangle(cr, left, y, 1, 1);
    cairo_rectangle(cr, right, y, 1, 1);
  }
  cairo_fill(cr);
  cairo_restore(cr);
}

}  // namespace tavelo
