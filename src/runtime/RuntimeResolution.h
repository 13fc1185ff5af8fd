#pragma once
// Deciding which JVM library the launcher loads.
namespace kanne {

class Launcher;

// Sets `jvmLibraryPath` from the first source that yields a library: the
// configured "JRE Path", a runtime beside the executable, the registered
// runtimes. False, without a box, when none does.
bool resolveRuntime(Launcher& launcher);

} // namespace kanne
