#include "launcher/Configuration.h"

#include "launcher/Launcher.h"
#include "launcher/Messages.h"
#include "vm/VmOptions.h"

#include <vector>

namespace kanne {

bool queryModulePath(std::string& path, DWORD& error, ModuleFileNameFunction query)
{
    // A path longer than the buffer comes back cut (and on older systems
    // without a terminator), so the buffer grows until the path fits whole.
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        DWORD length = query(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            error = GetLastError();
            return false;
        }
        if (length < buffer.size() - 1) {
            path.assign(buffer.data(), length);
            return true;
        }
        if (buffer.size() >= 0x10000) { // longer than any path the system allows
            error = ERROR_INSUFFICIENT_BUFFER;
            return false;
        }
        buffer.resize(buffer.size() * 2);
    }
}

bool modulePath(HWND owner, std::string& path)
{
    DWORD error = 0;
    if (queryModulePath(path, error))
        return true;
    showError(owner, TextId::WindowsException,
              {loadText(TextId::ModulePathUnavailable), static_cast<int>(error)});
    return false;
}

bool iniPathForModule(std::string_view executablePath, std::string& iniPath, CharStep step)
{
    // Only the file name's "." counts: C:\my.apps\start must not read C:\my.ini.
    std::size_t nameStart = findLastChar(executablePath, '\\', step);
    nameStart = nameStart == npos ? 0 : nameStart + 1;
    std::size_t dot = findLastChar(executablePath.substr(nameStart), '.', step);
    if (dot == npos)
        return false;
    iniPath.assign(executablePath.substr(0, nameStart + dot + 1));
    iniPath += "ini";
    return true;
}

bool iniFilePath(HWND owner, std::string& iniPath)
{
    std::string executable;
    return modulePath(owner, executable) && iniPathForModule(executable, iniPath);
}

std::string readSetting(const std::string& iniPath, const char* section, const char* key)
{
    std::vector<char> buffer(256);
    for (;;) {
        DWORD length = GetPrivateProfileStringA(section, key, "", buffer.data(),
                                                static_cast<DWORD>(buffer.size()), iniPath.c_str());
        // A value that filled the buffer may have been cut: read again with twice the room.
        if (length != buffer.size() - 1 || buffer.size() >= (1u << 30))
            return std::string(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

void splitString(StringList& list, std::string_view text, std::string_view separator)
{
    list.clear();
    std::size_t start = 0;
    if (!separator.empty()) {
        for (std::size_t found = text.find(separator); found != std::string_view::npos;
             found = text.find(separator, start)) {
            list.add(text.substr(start, found - start));
            start = found + separator.size();
        }
    }
    list.add(text.substr(start));
}

RuntimeKinds runtimeKindsFor(std::string_view jvmSource)
{
    RuntimeKinds kinds;
    if (!jvmSource.empty())
        kinds.bothKinds = jvmSource == "favor_JRE" || jvmSource == "favor_JDK";
    kinds.favorJdk = jvmSource == "favor_JDK" || jvmSource == "only_JDK";
    kinds.favorJre = jvmSource == "favor_JRE" || jvmSource == "only_JRE";
    return kinds;
}

namespace {
JvmType jvmTypeFor(std::string_view value)
{
    if (value == "server")
        return JvmType::Server;
    if (value == "favor_server")
        return JvmType::FavorServer;
    return JvmType::Default;
}
} // namespace

bool readSettings(Launcher& launcher)
{
    std::string ini;
    return iniFilePath(launcher.splashWindow, ini) && readSettingsFrom(launcher, ini);
}

bool readSettingsFrom(Launcher& launcher, const std::string& ini)
{
    auto read = [&](const char* section, const char* key) { return readSetting(ini, section, key); };

    std::string classPath = read(sectionClassPath, "Class Path");
    if (classPath.empty()) {
        showError(launcher.splashWindow, TextId::ClassPathMissing);
        return false;
    }
    expandEnvironment(classPath);
    launcher.vmOptions.add("-Djava.class.path=" + classPath);
    splitVmParameters(read(sectionRuntime, "Virtual Machine Parameters"), launcher.vmOptions);

    launcher.mainClass = read(sectionRuntime, "Main Class");
    if (launcher.mainClass.empty()) {
        showError(launcher.splashWindow, TextId::MainClassMissing);
        return false;
    }
    replaceChar(launcher.mainClass, '.', '/');

    std::string minimum = read(sectionRuntime, "Minimum Version");
    launcher.minVersion = minimum == "any" ? VersionNumber::lowest()
                                           : VersionNumber::parsed(minimum, VersionNumber::lowestFill);
    std::string maximum = read(sectionRuntime, "Maximum Version");
    launcher.maxVersion = maximum == "any" ? VersionNumber::highest()
                                           : VersionNumber::parsed(maximum, VersionNumber::highestFill);

    splitString(launcher.preferredVersions, read(sectionRuntime, "Preferred versions"), ";");
    launcher.jrePath = read(sectionRuntime, "JRE Path");
    launcher.jvmType = jvmTypeFor(read(sectionRuntime, "JVM Type"));
    launcher.libraryPath = read(sectionRuntime, "Library Path");
    launcher.outputFile = read(sectionApplication, "Output File");
    launcher.errorFile = read(sectionApplication, "Error File");

    RuntimeKinds kinds = runtimeKindsFor(read(sectionRuntime, "JVM Source"));
    launcher.bothKinds = kinds.bothKinds;
    launcher.favorJdk = kinds.favorJdk;
    launcher.favorJre = kinds.favorJre;

    launcher.systemPath = read(sectionRuntime, "System Path");
    return true;
}

} // namespace kanne
