// Real launches of Java applications through kanne.exe and the test runtime:
// what the application receives, what the VM is given, and every way a
// launch can fail after a runtime was found.
#include "e2e/Harness.h"
#include "support/TestText.h"

#include <gtest/gtest.h>

#include <sstream>

namespace kanne::e2e {

namespace {

std::string settingsFor(const std::string& mainClass, const std::string& more = {},
                        const std::string& runtime = toolPaths().runtimeHome)
{
    return "[Class Path]\r\nClass Path=" + toolPaths().javaApps + "\r\n[Java Runtime Environment]\r\nMain Class=" +
           mainClass + "\r\nJRE Path=" + runtime + "\r\n" + more;
}

// Text of the system code page as the Java side writes it: UTF-8, with
// backslashes doubled and control characters as \xNN.
std::string asReported(const std::string& text)
{
    std::wstring wide(text.size(), L'\0');
    wide.resize(static_cast<std::size_t>(MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                                             wide.data(), static_cast<int>(wide.size()))));
    std::string utf8(wide.size() * 3, '\0');
    utf8.resize(static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                                             utf8.data(), static_cast<int>(utf8.size()), nullptr,
                                                             nullptr)));
    std::string escaped;
    for (unsigned char c : utf8) {
        if (c == '\\')
            escaped += "\\\\";
        else if (c < 0x20) {
            char code[8];
            std::snprintf(code, sizeof code, "\\x%02X", c);
            escaped += code;
        } else
            escaped += static_cast<char>(c);
    }
    return escaped;
}

std::vector<std::string> reportValues(const AppFolder& app, const std::string& key)
{
    std::string report;
    test::readFile(app.folder() + "report.txt", report);
    std::vector<std::string> values;
    std::istringstream lines(report);
    std::string line;
    while (std::getline(lines, line))
        if (line.rfind(key + "=", 0) == 0)
            values.push_back(line.substr(key.size() + 1));
    return values;
}

std::string fileText(const AppFolder& app, const std::string& name)
{
    std::string text;
    test::readFile(app.folder() + name, text);
    return text;
}

void expectNoWindowAndExit(const Outcome& run, int code)
{
    ASSERT_TRUE(run.started) << run.report;
    EXPECT_FALSE(run.timedOut) << run.report;
    EXPECT_TRUE(run.windows.empty()) << run.report;
    EXPECT_EQ(run.exitCode, code) << run.report;
}

class VmHosting : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (toolPaths().runtimeHome.empty())
            GTEST_SKIP() << "the test Java runtime was not built";
    }
};

} // namespace

TEST_F(VmHosting, ArgumentsArriveExactlyAsSplit)
{
    struct Case {
        std::string tail; // the command line after the quoted executable path
        std::vector<std::string> arguments;
    };
    const Case cases[] = {
        {"", {}},
        {" a \"b c\" d", {"a", "b c", "d"}},
        {" a\"b c\"", {"a\"b", "c\""}},
        {" \"a\"b", {"a", "b"}},
        {" \"\" x", {"", "x"}},
        {" \"abc", {"abc"}},
        {" \"a\\\"b\"", {"a\\", "b\""}},
        {" -nosplash x", {"-nosplash", "x"}},
        {" a\tb\t", {"a\tb"}},
        {" \xC4rger \"gr\xFC\xDF" "e \xA4\"", {"\xC4rger", "gr\xFC\xDF" "e \xA4"}},
    };
    AppFolder app;
    app.writeIni(settingsFor("kanne.test.Report"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tail);
        DeleteFileA((app.folder() + "report.txt").c_str());
        RunOptions options;
        options.commandLine = "\"" + app.exe() + "\"" + c.tail;
        expectNoWindowAndExit(app.run(options), 0);
        std::vector<std::string> expected;
        for (const std::string& argument : c.arguments)
            expected.push_back(asReported(argument));
        EXPECT_EQ(reportValues(app, "argc"), std::vector<std::string>{std::to_string(c.arguments.size())});
        EXPECT_EQ(reportValues(app, "arg"), expected);
    }
}

