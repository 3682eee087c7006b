#pragma once
// A SkinHost whose cursor and size the test sets, recording timers and repaints.

#include <map>

#include "skin/skin_host.h"

namespace tavelo::testing {

class FakeSkinHost : public SkinHost {
 public:
  bool exists = true;
  Size size{100, 30};
  Point cursor{-1, -1};
  std::map<int, int> timers;  // running timers: id -> interval
  int redraws = 0;
  int invalidates = 0;

  bool Exists() const override { return exists; }
  Size ClientSize() const override { return size; }
  Point CursorPos() const override { return cursor; }
  void StartTimer(int id, int ms) override { timers[id] = ms; }
  void KillTimer(int id) override { timers.erase(id); }
  void Redraw() override { ++redraws; }
  void Invalidate() override { ++invalidates; }
};

}  // namespace tavelo::testing
