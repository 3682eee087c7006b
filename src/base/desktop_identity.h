#pragma once

// The names the desktop knows the program by. Set before GTK starts, they
// name the window class, the media player WebKit registers and WebKit's data
// folders alike, and desktop entries match windows by the program name.

namespace tavelo {

inline constexpr const char* kApplicationName = "Tavelo视频播放器";
inline constexpr const char* kProgramName = "tavelo";

// Call first thing in every program that opens windows.
void SetDesktopIdentity();

}  // namespace tavelo
