#pragma once
// Main-loop helpers for tests on the real port: every wait has a deadline,
// so a test fails instead of hanging.

#include <glib.h>

#include <chrono>
#include <functional>
#include <thread>

namespace tavelo::testing {

// Spins the main loop until `done` holds or the time is up.
inline bool RunUntil(const std::function<bool()>& done, int seconds = 20) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    if (!g_main_context_iteration(nullptr, FALSE)) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

inline void Pump(int milliseconds) {
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  RunUntil([&] { return std::chrono::steady_clock::now() > end; });
}

}  // namespace tavelo::testing
