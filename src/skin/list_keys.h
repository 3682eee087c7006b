#pragma once
// The keys a skinned list answers while it has the keyboard focus, for the
// GTK backend and the fake port alike.

#include "port/controls.h"
#include "skin/skin_list_ctrl.h"

namespace tavelo {

enum class ListKey { kUp, kDown, kHome, kEnd, kPageUp, kPageDown, kEnter, kDelete };

// Carries out `key` on the list's model and reports it to the view's
// handlers as port::ListView describes: a move selects the row, scrolls it
// into view and is reported as a click on it; Enter and Delete report the
// selected row. `viewHeight` is the height of the rows area. Returns false
// for a key the list leaves alone (Enter or Delete without a selection).
bool AnswerListKey(SkinListCtrl& model, port::ListView& view, ListKey key, int viewHeight);

}  // namespace tavelo