TEST_F(VmHosting, UnquotedExecutablePathWithBlanksIsNotAnArgument)
{
    AppFolder app("Start.exe", "Program Files\\App");
    app.writeIni(settingsFor("kanne.test.Report"));
    RunOptions options;
    options.commandLine = app.exe() + " x";
    expectNoWindowAndExit(app.run(options), 0);
    EXPECT_EQ(reportValues(app, "arg"), std::vector<std::string>{"x"});
}

TEST_F(VmHosting, OptionsReachTheVmUnquotedAndRewritten)
{
    MEMORYSTATUSEX memory{};
    memory.dwLength = sizeof memory;
    GlobalMemoryStatusEx(&memory);
    auto expectedHeap = static_cast<long long>(static_cast<double>(memory.ullTotalPhys >> 10) * (25 * 0.01));

    AppFolder app;
    SetEnvironmentVariableA("KANNE_E2E_TITLE", "unexpanded");
    app.writeIni(settingsFor("kanne.test.Report",
                             "Virtual Machine Parameters=-Dtest.title=\"My %KANNE_E2E_TITLE% App\" -Xmx25p  -Xss1m\r\n"
                             "Library Path=native\r\n"));
    expectNoWindowAndExit(app.run(), 0);
    std::vector<std::string> options = reportValues(app, "option");
    auto has = [&](const std::string& option) {
        return std::find(options.begin(), options.end(), option) != options.end();
    };
    EXPECT_TRUE(has("-Dtest.title=My %KANNE_E2E_TITLE% App")) << ::testing::PrintToString(options);
    EXPECT_TRUE(has("-Xmx" + std::to_string(expectedHeap) + "K")) << ::testing::PrintToString(options);
    EXPECT_TRUE(has("-Xss1m")) << ::testing::PrintToString(options);
    std::vector<std::string> libraryPath = reportValues(app, "library.path");
    ASSERT_EQ(libraryPath.size(), 1u);
    EXPECT_NE(libraryPath[0].find("native"), std::string::npos) << libraryPath[0];
    EXPECT_EQ(libraryPath[0].find("::"), std::string::npos) << "no empty entry: " << libraryPath[0];
    EXPECT_EQ(reportValues(app, "title"), std::vector<std::string>{"My %KANNE_E2E_TITLE% App"});
}

