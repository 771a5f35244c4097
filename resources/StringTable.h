#pragma once

// The numbered user texts of the player and its tools (UTF-8). Unknown numbers give "".
const char* loadString(int id);

// Caption of every message box.
inline constexpr int kStrCaption = 25;
