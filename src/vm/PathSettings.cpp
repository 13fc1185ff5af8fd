#include "vm/PathSettings.h"

#include "launcher/Launcher.h"
#include "launcher/TextWalk.h"
#include "runtime/JvmProbe.h"
#include "vm/VmOptions.h"

#include <windows.h>

namespace kanne {

std::string runtimeHomeOf(std::string_view path)
{
    for (int level = 0; level < 2; ++level) {
        std::size_t slash = findLastChar(path, '\\');
        if (slash == npos)
            return {};
        path = path.substr(0, slash);
    }
    std::size_t slash = findLastChar(path, '\\');
    return slash == npos ? std::string() : std::string(path.substr(0, slash + 1));
}

std::string composeLibraryPath(const std::string& libraryPath, const std::string& executableFolder,
                               const std::string& runtimeHome)
{
    std::string composed;
    auto join = [&](const std::string& part) {
        if (part.empty())
            return;
        if (!composed.empty() && composed.back() != ';')
            composed += ';';
        composed += part;
    };
    join(libraryPath);
    join(executableFolder);
    join(".");
    join("%Path%");
    if (!runtimeHome.empty())
        join(runtimeHome + "lib");
    return composed;
}

void applyPathSettings(Launcher& launcher)
{
    if (!launcher.libraryPath.empty()) {
        std::string folder;
        executableFolder(launcher.splashWindow, folder);
        std::string path = composeLibraryPath(launcher.libraryPath, folder, runtimeHomeOf(launcher.jvmLibraryPath));
        expandEnvironment(path);
        launcher.vmOptions.add("-Djava.library.path=" + path);
    }
    if (!launcher.systemPath.empty()) {
        std::string path = "%Path%;" + launcher.systemPath;
        expandEnvironment(path);
        SetEnvironmentVariableA("Path", path.c_str());
    }
}

} // namespace kanne
