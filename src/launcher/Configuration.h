#pragma once
// The INI file beside the executable: its location, the read primitive and
// the reading of every launch setting into the Launcher.
#include "launcher/StringList.h"
#include "launcher/TextWalk.h"

#include <windows.h>
#include <string>
#include <string_view>

namespace kanne {

class Launcher;

inline constexpr const char* sectionApplication = "Application";
inline constexpr const char* sectionDisplay = "Display";
inline constexpr const char* sectionClassPath = "Class Path";
inline constexpr const char* sectionRuntime = "Java Runtime Environment";

// The running executable's full path, of any length, without a box: false
// with the system's error code when it cannot be had.
using ModuleFileNameFunction = DWORD(WINAPI*)(HMODULE module, LPSTR buffer, DWORD size);
bool queryModulePath(std::string& path, DWORD& error, ModuleFileNameFunction query = GetModuleFileNameA);
// The same, showing the
// 202/208 box owned by `owner` and returns false.
bool modulePath(HWND owner, std::string& path);

// The configuration file's path for an executable path: the file name's last
// "." and what follows become ".ini". False when the file name has no ".".
bool iniPathForModule(std::string_view executablePath, std::string& iniPath,
                      CharStep step = systemCharStep);
bool iniFilePath(HWND owner, std::string& iniPath);

// The key's value, whole, or "" when the file, section or key is missing.
std::string readSetting(const std::string& iniPath, const char* section, const char* key);

// Cuts `text` at every `separator`; empty items are kept, and an empty text
// gives one empty item.
void splitString(StringList& list, std::string_view text, std::string_view separator);

// "JVM Source" and the three flags it sets.
struct RuntimeKinds {
    bool bothKinds = true;
    bool favorJdk = false;
    bool favorJre = false;
};
RuntimeKinds runtimeKindsFor(std::string_view jvmSource);

// Reads the launch settings into the launcher; shows the box of a missing
// required key and returns false.
bool readSettings(Launcher& launcher);
bool readSettingsFrom(Launcher& launcher, const std::string& iniPath);

} // namespace kanne
