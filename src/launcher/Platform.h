#pragma once
// Process-level start-up and shutdown around the launch.
#include <windows.h>

namespace kanne {

// Thread locale, COM apartment, common controls and module state. On failure
// the 204 box has been shown.
bool initializePlatform(HINSTANCE module);
void terminatePlatform();

// The id of the thread that initialised the platform (the main thread).
DWORD mainThreadId();

} // namespace kanne
