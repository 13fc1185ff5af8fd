#include "vm/JvmLibrary.h"

#include "launcher/Launcher.h"
#include "launcher/Messages.h"
#include "vm/PathSettings.h"

#include <windows.h>

namespace kanne {

bool loadJvmLibrary(Launcher& launcher)
{
    // Modern runtimes keep the C runtime DLLs that jvm.dll needs in their bin
    // folder, which a plain load would not search: the library's own folder
    // comes first (altered search path), and bin takes the place the current
    // folder would otherwise have in the search.
    std::string bin = runtimeHomeOf(launcher.jvmLibraryPath);
    if (!bin.empty())
        SetDllDirectoryA((bin + "bin").c_str());
    // The library stays loaded for the life of the process.
    HMODULE library = LoadLibraryExA(launcher.jvmLibraryPath.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!library) {
        DWORD code = GetLastError();
        showError(launcher.splashWindow, TextId::JvmLibraryNotLoadable,
                  {launcher.jvmLibraryPath, static_cast<int>(code)});
        return false;
    }
    auto entry = [&](const char* name) { return GetProcAddress(library, name); };
    FARPROC create = entry("JNI_CreateJavaVM");
    FARPROC defaults = create ? entry("JNI_GetDefaultJavaVMInitArgs") : nullptr;
    if (!create || !defaults) {
        DWORD code = GetLastError();
        showError(launcher.splashWindow, TextId::WindowsException,
                  {loadText(TextId::CreateJavaVmMissing), static_cast<int>(code)});
        return false;
    }
    launcher.createJavaVM = reinterpret_cast<JNI_CreateJavaVM_t>(reinterpret_cast<void*>(create));
    launcher.getDefaultInitArgs = reinterpret_cast<JNI_GetDefaultJavaVMInitArgs_t>(reinterpret_cast<void*>(defaults));
    return true;
}

} // namespace kanne
