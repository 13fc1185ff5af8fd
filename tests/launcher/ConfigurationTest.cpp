#include "launcher/Configuration.h"
#include "launcher/Launcher.h"
#include "launcher/Messages.h"
#include "support/TestText.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace kanne {

namespace {
std::vector<std::string> items(const StringList& list) { return {list.begin(), list.end()}; }

std::vector<std::string> boxes;
int WINAPI recordBox(HWND, const char* text, const char*, UINT)
{
    boxes.emplace_back(text);
    return IDOK;
}

class ConfigurationFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = test::makeTempFolder("kanne-config");
        ini = folder + "app.ini";
        boxes.clear();
        replaceMessageBox(recordBox);
    }
    void TearDown() override
    {
        replaceMessageBox(nullptr);
        test::removeTree(folder);
    }
    std::string folder;
    std::string ini;
};
} // namespace

struct IniPathCase {
    const char* executable;
    const char* expected; // nullptr: no configuration file
};

TEST(Configuration, IniFileSitsBesideTheExecutableWithItsBaseName)
{
    const IniPathCase cases[] = {
        {"C:\\Tools\\Start.exe", "C:\\Tools\\Start.ini"},
        {"C:\\my.apps\\start.exe", "C:\\my.apps\\start.ini"},
        {"C:\\my.apps\\start.v2.exe", "C:\\my.apps\\start.v2.ini"},
        {"C:\\my.apps\\start", nullptr},
        {"start", nullptr},
        {"C:\\Tools\\.exe", "C:\\Tools\\.ini"},
        // The trail byte of 0x95 0x5C is not a folder separator.
        {"C:\\x\x95\x5C" "a.b\\s.exe", "C:\\x\x95\x5C" "a.b\\s.ini"},
        {"C:\\x.y\\\x95\x5C" "s", nullptr},
    };
    for (const IniPathCase& c : cases) {
        std::string path;
        bool found = iniPathForModule(c.executable, path, test::doubleByteStep);
        EXPECT_EQ(found, c.expected != nullptr) << c.executable;
        if (c.expected) {
            EXPECT_EQ(path, c.expected) << c.executable;
        }
    }
}

namespace {
std::string fakeModulePath;
DWORD fakeError = 0;
// Behaves as the system does: a path that does not fit is cut and the buffer
// size returned.
DWORD WINAPI fakeModuleFileName(HMODULE, LPSTR buffer, DWORD size)
{
    if (fakeModulePath.empty()) {
        SetLastError(fakeError);
        return 0;
    }
    DWORD length = static_cast<DWORD>(fakeModulePath.size());
    DWORD copied = length < size ? length : size - 1;
    std::memcpy(buffer, fakeModulePath.data(), copied);
    buffer[copied] = '\0';
    if (copied < length) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return size;
    }
    return length;
}
} // namespace

TEST(Configuration, ModulePathOfAnyLengthIsReadWhole)
{
    for (std::size_t length : {10u, 258u, 259u, 260u, 261u, 600u, 5000u}) {
        fakeModulePath = "C:\\" + std::string(length - 7, 'x') + ".exe";
        std::string path;
        DWORD error = 0;
        ASSERT_TRUE(queryModulePath(path, error, fakeModuleFileName)) << length;
        EXPECT_EQ(path, fakeModulePath) << length;
    }
    fakeModulePath.clear();
    fakeError = ERROR_ACCESS_DENIED;
    std::string path;
    DWORD error = 0;
    EXPECT_FALSE(queryModulePath(path, error, fakeModuleFileName));
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_ACCESS_DENIED));
}

TEST(Configuration, SplitStringKeepsEveryItem)
{
    const std::pair<const char*, std::vector<std::string>> cases[] = {
        {"1.6;1.5", {"1.6", "1.5"}},
        {"1.6;", {"1.6", ""}},
        {";1.6", {"", "1.6"}},
        {"1.6;;1.5", {"1.6", "", "1.5"}},
        {"", {""}},
        {";", {"", ""}},
    };
    StringList list;
    list.add("left over");
    for (const auto& [text, expected] : cases) {
        splitString(list, text, ";");
        EXPECT_EQ(items(list), expected) << text;
    }
}

