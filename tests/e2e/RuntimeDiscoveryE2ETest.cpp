// Runtime discovery seen from outside: real registry keys in the test
// prefix, runtime homes laid out in temporary folders (empty files are
// enough), and the launcher's "--kanne-diagnose=<file>" report telling which
// library it chose and why.
#include "e2e/Harness.h"
#include "support/TestText.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <initializer_list>

namespace kanne::e2e {

namespace {

enum class Kind { Jdk, Jre };

std::wstring wide(std::string_view text, UINT codePage = CP_ACP)
{
    std::wstring result(text.size(), L'\0');
    int length = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), result.data(),
                                     static_cast<int>(result.size()));
    result.resize(static_cast<std::size_t>(length));
    return result;
}

std::string narrow(const std::wstring& text, UINT codePage = CP_ACP)
{
    int length = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                     nullptr);
    std::string result(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), result.data(), length, nullptr,
                        nullptr);
    return result;
}

const wchar_t* const javaSoftKey = L"Software\\JavaSoft";

// Runtimes registered under HKEY_LOCAL_MACHINE\Software\JavaSoft of the test
// prefix for one test; the whole key goes again when the test ends (and
// before it starts, in case an aborted run left it).
class RegisteredRuntimes {
public:
    RegisteredRuntimes() { clear(); }
    ~RegisteredRuntimes() { clear(); }
    RegisteredRuntimes(const RegisteredRuntimes&) = delete;
    RegisteredRuntimes& operator=(const RegisteredRuntimes&) = delete;

    // The subkey with a "JavaHome" value of any type and bytes; false when
    // the registry refuses the name.
    bool addValue(Kind kind, const std::wstring& name, DWORD type, const void* data, DWORD size) const
    {
        HKEY key = create(kind, name);
        if (!key)
            return false;
        LONG result = RegSetValueExW(key, L"JavaHome", 0, type, static_cast<const BYTE*>(data), size);
        RegCloseKey(key);
        return result == ERROR_SUCCESS;
    }
    bool add(Kind kind, const std::wstring& name, const std::wstring& javaHome) const
    {
        return addValue(kind, name, REG_SZ, javaHome.c_str(), static_cast<DWORD>((javaHome.size() + 1) * 2));
    }
    bool add(Kind kind, const std::string& name, const std::string& javaHome) const
    {
        return add(kind, wide(name), wide(javaHome));
    }
    // A subkey without any value.
    bool addKey(Kind kind, const std::wstring& name) const
    {
        HKEY key = create(kind, name);
        if (key)
            RegCloseKey(key);
        return key != nullptr;
    }

private:
    static void clear()
    {
        if (runningUnderWine()) // a real machine's runtimes stay untouched
            RegDeleteTreeW(HKEY_LOCAL_MACHINE, javaSoftKey);
    }
    static HKEY create(Kind kind, const std::wstring& name)
    {
        std::wstring path = std::wstring(javaSoftKey) +
                            (kind == Kind::Jdk ? L"\\Java Development Kit\\" : L"\\Java Runtime Environment\\") + name;
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                            nullptr) != ERROR_SUCCESS)
            return nullptr;
        return key;
    }
};

// Every key, value and last-write time under a key, to prove that nothing was written.
void snapshot(HKEY parent, const std::wstring& path, std::wstring& out)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(parent, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    FILETIME written{};
    RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                     &written);
    out += path + L"|" + std::to_wstring(written.dwHighDateTime) + L"." + std::to_wstring(written.dwLowDateTime) + L"\n";
    std::vector<wchar_t> name(16384);
    std::vector<BYTE> data(1 << 18);
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD type = 0;
        DWORD size = static_cast<DWORD>(data.size());
        if (RegEnumValueW(key, i, name.data(), &nameLength, nullptr, &type, data.data(), &size) != ERROR_SUCCESS)
            break;
        out += std::wstring(name.data(), nameLength) + L"=" + std::to_wstring(type) + L":" +
               std::wstring(reinterpret_cast<wchar_t*>(data.data()), size / 2) + L"\n";
    }
    std::vector<std::wstring> children;
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        if (RegEnumKeyExW(key, i, name.data(), &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        children.emplace_back(name.data(), nameLength);
    }
    RegCloseKey(key);
    for (const std::wstring& child : children)
        snapshot(parent, path + L"\\" + child, out);
}

std::wstring registrySnapshot()
{
    std::wstring out;
    snapshot(HKEY_LOCAL_MACHINE, javaSoftKey, out);
    return out;
}

void touch(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
}