TEST_F(VmHosting, EveryFailureAfterDiscoveryShowsItsBox)
{
    // Runtime homes whose server library is one of our fixtures.
    auto fixtureHome = [](const std::string& folder, const char* library, bool withDependency) {
        std::string home = folder + "runtime\\";
        CreateDirectoryA(home.c_str(), nullptr);
        CreateDirectoryA((home + "bin").c_str(), nullptr);
        CreateDirectoryA((home + "bin\\server").c_str(), nullptr);
        if (library)
            CopyFileA((toolPaths().build + "\\" + library).c_str(), (home + "bin\\server\\jvm.dll").c_str(), FALSE);
        else
            test::writeFile(home + "bin\\server\\jvm.dll", "this is not a library");
        if (withDependency)
            CopyFileA((toolPaths().build + "\\kannedep.dll").c_str(), (home + "bin\\kannedep.dll").c_str(), FALSE);
        return home;
    };
    const std::string createFailed = "JNI exception: Erzeugung der Java VM fehlgeschlagen.\n";

    struct Case {
        const char* name;
        std::string mainClass;
        std::string more;
        const char* library; // fixture library as the runtime's jvm.dll; nullptr: the test runtime
        bool fixture;
        std::string box;     // "%home%" stands for the fixture home
    };
    const Case cases[] = {
        {"unrecognised option", "kanne.test.Report", "Virtual Machine Parameters=-Xkanne-bogus\r\n", nullptr, false,
         createFailed},
        {"main class missing", "kanne.test.Missing", "", nullptr, false, "Main Class kanne/test/Missing.\n nicht gefunden"},
        {"library is not a DLL", "kanne.test.Report", "", nullptr, true,
         "Laden der Java VM Bibliothek: %home%bin\\server\\jvm.dll (errno = 193).\n fehlgeschlagen"},
        {"library of the other bitness", "kanne.test.Report", "", "other_bitness_jvm.dll", true,
         "Laden der Java VM Bibliothek: %home%bin\\server\\jvm.dll (errno = 193).\n fehlgeschlagen"},
        {"library without the JNI exports", "kanne.test.Report", "", "no_exports_jvm.dll", true,
         "Windows exception: CreateJavaVM JNI nicht gefunden (errno = 127).\n"},
        {"dependency found in the runtime's bin folder", "kanne.test.Report", "", "dependent_jvm.dll", true,
         createFailed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AppFolder app;
        std::string home = c.fixture ? fixtureHome(app.folder(), c.library, true) : toolPaths().runtimeHome;
        app.writeIni(settingsFor(c.mainClass, c.more, home));
        std::string box = c.box;
        if (std::size_t at = box.find("%home%"); at != std::string::npos)
            box.replace(at, 6, home);
        Outcome run = app.run();
        ASSERT_EQ(run.windows.size(), 1u) << run.report;
        EXPECT_EQ(run.windows[0].boxText, box) << run.report;
        EXPECT_EQ(run.windows[0].boxIcon, "error") << run.report;
        EXPECT_EQ(run.exitCode, -1) << run.report;
    }
}

TEST_F(VmHosting, FailuresInsideJavaAreDescribedWithoutABox)
{
    struct Case {
        const char* mainClass;
        const char* described;
    };
    const Case cases[] = {
        {"kanne.test.NoMain", "java.lang.NoSuchMethodError"},
        {"kanne.test.Throws", "java.lang.IllegalStateException: thrown out of main"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mainClass);
        AppFolder app;
        app.writeIni(settingsFor(c.mainClass, "[Application]\r\nError File=err.txt\r\n"));
        expectNoWindowAndExit(app.run(), -1);
        EXPECT_NE(fileText(app, "err.txt").find(c.described), std::string::npos) << fileText(app, "err.txt");
    }
}

TEST_F(VmHosting, ProcessLivesUntilTheApplicationsThreadsEnd)
{
    AppFolder app;
    app.writeIni(settingsFor("kanne.test.Lingers"));
    expectNoWindowAndExit(app.run(), 0);
    EXPECT_EQ(fileText(app, "main-returned.txt"), "yes");
    EXPECT_EQ(fileText(app, "lingered.txt"), "done");
}

TEST_F(VmHosting, SystemExitCodeBecomesTheProcessExitCode)
{
    AppFolder app;
    app.writeIni(settingsFor("kanne.test.Exits"));
    expectNoWindowAndExit(app.run(), 3);
}

TEST_F(VmHosting, StandardStreamsGoToTheirFiles)
{
    AppFolder app;
    app.writeIni(settingsFor("kanne.test.Report", "[Application]\r\nOutput File=out.txt\r\nError File=err.txt\r\n"));
    expectNoWindowAndExit(app.run(), 0);
    EXPECT_EQ(fileText(app, "out.txt"), "to standard output\n");
    EXPECT_EQ(fileText(app, "err.txt"), "to standard error\n");

    // A file that cannot be created leaves the stream as it was; the launch goes on.
    AppFolder missing;
    missing.writeIni(settingsFor("kanne.test.Report", "[Application]\r\nOutput File=no-such-folder/out.txt\r\n"));
    expectNoWindowAndExit(missing.run(), 0);
    EXPECT_EQ(reportValues(missing, "argc"), std::vector<std::string>{"0"});
}

TEST_F(VmHosting, NonAsciiMainClassIsFound)
{
    AppFolder app;
    app.writeIni(settingsFor("kanne.test.Gr\xFC\xDF" "e"));
    expectNoWindowAndExit(app.run(), 0);
    EXPECT_EQ(fileText(app, "gruesse.txt"), "found");
}

} // namespace kanne::e2e
