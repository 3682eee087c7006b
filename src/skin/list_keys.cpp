#include "skin/list_keys.h"

namespace tavelo {

namespace {

SkinListCtrl::Key MoveOf(ListKey key) {
  switch (key) {
    case ListKey::kUp: return SkinListCtrl::Key::kUp;
    case ListKey::kHome: return SkinListCtrl::Key::kHome;
    case ListKey::kEnd: return SkinListCtrl::Key::kEnd;
    case ListKey::kPageUp: return SkinListCtrl::Key::kPageUp;
    case ListKey::kPageDown: return SkinListCtrl::Key::kPageDown;
    default: return SkinListCtrl::Key::kDown;
  }
}

}  // namespace

bool AnswerListKey(SkinListCtrl& model, port::ListView& view, ListKey key, int viewHeight) {
  const int selected = model.FirstSelectedRow();
  if (key == ListKey::kEnter || key == ListKey::kDelete) {
    if (selected < 0) return false;
    if (key == ListKey::kEnter && view.on_double_click) view.on_double_click({selected, -1});
    if (key == ListKey::kDelete && view.on_delete) view.on_delete(selected);
    return true;
  }
  const port::ListHit hit = model.MoveSelection(MoveOf(key), viewHeight);
  if (hit.row < 0) return true;
  view.EnsureVisible(hit.row);
  if (view.on_click) view.on_click(hit);
  return true;
}

}  // namespace tavelo