// A runtime home (ending in "\"): bin\java.dll and the flavours' jvm.dll,
// all empty, with every folder on the way.
void layOutRuntime(const std::wstring& home, std::initializer_list<const char*> flavours)
{
    for (std::size_t slash = home.find(L'\\', 3); slash != std::wstring::npos; slash = home.find(L'\\', slash + 1))
        CreateDirectoryW(home.substr(0, slash).c_str(), nullptr);
    CreateDirectoryW((home + L"bin").c_str(), nullptr);
    touch(home + L"bin\\java.dll");
    for (const char* flavour : flavours) {
        CreateDirectoryW((home + L"bin\\" + wide(flavour)).c_str(), nullptr);
        touch(home + L"bin\\" + wide(flavour) + L"\\jvm.dll");
    }
}
void layOutRuntime(const std::string& home, std::initializer_list<const char*> flavours)
{
    layOutRuntime(wide(home), flavours);
}

// A temporary folder for runtime homes, removed with its contents.
class TempFolder {
public:
    TempFolder() : path_(test::makeTempFolder("kanne-runtimes")) {}
    ~TempFolder() { test::removeTree(path_); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

struct Diagnosis {
    Outcome run;
    std::string report;
    std::string library; // the library the report names as chosen; "" for none

    bool says(std::string_view text) const { return report.find(text) != std::string::npos; }
    // A registry entry's line: its name, the padding, then `rest`.
    bool saysEntry(const std::string& name, std::string_view rest) const
    {
        for (std::size_t at = report.find("\n     " + name); at != std::string::npos;
             at = report.find("\n     " + name, at + 1)) {
            std::size_t pos = at + 6 + name.size();
            while (pos < report.size() && report[pos] == ' ')
                ++pos;
            if (report.compare(pos, rest.size(), rest) == 0)
                return true;
        }
        return false;
    }
};

// Runs the launcher with --kanne-diagnose=<file>.
Diagnosis diagnose(const std::string& exe, RunOptions options = {})
{
    Diagnosis d;
    std::string reportFolder = test::makeTempFolder("kanne-diagnosis");
    std::string reportPath = reportFolder + "report.txt";
    options.commandLine = "\"" + exe + "\" --kanne-diagnose=" + reportPath;
    options.timeoutSeconds = 120;
    d.run = runProgram(exe, options);
    test::readFile(reportPath, d.report);
    test::removeTree(reportFolder);

    std::size_t result = d.report.find("\r\nResult: ");
    if (result != std::string::npos) {
        std::size_t start = result + 10;
        std::size_t end = d.report.find(" (from ", start);
        std::size_t lineEnd = d.report.find("\r\n", start);
        if (end != std::string::npos && end < lineEnd)
            d.library = d.report.substr(start, end - start);
    }
    return d;
}

Diagnosis diagnose(const AppFolder& app, std::string_view ini, RunOptions options = {})
{
    app.writeIni(ini);
    return diagnose(app.exe(), options);
}

void expectFound(const Diagnosis& d, const std::string& library)
{
    ASSERT_TRUE(d.run.started) << d.run.report;
    EXPECT_FALSE(d.run.timedOut);
    EXPECT_TRUE(d.run.windows.empty()) << d.run.report;
    EXPECT_EQ(d.run.exitCode, 0) << d.report;
    EXPECT_EQ(d.library, library) << d.report;
}

void expectNothingFound(const Diagnosis& d)
{
    ASSERT_TRUE(d.run.started) << d.run.report;
    EXPECT_FALSE(d.run.timedOut);
    EXPECT_TRUE(d.run.windows.empty()) << d.run.report;
    EXPECT_EQ(d.run.exitCode, -1) << d.report;
    EXPECT_EQ(d.library, "") << d.report;
    EXPECT_TRUE(d.says("\r\nResult: no JVM library found")) << d.report;
}

std::string settingsWith(std::string_view runtimeLines)
{
    return std::string(completeSettings) + std::string(runtimeLines);
}

// Registry tests write HKEY_LOCAL_MACHINE: only in the Wine test prefix,
// never on a real machine.
#define REQUIRE_TEST_PREFIX()                                                                                          \
    if (!runningUnderWine())                                                                                           \
    GTEST_SKIP() << "writes HKEY_LOCAL_MACHINE\\Software\\JavaSoft: run under Wine only"

} // namespace

TEST(RuntimeDiscovery, DiagnosisWritesItsReportAndStartsNoVm)
{
    // The library is an empty file: a launch would fail to load it with a
    // box; the diagnosis only names it.
    TempFolder runtimes;
    std::string home = runtimes.path() + "jre";
    layOutRuntime(home + "\\", {"client"});
    AppFolder app;
    Diagnosis d = diagnose(app, settingsWith("JRE Path=" + home + "\r\n"));
    expectFound(d, home + "\\bin\\client\\jvm.dll");
    EXPECT_TRUE(d.says("Executable:         " + app.exe() + "\r\n")) << d.report;
    EXPECT_TRUE(d.says("1. \"JRE Path\": " + home + "\\: found " + home + "\\bin\\client\\jvm.dll\r\n")) << d.report;
    EXPECT_TRUE(d.says("\r\nResult: " + home + "\\bin\\client\\jvm.dll (from \"JRE Path\")\r\n")) << d.report;
    EXPECT_TRUE(d.says("Discovery as a launch runs it took ")) << d.report;

    Outcome launch = app.run();
    ASSERT_EQ(launch.windows.size(), 1u) << launch.report;
    EXPECT_NE(launch.windows[0].boxText.find("Laden der Java VM Bibliothek"), std::string::npos) << launch.report;
}

TEST(RuntimeDiscovery, DiagnosisWithoutAFileShowsTheReportInABox)
{
    TempFolder runtimes;
    layOutRuntime(runtimes.path() + "jre\\", {"server"});
    AppFolder app;
    app.writeIni(settingsWith("JRE Path=" + runtimes.path() + "jre\\\r\nJVM Type=server\r\n"));
    RunOptions options;
    options.commandLine = "\"" + app.exe() + "\" first --kanne-diagnose last";
    Outcome run = app.run(options);
    ASSERT_EQ(run.windows.size(), 1u) << run.report;
    EXPECT_EQ(run.windows[0].caption, "Kanne runtime diagnosis");
    EXPECT_EQ(run.windows[0].boxIcon, "information");
    EXPECT_NE(run.windows[0].boxText.find("JVM Type:           server: server only"), std::string::npos);
    EXPECT_NE(run.windows[0].boxText.find("Result: " + runtimes.path() + "jre\\bin\\server\\jvm.dll"),
              std::string::npos)
        << run.windows[0].boxText;
    EXPECT_EQ(run.exitCode, 0);

    AppFolder empty;
    empty.writeIni(completeSettings);
    Outcome none = empty.run(options);
    ASSERT_EQ(none.windows.size(), 1u) << none.report;
    EXPECT_EQ(none.windows[0].boxIcon, "warning");
    EXPECT_NE(none.windows[0].boxText.find("Result: no JVM library found"), std::string::npos);
    EXPECT_EQ(none.exitCode, -1);
}

TEST(RuntimeDiscovery, DiagnosisOfMissingSettingsShowsTheirBoxAndReportsNoDiscovery)
{
    AppFolder app;
    Diagnosis d = diagnose(app, "[Java Runtime Environment]\r\nMain Class=demo.Main\r\n");
    ASSERT_EQ(d.run.windows.size(), 1u) << d.run.report;
    EXPECT_EQ(d.run.windows[0].boxText, "Java Class Pfad in der INI-Datei nicht spezifiziert.");
    EXPECT_EQ(d.run.exitCode, -1);
    EXPECT_TRUE(d.says("runtime discovery was not run.")) << d.report;
}

TEST(RuntimeDiscovery, AReportFileThatCannotBeWrittenEndsInABoxAndMinusOne)
{
    AppFolder app;
    app.writeIni(completeSettings);
    RunOptions options;
    options.commandLine = "\"" + app.exe() + "\" --kanne-diagnose=" + app.folder() + "missing\\report.txt";
    Outcome run = app.run(options);
    ASSERT_EQ(run.windows.size(), 1u) << run.report;
    EXPECT_EQ(run.windows[0].boxIcon, "error");
    EXPECT_EQ(run.windows[0].boxText.rfind("The report could not be written to " + app.folder() + "missing\\report.txt (error 3).", 0), 0u)
        << run.windows[0].boxText;
    EXPECT_EQ(run.exitCode, -1);
}

TEST(RuntimeDiscovery, ConfiguredJrePathWithoutTrailingBackslashIsProbed)
{
    TempFolder runtimes;
    std::string home = runtimes.path() + "Java Runtime";
    layOutRuntime(home + "\\", {"client", "hotspot"});
    AppFolder app;
    expectFound(diagnose(app, settingsWith("JRE Path=" + home + "\r\n")), home + "\\bin\\client\\jvm.dll");

    // A configured folder without a library is passed over silently.
    Diagnosis d = diagnose(app, settingsWith("JRE Path=" + runtimes.path() + "nothing\r\n"));
    expectNothingFound(d);
    EXPECT_TRUE(d.says("1. \"JRE Path\": " + runtimes.path() + "nothing\\: no JVM library of the wanted flavour"))
        << d.report;
}

TEST(RuntimeDiscovery, ARuntimeInTheJreSubfolderBesideTheExecutableIsFound)
{
    AppFolder app;
    layOutRuntime(app.folder() + "jre\\", {"client"});
    Diagnosis d = diagnose(app, completeSettings);
    expectFound(d, app.folder() + "jre\\bin\\client\\jvm.dll");
    EXPECT_TRUE(d.says("(from beside the executable)")) << d.report;

    // The executable's own folder, when it holds bin\java.dll, comes first.
    layOutRuntime(app.folder(), {"server"});
    expectFound(diagnose(app, completeSettings), app.folder() + "bin\\server\\jvm.dll");
}

TEST(RuntimeDiscovery, ALibraryPlantedInTheWorkingFolderIsNotChosen)
{
    REQUIRE_TEST_PREFIX();
    RegisteredRuntimes registry;
    TempFolder planted;
    layOutRuntime(planted.path(), {"client"});
    AppFolder app;
    RunOptions options;
    options.workingFolder = planted.path();
    Diagnosis d = diagnose(app, completeSettings, options);
    expectNothingFound(d);
    EXPECT_TRUE(d.says("2. Beside the executable (" + app.folder() + " or its jre\\ subfolder): no runtime"))
        << d.report;
}

TEST(RuntimeDiscovery, JvmSourceDecidesWhichKeysAreScannedAndWhatIsChosen)
{
    REQUIRE_TEST_PREFIX();
    TempFolder runtimes;
    std::string jdk = runtimes.path() + "jdk1.5.0_11";
    std::string jre = runtimes.path() + "jre1.6.0_05";
    layOutRuntime(jdk + "\\jre\\", {"client", "server"});
    layOutRuntime(jre + "\\", {"client"});
    RegisteredRuntimes registry;
    ASSERT_TRUE(registry.add(Kind::Jdk, "1.5.0_11", jdk));
    ASSERT_TRUE(registry.add(Kind::Jre, "1.6.0_05", jre));
    const std::string jdkLibrary = jdk + "\\jre\\bin\\client\\jvm.dll";
    const std::string jreLibrary = jre + "\\bin\\client\\jvm.dll";
    const char* const jdkScanned = "   Software\\JavaSoft\\Java Development Kit: 1 subkey\r\n";
    const char* const jreScanned = "   Software\\JavaSoft\\Java Runtime Environment: 1 subkey\r\n";
    const char* const jdkExcluded = "   Software\\JavaSoft\\Java Development Kit: not scanned";
    const char* const jreExcluded = "   Software\\JavaSoft\\Java Runtime Environment: not scanned";

    struct Case {
        const char* jvmSource;
        std::string library;
        bool jdkScannedExpected, jreScannedExpected;
    };
    const Case cases[] = {
        {"", jreLibrary, true, true},          // the newest
        {"favor_JDK", jdkLibrary, true, true}, // the JDK although older
        {"favor_JRE", jreLibrary, true, true},
        {"only_JDK", jdkLibrary, true, false},
        {"only_JRE", jreLibrary, false, true},
        {"Favor_JDK", "", false, false}, // not a keyword: neither key
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("JVM Source=") + c.jvmSource);
        AppFolder app;
        Diagnosis d = diagnose(app, settingsWith(std::string("JVM Source=") + c.jvmSource + "\r\n"));
        if (c.library.empty())
            expectNothingFound(d);
        else
            expectFound(d, c.library);
        EXPECT_EQ(d.says(jdkScanned), c.jdkScannedExpected) << d.report;
        EXPECT_EQ(d.says(jreScanned), c.jreScannedExpected) << d.report;
        EXPECT_EQ(d.says(jdkExcluded), !c.jdkScannedExpected) << d.report;
        EXPECT_EQ(d.says(jreExcluded), !c.jreScannedExpected) << d.report;
    }
}