TEST(Configuration, JvmSourceSetsTheThreeFlags)
{
    struct Case {
        const char* value;
        bool bothKinds, favorJdk, favorJre;
    };
    const Case cases[] = {
        {"", true, false, false},          {"favor_JDK", true, true, false},
        {"favor_JRE", true, false, true},  {"only_JDK", false, true, false},
        {"only_JRE", false, false, true},  {"jdk", false, false, false},
        {"Favor_JDK", false, false, false}, {"only_JDK ", false, false, false},
    };
    for (const Case& c : cases) {
        RuntimeKinds kinds = runtimeKindsFor(c.value);
        EXPECT_EQ(kinds.bothKinds, c.bothKinds) << c.value;
        EXPECT_EQ(kinds.favorJdk, c.favorJdk) << c.value;
        EXPECT_EQ(kinds.favorJre, c.favorJre) << c.value;
    }
}

TEST_F(ConfigurationFile, ValuesOfAnyLengthAreReadWhole)
{
    for (std::size_t length : {0u, 1u, 254u, 255u, 256u, 511u, 512u, 100u * 1024u}) {
        std::string value(length, 'v');
        if (length > 10)
            value[length - 1] = 'z';
        test::writeFile(ini, "[Class Path]\r\nClass Path=" + value + "\r\n");
        EXPECT_EQ(readSetting(ini, "Class Path", "Class Path"), value) << length;
    }
}

TEST_F(ConfigurationFile, MissingFileSectionOrKeyReadsEmpty)
{
    EXPECT_EQ(readSetting(folder + "absent.ini", "Class Path", "Class Path"), "");
    test::writeFile(ini, "[Java Runtime Environment]\r\nClass Path=x.jar\r\n");
    EXPECT_EQ(readSetting(ini, "Class Path", "Class Path"), "");
    EXPECT_EQ(readSetting(ini, "Java Runtime Environment", "Main Class"), "");
    EXPECT_EQ(readSetting(ini, "java runtime environment", "class path"), "x.jar");
}

TEST_F(ConfigurationFile, EveryKeyReachesItsField)
{
    SetEnvironmentVariableA("KANNE_TEST_APPDIR", "D:\\Apps\\Demo");
    test::writeFile(ini, "[Class Path]\r\n"
                         "Class Path=%KANNE_TEST_APPDIR%\\lib\\app.jar;%KANNE_TEST_UNDEFINED%\\x.jar\r\n"
                         "[Java Runtime Environment]\r\n"
                         "Virtual Machine Parameters=-Dtitle=\"My App\" -Xss512k -Dp=%KANNE_TEST_APPDIR%\r\n"
                         "Main Class=com.example.app.Main\r\n"
                         "Minimum Version=1.5\r\n"
                         "Maximum Version=1.6\r\n"
                         "Preferred versions=1.6;;1.5\r\n"
                         "JRE Path=C:\\Java\\jre\r\n"
                         "JVM Type=favor_server\r\n"
                         "Library Path=lib\r\n"
                         "JVM Source=only_JDK\r\n"
                         "System Path=%KANNE_TEST_APPDIR%\\bin\r\n"
                         "[Application]\r\n"
                         "Output File=out.txt\r\n"
                         "Error File=err.txt\r\n");
    Launcher launcher;
    ASSERT_TRUE(readSettingsFrom(launcher, ini));
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(items(launcher.vmOptions),
              (std::vector<std::string>{"-Djava.class.path=D:\\Apps\\Demo\\lib\\app.jar;%KANNE_TEST_UNDEFINED%\\x.jar",
                                        "-Dtitle=My App", "-Xss512k", "-Dp=%KANNE_TEST_APPDIR%"}));
    EXPECT_EQ(launcher.mainClass, "com/example/app/Main");
    EXPECT_EQ(launcher.minVersion.format(), "1.5");
    EXPECT_EQ(launcher.maxVersion.components, (std::array<std::int32_t, 4>{1, 6, 65535, 65535}));
    EXPECT_EQ(items(launcher.preferredVersions), (std::vector<std::string>{"1.6", "", "1.5"}));
    EXPECT_EQ(launcher.jrePath, "C:\\Java\\jre");
    EXPECT_EQ(launcher.jvmType, JvmType::FavorServer);
    EXPECT_EQ(launcher.libraryPath, "lib");
    EXPECT_EQ(launcher.outputFile, "out.txt");
    EXPECT_EQ(launcher.errorFile, "err.txt");
    EXPECT_FALSE(launcher.bothKinds);
    EXPECT_TRUE(launcher.favorJdk);
    EXPECT_FALSE(launcher.favorJre);
    EXPECT_EQ(launcher.systemPath, "%KANNE_TEST_APPDIR%\\bin");
}

