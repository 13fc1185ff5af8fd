#pragma once
// Process-level start-up and shutdown around the launch.
#include <windows.h>

namespace kanne {

// Thread locale and module state. On failure the 204 box has been shown.
bool initializePlatform(HINSTANCE module);
// The single-threaded COM apartment and the common controls, which only
// windows of the launcher need: the first window to appear sets them up, so
// a launch that shows none never loads their libraries. On failure the 204
// box has been shown.
bool initializeUserInterface();
void terminatePlatform();

// The id of the thread that initialised the platform (the main thread).
DWORD mainThreadId();

} // namespace kanne
