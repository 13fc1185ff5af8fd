#include "runtime/RuntimeResolution.h"

#include "launcher/Launcher.h"
#include "runtime/JvmProbe.h"

namespace kanne {

bool resolveRuntime(Launcher& launcher)
{
    bool isServer = false;
    if (!launcher.jrePath.empty()) {
        std::string home = launcher.jrePath;
        if (home.back() != '\\')
            home += '\\';
        launcher.jvmLibraryPath = probeJvmLibrary(home, launcher.jvmType, isServer);
        if (!launcher.jvmLibraryPath.empty())
            return true;
    }

    // Only a runtime that really lies beside the executable is probed: an
    // empty home would probe relative paths, and a library planted in the
    // current folder would then run inside this process.
    std::string home;
    if (findRuntimeBesideExecutable(launcher.splashWindow, home) && !home.empty()) {
        launcher.jvmLibraryPath = probeJvmLibrary(home, launcher.jvmType, isServer);
        if (!launcher.jvmLibraryPath.empty())
            return true;
    }

    // The registered runtimes are not searched yet.
    return false;
}

} // namespace kanne