TEST_F(ConfigurationFile, AbsentKeysTakeTheirDefaults)
{
    test::writeFile(ini, "[Class Path]\r\nClass Path=a.jar\r\n[Java Runtime Environment]\r\nMain Class=Main\r\n");
    Launcher launcher;
    ASSERT_TRUE(readSettingsFrom(launcher, ini));
    EXPECT_EQ(items(launcher.vmOptions), (std::vector<std::string>{"-Djava.class.path=a.jar"}));
    EXPECT_EQ(launcher.minVersion.components, (std::array<std::int32_t, 4>{0, 0, 0, 0}));
    EXPECT_EQ(launcher.minVersion.count, 0);
    EXPECT_EQ(launcher.maxVersion.components, (std::array<std::int32_t, 4>{0, 0, 0, 0}));
    EXPECT_EQ(launcher.maxVersion.count, 0);
    EXPECT_EQ(items(launcher.preferredVersions), (std::vector<std::string>{""}));
    EXPECT_EQ(launcher.jvmType, JvmType::Default);
    EXPECT_TRUE(launcher.bothKinds);
    EXPECT_FALSE(launcher.favorJdk);
    EXPECT_FALSE(launcher.favorJre);
    EXPECT_EQ(launcher.jrePath, "");
}

TEST_F(ConfigurationFile, KeywordsAreExactAndCaseSensitive)
{
    struct Case {
        const char* versions; // Minimum, Maximum
        const char* jvmType;
        JvmType expectedType;
        VersionNumber expectedMin, expectedMax;
    };
    const Case cases[] = {
        {"any", "server", JvmType::Server, VersionNumber::lowest(), VersionNumber::highest()},
        {"Any", "Server", JvmType::Default, VersionNumber{}, VersionNumber{}},
        {"any", "favor_server", JvmType::FavorServer, VersionNumber::lowest(), VersionNumber::highest()},
        {"ANY", "FAVOR_SERVER", JvmType::Default, VersionNumber{}, VersionNumber{}},
    };
    for (const Case& c : cases) {
        test::writeFile(ini, std::string("[Class Path]\r\nClass Path=a.jar\r\n[Java Runtime Environment]\r\n"
                                         "Main Class=Main\r\nMinimum Version=") +
                                 c.versions + "\r\nMaximum Version=" + c.versions + "\r\nJVM Type=" + c.jvmType +
                                 "\r\n");
        Launcher launcher;
        ASSERT_TRUE(readSettingsFrom(launcher, ini));
        EXPECT_EQ(launcher.jvmType, c.expectedType) << c.jvmType;
        EXPECT_EQ(launcher.minVersion.components, c.expectedMin.components) << c.versions;
        EXPECT_EQ(launcher.minVersion.count, c.expectedMin.count) << c.versions;
        EXPECT_EQ(launcher.maxVersion.components, c.expectedMax.components) << c.versions;
        EXPECT_EQ(launcher.maxVersion.count, c.expectedMax.count) << c.versions;
    }
}

TEST_F(ConfigurationFile, MissingRequiredKeysShowTheirBoxAndStop)
{
    struct Case {
        const char* content;
        const char* box;
        std::vector<std::string> options;
    };
    const Case cases[] = {
        {"", "Java Class Pfad in der INI-Datei nicht spezifiziert.", {}},
        {"[Java Runtime Environment]\r\nClass Path=a.jar\r\nMain Class=Main\r\n",
         "Java Class Pfad in der INI-Datei nicht spezifiziert.", {}},
        {"[Class Path]\r\nClass Path=a.jar\r\n[Java Runtime Environment]\r\nVirtual Machine Parameters=-Da=1\r\n",
         "Main Class war in der INI-Datei nicht spezifiziert.", {"-Djava.class.path=a.jar", "-Da=1"}},
        {"[Class Path]\r\nClass Path=\r\n[Java Runtime Environment]\r\nMain Class=\r\n",
         "Java Class Pfad in der INI-Datei nicht spezifiziert.", {}},
    };
    for (const Case& c : cases) {
        boxes.clear();
        test::writeFile(ini, c.content);
        Launcher launcher;
        EXPECT_FALSE(readSettingsFrom(launcher, ini)) << c.content;
        EXPECT_EQ(boxes, std::vector<std::string>{c.box}) << c.content;
        EXPECT_EQ(items(launcher.vmOptions), c.options) << c.content;
    }
}

TEST_F(ConfigurationFile, ReadingNeverWritesTheFile)
{
    const std::string content = "[Class Path]\r\nClass Path=a.jar\r\n";
    test::writeFile(ini, content);
    Launcher launcher;
    readSettingsFrom(launcher, ini);
    std::string after;
    ASSERT_TRUE(test::readFile(ini, after));
    EXPECT_EQ(after, content);
}

} // namespace kanne