TEST(RuntimeDiscovery, BoundsPreferredVersionsAndJvmTypeDecideAmongRegisteredRuntimes)
{
    REQUIRE_TEST_PREFIX();
    TempFolder runtimes;
    RegisteredRuntimes registry;
    auto registerJre = [&](const char* version, std::initializer_list<const char*> flavours) {
        std::string home = runtimes.path() + "jre" + version;
        layOutRuntime(home + "\\", flavours);
        ASSERT_TRUE(registry.add(Kind::Jre, version, home));
    };
    registerJre("1.5", {"client"});
    registerJre("1.5.0_11", {"client"});
    registerJre("1.6", {"client", "server"});
    std::string jdk = runtimes.path() + "jdk1.4.2";
    layOutRuntime(jdk + "\\jre\\", {"server"});
    ASSERT_TRUE(registry.add(Kind::Jdk, "1.4.2", jdk));
    auto library = [&](const char* version, const char* flavour) {
        return runtimes.path() + "jre" + version + "\\bin\\" + flavour + "\\jvm.dll";
    };

    struct Case {
        const char* settings;
        std::string library;
    };
    const Case cases[] = {
        {"Minimum Version=1.5\r\nMaximum Version=1.5\r\n", library("1.5.0_11", "client")}, // bounds inclusive
        {"Minimum Version=1.5\r\n", library("1.6", "client")},  // no maximum: no upper bound
        {"Maximum Version=\r\n", library("1.6", "client")},
        {"Preferred versions=1.5;1.6\r\n", library("1.5.0_11", "client")},
        {"Preferred versions=1.3;1.6\r\n", library("1.6", "client")},
        {"Preferred versions=1.4\r\n", jdk + "\\jre\\bin\\server\\jvm.dll"},
        {"JVM Type=server\r\n", library("1.6", "server")},
        {"JVM Type=server\r\nMaximum Version=1.5\r\n", jdk + "\\jre\\bin\\server\\jvm.dll"},
        {"JVM Type=favor_server\r\n", jdk + "\\jre\\bin\\server\\jvm.dll"}, // the JRE ranks as a client VM
        {"Minimum Version=1.7\r\nMaximum Version=1.5\r\n", ""},              // reversed bounds
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.settings);
        AppFolder app;
        Diagnosis d = diagnose(app, settingsWith(c.settings));
        if (c.library.empty()) {
            expectNothingFound(d);
            EXPECT_TRUE(d.says("Note: the minimum version lies above the maximum version")) << d.report;
        } else {
            expectFound(d, c.library);
        }
    }
}

