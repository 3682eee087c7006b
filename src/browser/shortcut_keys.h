#pragma once
// The keys people bring from browsers and other desktop programs, and what
// each asks a window to do. Windows that show pages answer them through
// their base (browser_window.h); which of them a window answers is its own.

#include "port/window_host.h"

namespace tavelo {

enum class Shortcut {
  kNone,
  kBack,         // Alt+Left
  kForward,      // Alt+Right
  kReload,       // F5
  kCloseWindow,  // Ctrl+W
  kSearchBox,    // Ctrl+F, Ctrl+L
};

// The shortcut a key makes with exactly these modifiers held; kNone for
// any other key or combination.
Shortcut ShortcutOf(port::Key key, port::Modifiers modifiers);

}  // namespace tavelo
