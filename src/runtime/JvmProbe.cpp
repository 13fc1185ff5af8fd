#include "runtime/JvmProbe.h"

#include "launcher/Configuration.h"
#include "platform/Handle.h"

#include <cstring>

namespace kanne {

bool fileExists(const std::string& path)
{
    // Attributes of the name itself: a search would treat "*" and "?" as a
    // pattern, and a folder named jvm.dll is no library.
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string readFileStart(const std::string& path, std::size_t limit)
{
    std::string data;
    KernelHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return data;
    data.resize(limit);
    DWORD read = 0;
    if (!ReadFile(file.get(), data.data(), static_cast<DWORD>(limit), &read, nullptr))
        read = 0;
    data.resize(read);
    return data;
}

std::uint16_t peMachine(std::string_view start)
{
    auto byte = [&](std::size_t at) { return static_cast<std::uint32_t>(static_cast<unsigned char>(start[at])); };
    if (start.size() < 0x40 || start.substr(0, 2) != "MZ")
        return 0;
    std::uint32_t header = byte(0x3C) | byte(0x3D) << 8 | byte(0x3E) << 16 | byte(0x3F) << 24;
    if (header > start.size() - 6 || start.substr(header, 4) != std::string_view("PE\0\0", 4))
        return 0;
    return static_cast<std::uint16_t>(byte(header + 4) | byte(header + 5) << 8);
}

VersionNumber releaseVersion(std::string_view release)
{
    const std::string_view name = "JAVA_VERSION=";
    for (std::size_t at = 0; at < release.size();) {
        std::size_t end = release.find('\n', at);
        std::string_view line = release.substr(at, end == std::string_view::npos ? end : end - at);
        if (line.substr(0, name.size()) == name) {
            line.remove_prefix(name.size());
            // "17.0.9" is followed by nothing, a quote or a line end; the
            // digits of anything after that are no part of it.
            std::size_t stop = line.find_first_of("\"\r", line.empty() || line[0] != '"' ? 0 : 1);
            return VersionNumber::parsed(line.substr(0, stop), VersionNumber::lowestFill);
        }
        if (end == std::string_view::npos)
            break;
        at = end + 1;
    }
    return {};
}

std::string probeJvmLibrary(const std::string& home, JvmType jvmType, bool& isServer, FileTest exists)
{
    const std::string server = home + "bin\\server\\jvm.dll";
    if (jvmType == JvmType::Server || jvmType == JvmType::FavorServer) {
        if (exists(server)) {
            isServer = true;
            return server;
        }
        if (jvmType == JvmType::Server)
            return {};
    }
    for (const char* flavour : {"bin\\client\\jvm.dll", "bin\\classic\\jvm.dll", "bin\\hotspot\\jvm.dll"}) {
        std::string path = home + flavour;
        if (exists(path)) {
            isServer = false;
            return path;
        }
    }
    if (jvmType == JvmType::Default && exists(server)) {
        isServer = true;
        return server;
    }
    return {};
}

std::string withTrailingBackslash(std::string_view folder, CharStep step)
{
    std::string home(folder);
    if (home.empty() || findLastChar(home, '\\', step) != home.size() - 1)
        home += '\\';
    return home;
}

bool isFullPath(std::string_view path)
{
    auto isLetter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    if (path.size() >= 3 && isLetter(path[0]) && path[1] == ':' && path[2] == '\\')
        return true;
    return path.size() >= 3 && path[0] == '\\' && path[1] == '\\' && path[2] != '\\';
}

bool hasJavaDll(const std::string& home, FileTest exists) { return exists(home + "bin\\java.dll"); }

std::string folderOf(std::string_view path, CharStep step)
{
    std::size_t slash = findLastChar(path, '\\', step);
    return slash == npos ? std::string() : std::string(path.substr(0, slash + 1));
}

bool executableFolder(HWND owner, std::string& folder)
{
    std::string path;
    if (!modulePath(owner, path))
        return false;
    folder = folderOf(path);
    return true;
}

std::string runtimeBeside(const std::string& folder, FileTest exists)
{
    if (folder.empty())
        return {};
    if (hasJavaDll(folder, exists))
        return folder;
    if (hasJavaDll(folder + "jre\\", exists))
        return folder + "jre\\";
    return {};
}

bool findRuntimeBesideExecutable(HWND owner, std::string& home, FileTest exists)
{
    std::string folder;
    if (!executableFolder(owner, folder))
        return false;
    home = runtimeBeside(folder, exists);
    return true;
}

} // namespace kanne