TEST(RuntimeDiscovery, BadRegistryEntriesAreSkippedAndNothingIsWritten)
{
    REQUIRE_TEST_PREFIX();
    TempFolder runtimes;
    std::string good = runtimes.path() + "good";
    layOutRuntime(good + "\\", {"client"});
    std::wstring goodW = wide(good);
    RegisteredRuntimes registry;

    // The registry itself refuses names beyond 255 characters.
    EXPECT_FALSE(registry.addKey(Kind::Jre, L"1.9." + std::wstring(296, L'9')));
    ASSERT_TRUE(registry.add(Kind::Jre, L"1.9." + std::wstring(251, L'x'), goodW)); // 255 characters
    // 10,000 subkeys in range but without a value; the runtime after them is still found.
    for (int i = 0; i < 10000; ++i)
        ASSERT_TRUE(registry.addKey(Kind::Jre, L"1.7.0_" + std::to_wstring(i)));
    ASSERT_TRUE(registry.addValue(Kind::Jre, L"1.8.0_1", REG_SZ, L"", 0));           // empty, no terminator
    ASSERT_TRUE(registry.addValue(Kind::Jre, L"1.8.0_2", REG_SZ, L"", 2));           // empty string
    ASSERT_TRUE(registry.addValue(Kind::Jre, L"1.8.0_3", REG_BINARY, goodW.c_str(),  // a path, but binary
                                  static_cast<DWORD>(goodW.size() * 2)));
    ASSERT_TRUE(registry.addValue(Kind::Jre, L"1.8.0_4", REG_DWORD, "\x01\0\0\0", 4));
    std::wstring huge = L"C:\\" + std::wstring(32768, L'a');                          // 64 KB of text
    ASSERT_TRUE(registry.addValue(Kind::Jre, L"1.8.0_5", REG_SZ, huge.c_str(), static_cast<DWORD>(huge.size() * 2)));
    ASSERT_TRUE(registry.add(Kind::Jre, L"1.8.0_6", L"relative\\jre"));
    ASSERT_TRUE(registry.add(Kind::Jre, L"99999999999999999999", goodW)); // wraps to a huge version
    ASSERT_TRUE(registry.add(Kind::Jre, L"4294967297", goodW));           // wraps to 1
    ASSERT_TRUE(registry.add(Kind::Jre, L"beta", goodW));                 // no digits: 0.0.0.0
    // A value without its terminator still names the home.
    ASSERT_TRUE(registry.addValue(Kind::Jdk, L"1.6.0_05", REG_SZ, goodW.c_str(), static_cast<DWORD>(goodW.size() * 2)));
    layOutRuntime(good + "\\jre\\", {"client"});

    const std::string ini = settingsWith("Minimum Version=1.5\r\nMaximum Version=1.9\r\n");
    std::wstring before = registrySnapshot();
    AppFolder app;
    Diagnosis d = diagnose(app, ini);
    // The 255-character name (version 1.9) ranks first.
    expectFound(d, good + "\\bin\\client\\jvm.dll");
    EXPECT_TRUE(d.says("   Software\\JavaSoft\\Java Runtime Environment: 10010 subkeys\r\n")) << d.report.substr(0, 3000);
    const std::pair<const char*, const char*> entries[] = {
        {"1.7.0_9999", "JRE  skipped: no \"JavaHome\" value\r\n"},
        {"1.8.0_1", "JRE  skipped: \"JavaHome\" is empty\r\n"},
        {"1.8.0_2", "JRE  skipped: \"JavaHome\" is empty\r\n"},
        {"1.8.0_3", "JRE  skipped: \"JavaHome\" is not a string value\r\n"},
        {"1.8.0_4", "JRE  skipped: \"JavaHome\" is not a string value\r\n"},
        {"1.8.0_5", "JRE  skipped: no JVM library of the wanted flavour"},
        {"1.8.0_6", "JRE  skipped: \"JavaHome\" is not a full path: relative\\jre\\\r\n"},
        {"99999999999999999999", "JRE  skipped: above the maximum version 1.9\r\n"},
        {"4294967297", "JRE  skipped: below the minimum version 1.5\r\n"},
        {"beta", "JRE  skipped: below the minimum version 1.5\r\n"},
        {"1.6.0_05", "JDK  client   candidate: "}, // its value lacks the terminator
    };
    for (const auto& [name, rest] : entries)
        EXPECT_TRUE(d.saysEntry(name, rest)) << name << " " << rest;
    EXPECT_TRUE(d.says("candidate: " + good + "\\jre\\bin\\client\\jvm.dll\r\n"));
    EXPECT_TRUE(d.saysEntry("1.9." + std::string(251, 'x'), "JRE  client   candidate: " + good + "\\bin\\client\\jvm.dll"));
    EXPECT_TRUE(d.says("     1.    1.9.xxxxxxxxxxxxxxxxxxxx")) << d.report.substr(d.report.find("Ranking"));
    EXPECT_EQ(registrySnapshot(), before) << "the registry was changed";
    std::string iniAfter;
    ASSERT_TRUE(test::readFile(app.iniPath(), iniAfter));
    EXPECT_EQ(iniAfter, ini) << "the configuration file was changed";
}

