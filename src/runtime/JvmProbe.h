#pragma once
// Turning a runtime home folder into the path of its JVM library.
#include "launcher/TextWalk.h"
#include "runtime/JvmType.h"

#include <windows.h>
#include <string>
#include <string_view>

namespace kanne {

// True when `path` names an existing file: taken literally (wildcards are
// characters of the name, not a pattern) and never a folder.
bool fileExists(const std::string& path);

// The first JVM library under `home` (ending in "\") in the order `jvmType`
// selects, or "" when there is none. `isServer` is written only on success.
using FileTest = bool (*)(const std::string& path);
std::string probeJvmLibrary(const std::string& home, JvmType jvmType, bool& isServer,
                            FileTest exists = fileExists);

// `home` holds "bin\java.dll", the mark of a runtime home.
bool hasJavaDll(const std::string& home, FileTest exists = fileExists);

// `folder` with "\" appended unless its last character
// (not merely its last byte, which may be a trail byte) is one.
std::string withTrailingBackslash(std::string_view folder, CharStep step = systemCharStep);

// A path from a drive's root ("C:\...") or a UNC path ("\\server\..."):
// never resolved against the current folder.
bool isFullPath(std::string_view path);

// The executable's folder, ending in "\". On failure the 202/208 box has
// been shown (owned by `owner`).
bool executableFolder(HWND owner, std::string& folder);
std::string folderOf(std::string_view path, CharStep step = systemCharStep);

// The runtime home beside the executable: its own folder when that holds
// "bin\java.dll", else its "jre\" subfolder when that does, else "" (no
// runtime beside it). False only when the executable's path is unknown.
bool findRuntimeBesideExecutable(HWND owner, std::string& home, FileTest exists = fileExists);
std::string runtimeBeside(const std::string& executableFolder, FileTest exists = fileExists);

} // namespace kanne
