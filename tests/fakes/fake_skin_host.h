#pragma once
// A SkinHost whose size and existence the test sets, counting repaints.

#include "skin/skin_host.h"

namespace tavelo::fakes {

class FakeSkinHost : public SkinHost {
 public:
  bool exists = true;
  Size size{100, 30};
  int redraws = 0;
  int invalidates = 0;

  bool Exists() const override { return exists; }
  Size ClientSize() const override { return size; }
  void Redraw() override { ++redraws; }
  void Invalidate() override { ++invalidates; }
};

}  // namespace tavelo::fakes