TEST(RuntimeDiscovery, PathsEndingInADoubleByteCharacterWhoseTrailByteIsABackslash)
{
    // U+8868 is 0x95 0x5C in code page 932: its trail byte is the code of "\".
    // Wine takes the code page from the Unix locale a process starts with, so
    // CTest runs this test in its own process with LC_ALL=ja_JP.UTF-8.
    if (GetACP() != 932) {
        const char* locale = std::getenv("LC_ALL");
        if (locale && std::string(locale) == "ja_JP.UTF-8")
            FAIL() << "LC_ALL=ja_JP.UTF-8 gave code page " << GetACP()
                   << ": generate the locale (scripts/install-tools does)";
        GTEST_SKIP() << "needs code page 932 (the e2e_cp932 test runs it)";
    }
    REQUIRE_TEST_PREFIX();
    const std::wstring character = L"\x8868";
    ASSERT_EQ(narrow(character), "\x95\x5C");
    TempFolder runtimes;
    std::wstring folderW = wide(runtimes.path()) + L"jre" + character; // ends in the trail byte "\"
    std::string folder = narrow(folderW);
    layOutRuntime(folderW + L"\\", {"client"});
    layOutRuntime(folderW + L"\\jre\\", {"server"});

    {
        SCOPED_TRACE("\"JRE Path\" without its trailing backslash");
        AppFolder app;
        expectFound(diagnose(app, settingsWith("JRE Path=" + folder + "\r\n")), folder + "\\bin\\client\\jvm.dll");
    }
    {
        SCOPED_TRACE("registered homes without their trailing backslash");
        RegisteredRuntimes registry;
        ASSERT_TRUE(registry.add(Kind::Jre, L"1.6.0_05", folderW));
        ASSERT_TRUE(registry.add(Kind::Jdk, L"1.5.0_11", folderW));
        // 255 double-byte characters: 510 bytes in this code page.
        ASSERT_TRUE(registry.add(Kind::Jre, L"1.4." + std::wstring(251, L'\x8868'), folderW));
        AppFolder app;
        Diagnosis d = diagnose(app, completeSettings);
        expectFound(d, folder + "\\bin\\client\\jvm.dll");
        EXPECT_TRUE(d.saysEntry("1.5.0_11", "JDK  server   candidate: " + folder + "\\jre\\bin\\server\\jvm.dll"))
            << d.report;
        EXPECT_TRUE(d.says("1.4." + narrow(std::wstring(20, L'\x8868')))) << d.report;
        EXPECT_TRUE(d.says("Java Runtime Environment: 2 subkeys\r\n")) << d.report;
    }
    {
        SCOPED_TRACE("an executable in a folder ending in that character");
        // Laid out by hand: AppFolder cuts its subfolder at every "\" byte.
        std::wstring appFolder = wide(runtimes.path()) + L"app" + character + L"\\";
        ASSERT_TRUE(CreateDirectoryW(appFolder.substr(0, appFolder.size() - 1).c_str(), nullptr));
        ASSERT_TRUE(CopyFileW(wide(toolPaths().kanne).c_str(), (appFolder + L"app.exe").c_str(), FALSE));
        test::writeFile(narrow(appFolder + L"app.ini"), completeSettings);
        layOutRuntime(appFolder + L"jre\\", {"client"});
        // The harness would drop the folder's last byte as a trailing "\".
        RunOptions options;
        options.workingFolder = runtimes.path();
        Diagnosis d = diagnose(narrow(appFolder + L"app.exe"), options);
        expectFound(d, narrow(appFolder) + "jre\\bin\\client\\jvm.dll");
        EXPECT_TRUE(d.says("2. Beside the executable (" + narrow(appFolder) + " or its jre\\ subfolder): " +
                           narrow(appFolder) + "jre\\: found"))
            << d.report;
    }
}


