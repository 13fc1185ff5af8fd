#pragma once
// Loading the runtime's JVM library and finding its entry points.
#include <string>

namespace kanne {

class Launcher;

// Loads `jvmLibraryPath` so that the libraries it depends on are found in
// its own folder and in the runtime's bin folder, and resolves the two JNI
// exports. On failure the box has been shown.
bool loadJvmLibrary(Launcher& launcher);

} // namespace kanne
