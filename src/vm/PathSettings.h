#pragma once
// The library-path option and the extended Path variable.
#include <string>
#include <string_view>

namespace kanne {

class Launcher;

// The runtime home two folders above the library's own folder, ending in
// "\": C:\Java\jre\bin\client\jvm.dll gives C:\Java\jre\.
std::string runtimeHomeOf(std::string_view jvmLibraryPath);

// "Library Path" value; executable folder; "."; the Path; runtime lib
// folder, joined by ";" with empty parts left out. Not yet expanded.
std::string composeLibraryPath(const std::string& libraryPath, const std::string& executableFolder,
                               const std::string& runtimeHome);

// Appends the library-path option when "Library Path" is set and extends
// the process's Path when "System Path" is set.
void applyPathSettings(Launcher& launcher);

} // namespace kanne
