#pragma once
// Turning a runtime home folder into the path of its JVM library.
#include "launcher/TextWalk.h"
#include "runtime/JvmType.h"
#include "runtime/VersionNumber.h"

#include <windows.h>
#include <cstddef>
#include <cstdint>
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

// Up to `limit` bytes from the start of a file; "" when it cannot be read.
using FileRead = std::string (*)(const std::string& path, std::size_t limit);
std::string readFileStart(const std::string& path, std::size_t limit);

// The machine field of a PE image's header (0x8664 x86_64, 0x14C i386), or
// 0 when `start` (the file's first bytes) is no PE image: bitness unknown.
std::uint16_t peMachine(std::string_view start);
inline constexpr std::uint16_t ownMachine = sizeof(void*) == 8 ? 0x8664 : 0x14C;

// The JAVA_VERSION a runtime's "release" file states, quoted or not; a
// version with count 0 when it states none.
VersionNumber releaseVersion(std::string_view release);

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
