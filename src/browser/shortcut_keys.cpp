#include "browser/shortcut_keys.h"

namespace tavelo {

namespace {

struct Binding {
  port::Key key;
  port::Modifiers modifiers;
  Shortcut shortcut;
};

constexpr Binding kBindings[] = {
    {port::Key::kLeft, port::kAlt, Shortcut::kBack},
    {port::Key::kRight, port::kAlt, Shortcut::kForward},
    {port::Key::kF5, port::kNoModifiers, Shortcut::kReload},
    {port::Key::kW, port::kControl, Shortcut::kCloseWindow},
    {port::Key::kF, port::kControl, Shortcut::kSearchBox},
    {port::Key::kL, port::kControl, Shortcut::kSearchBox},
};

}  // namespace

Shortcut ShortcutOf(port::Key key, port::Modifiers modifiers) {
  for (const Binding& binding : kBindings) {
    if (binding.key == key && binding.modifiers == modifiers) return binding.shortcut;
  }
  return Shortcut::kNone;
}

}  // namespace tavelo