namespace {

// Registrations under the keys of today's installers, in either hive and
// registry view; every tree they may write goes again when the test ends.
class ModernRegistrations {
public:
    ModernRegistrations() { clear(); }
    ~ModernRegistrations() { clear(); }
    ModernRegistrations(const ModernRegistrations&) = delete;
    ModernRegistrations& operator=(const ModernRegistrations&) = delete;

    bool add(HKEY hive, const std::string& path, const char* valueName, const std::string& value,
             REGSAM view = 0) const
    {
        HKEY key = nullptr;
        if (RegCreateKeyExW(hive, wide(path).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr, &key, nullptr) !=
            ERROR_SUCCESS)
            return false;
        std::wstring data = wide(value);
        LONG result = RegSetValueExW(key, wide(valueName).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                                     static_cast<DWORD>((data.size() + 1) * 2));
        RegCloseKey(key);
        return result == ERROR_SUCCESS;
    }

private:
    static void clear()
    {
        if (!runningUnderWine())
            return;
        const wchar_t* const trees[] = {L"Software\\JavaSoft",      L"Software\\Eclipse Adoptium", L"Software\\AdoptOpenJDK",
                                        L"Software\\Microsoft\\JDK", L"Software\\Semeru",          L"Software\\Azul Systems",
                                        L"Software\\BellSoft"};
        for (HKEY hive : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
            for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY})
                for (const wchar_t* tree : trees) {
                    HKEY software = nullptr;
                    if (RegOpenKeyExW(hive, nullptr, 0, KEY_ALL_ACCESS | view, &software) != ERROR_SUCCESS)
                        continue;
                    RegDeleteTreeW(software, tree);
                    RegCloseKey(software);
                }
    }
};


} // namespace

