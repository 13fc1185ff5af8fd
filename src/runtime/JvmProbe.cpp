#include "runtime/JvmProbe.h"

#include "launcher/Configuration.h"

namespace kanne {

bool fileExists(const std::string& path)
{
    // Attributes of the name itself: a search would treat "*" and "?" as a
    // pattern, and a folder named jvm.dll is no library.
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
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
