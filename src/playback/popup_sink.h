#pragma once
// Where the play windows keep the hidden browser that catches pop-ups.

#include <algorithm>

#include "port/geometry.h"

namespace tavelo {

// The sink must stay a live view, yet the toolkit's fixed container grows to
// hold any child placed outside it: one pixel in the client's last corner is
// both.
inline Rect PopupSinkBounds(Size client) {
  return Rect::FromSize(std::max(client.width - 1, 0), std::max(client.height - 1, 0), 1, 1);
}

}  // namespace tavelo