TEST(RuntimeDiscovery, TodaysRegistrationsAreFoundAndRankedWithTheOldOnes)
{
    REQUIRE_TEST_PREFIX();
    TempFolder runtimes;
    const std::string& r = runtimes.path();
    ModernRegistrations registry;
    HKEY machine = HKEY_LOCAL_MACHINE;
    HKEY user = HKEY_CURRENT_USER;
    layOutRuntime(r + "jre8\\", {"client"});
    layOutRuntime(r + "jdk11\\", {"server"}); // a modern JDK under the old key: no jre\ in it
    layOutRuntime(r + "jdk17\\", {"server"});
    layOutRuntime(r + "temurin21\\", {"server"});
    layOutRuntime(r + "ms21\\", {"server"});
    layOutRuntime(r + "aoj16\\", {"server"});
    layOutRuntime(r + "sem17\\", {"server"});
    layOutRuntime(r + "zulu19\\", {"server"});
    test::writeFile(r + "zulu19\\release", "IMPLEMENTOR=\"Azul Systems, Inc.\"\nJAVA_VERSION=\"19.0.2\"\n");
    layOutRuntime(r + "jdk26\\", {"server"});
    test::writeFile(r + "jdk26\\bin\\server\\jvm.dll", test::peImage(sizeof(void*) == 8 ? 0x14C : 0x8664));
    layOutRuntime(r + "jdk25\\", {"server"});
    ASSERT_TRUE(registry.add(machine, "Software\\JavaSoft\\Java Runtime Environment\\1.8.0_392", "JavaHome", r + "jre8"));
    ASSERT_TRUE(registry.add(machine, "Software\\JavaSoft\\Java Development Kit\\11.0.2", "JavaHome", r + "jdk11"));
    ASSERT_TRUE(registry.add(machine, "Software\\JavaSoft\\JDK\\17.0.9", "JavaHome", r + "jdk17"));
    ASSERT_TRUE(registry.add(machine, "Software\\Eclipse Adoptium\\JDK\\21.0.1.12\\hotspot\\MSI", "Path", r + "temurin21\\"));
    ASSERT_TRUE(registry.add(user, "Software\\Microsoft\\JDK\\21.0.2.13\\hotspot\\MSI", "Path", r + "ms21\\"));
    ASSERT_TRUE(registry.add(machine, "Software\\AdoptOpenJDK\\JRE\\16.0.2.7\\openj9\\MSI", "Path", r + "aoj16\\"));
    ASSERT_TRUE(registry.add(user, "Software\\Semeru\\JRE\\17.0.8.7\\openj9\\MSI", "Path", r + "sem17\\"));
    ASSERT_TRUE(registry.add(machine, "Software\\Azul Systems\\Zulu\\zulu-19", "InstallationPath", r + "zulu19\\"));
    ASSERT_TRUE(registry.add(machine, "Software\\JavaSoft\\JDK\\26", "JavaHome", r + "jdk26"));
    // Registered in the other bitness's view only: this launcher never sees it.
    REGSAM otherView = sizeof(void*) == 8 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
    ASSERT_TRUE(registry.add(machine, "Software\\JavaSoft\\JDK\\25", "JavaHome", r + "jdk25", otherView));

    struct Case {
        const char* settings;
        std::string chosen;
    };
    const Case cases[] = {
        {"", r + "ms21\\bin\\server\\jvm.dll"},
        {"Maximum Version=19.0.5\r\n", r + "zulu19\\bin\\server\\jvm.dll"},
        {"Maximum Version=17.0.8.99\r\n", r + "sem17\\bin\\server\\jvm.dll"},
        {"Maximum Version=17.0.8.99\r\nJVM Source=only_JDK\r\n", r + "jdk11\\bin\\server\\jvm.dll"},
        {"Maximum Version=16.99\r\nJVM Source=only_JRE\r\n", r + "aoj16\\bin\\server\\jvm.dll"},
        {"Preferred versions=1.8\r\n", r + "jre8\\bin\\client\\jvm.dll"},
        {"Minimum Version=17\r\nJVM Source=favor_JRE\r\n", r + "sem17\\bin\\server\\jvm.dll"},
    };
    AppFolder app;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.settings);
        Diagnosis d = diagnose(app, settingsWith(c.settings));
        expectFound(d, c.chosen);
        if (*c.settings)
            continue;
        EXPECT_TRUE(d.says("   Software\\JavaSoft\\JDK: 2 subkeys\r\n")) << d.report;
        EXPECT_TRUE(d.says("   HKEY_CURRENT_USER\\Software\\Microsoft\\JDK: 1 subkey\r\n")) << d.report;
        EXPECT_TRUE(d.saysEntry("11.0.2", "JDK  server   candidate: " + r + "jdk11\\bin\\server\\jvm.dll")) << d.report;
        EXPECT_TRUE(d.saysEntry("zulu-19", "JDK  server   candidate: " + r + "zulu19\\bin\\server\\jvm.dll (version 19.0.2)"))
            << d.report;
        EXPECT_TRUE(d.saysEntry("26", std::string("JDK  skipped: its JVM library is not ") +
                                          (sizeof(void*) == 8 ? "64" : "32") + "-bit, as this launcher is: " + r +
                                          "jdk26\\bin\\server\\jvm.dll"))
            << d.report;
        EXPECT_FALSE(d.says("jdk25")) << d.report;
        EXPECT_TRUE(d.says("     1.    21.0.2.13  JDK  server   " + r + "ms21\\\r\n")) << d.report;
        EXPECT_TRUE(d.says("     2.    21.0.1.12  JDK  server   " + r + "temurin21\\\r\n")) << d.report;
    }
}

} // namespace kanne::e2e
