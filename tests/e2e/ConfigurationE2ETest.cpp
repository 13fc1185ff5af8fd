// The launcher's answer to each kind of configuration, seen from outside:
// the boxes it shows (exact texts, icon, owner) and its exit code.
#include "e2e/Harness.h"
#include "support/TestText.h"

#include <gtest/gtest.h>

namespace kanne::e2e {

namespace {
const char* const classPathMissing = "Java Class Pfad in der INI-Datei nicht spezifiziert.";
const char* const mainClassMissing = "Main Class war in der INI-Datei nicht spezifiziert.";
const char* const runtimeDialogCaption = "JRE nicht gefunden";

void expectOneErrorBox(const Outcome& run, const std::string& text)
{
    ASSERT_FALSE(run.timedOut) << run.report;
    ASSERT_EQ(run.windows.size(), 1u) << run.report;
    const Window& box = run.windows[0];
    EXPECT_TRUE(box.isBox) << run.report;
    EXPECT_EQ(box.boxText, text) << run.report;
    EXPECT_EQ(box.boxIcon, "error") << run.report;
    EXPECT_EQ(box.owner, "0x0") << run.report;
    if (runningUnderWine()) {
        EXPECT_EQ(box.caption, "Error") << run.report; // the system's caption for boxes without one
    }
    EXPECT_EQ(run.exitCode, -1) << run.report;
}

// Bad input may end in a box of a missing key or in a launch that goes on to
// runtime discovery; never in a crash, a hang or any other box.
void expectDefinedOutcome(const Outcome& run)
{
    ASSERT_TRUE(run.started) << run.report;
    EXPECT_FALSE(run.timedOut) << run.report;
    EXPECT_EQ(run.exitCode, -1) << run.report;
    ASSERT_LE(run.windows.size(), 1u) << run.report;
    if (!run.windows.empty()) {
        EXPECT_TRUE(run.windows[0].boxText == classPathMissing || run.windows[0].boxText == mainClassMissing ||
                    run.windows[0].caption == runtimeDialogCaption)
            << run.report;
    }
}

void expectSilentFailure(const Outcome& run)
{
    ASSERT_TRUE(run.started) << run.report;
    EXPECT_FALSE(run.timedOut) << run.report;
    EXPECT_TRUE(run.windows.empty()) << run.report;
    EXPECT_EQ(run.exitCode, -1) << run.report;
}

// No runtime is registered in the test prefix: a launch that gets as far as
// runtime discovery asks for a runtime folder, and the test declines.
RunOptions decliningTheRuntimeDialog()
{
    RunOptions options;
    options.steps = {"caption=JRE%20nicht%20gefunden again=1 do=press:2"};
    return options;
}

void expectDeclinedRuntimeDialog(const Outcome& run)
{
    ASSERT_TRUE(run.started) << run.report;
    EXPECT_FALSE(run.timedOut) << run.report;
    ASSERT_EQ(run.windows.size(), 1u) << run.report;
    EXPECT_EQ(run.windows[0].caption, runtimeDialogCaption) << run.report;
    EXPECT_FALSE(run.windows[0].isBox) << run.report;
    EXPECT_EQ(run.exitCode, -1) << run.report;
}
} // namespace

struct IniCase {
    const char* name;
    std::string content; // empty: no INI file at all
    const char* box;     // nullptr: no box
};

TEST(Configuration, EachSettingsFileEndsInItsDefinedOutcome)
{
    const IniCase cases[] = {
        {"missing file", "", classPathMissing},
        {"class path in the wrong section",
         "[Java Runtime Environment]\r\nClass Path=app.jar\r\nMain Class=demo.Main\r\n", classPathMissing},
        {"main class missing", "[Class Path]\r\nClass Path=app.jar\r\n", mainClassMissing},
        {"both missing", "[Application]\r\nOutput File=x\r\n", classPathMissing},
        {"complete settings: no runtime can be found yet", completeSettings, nullptr},
        {"keywords in the wrong case fall back",
         std::string(completeSettings) + "JVM Type=Server\r\nJVM Source=Only_JDK\r\nMinimum Version=Any\r\n"
                                         "[Application]\r\nSingle Instance=Yes\r\n",
         nullptr},
        {"quoted values", "[Class Path]\r\nClass Path=\"app.jar\"\r\n[Java Runtime Environment]\r\nMain Class=\"\"\r\n",
         mainClassMissing},
    };
    for (const IniCase& c : cases) {
        SCOPED_TRACE(c.name);
        AppFolder app;
        if (!c.content.empty())
            app.writeIni(c.content);
        Outcome run = app.run(decliningTheRuntimeDialog());
        if (c.box)
            expectOneErrorBox(run, c.box);
        else
            expectDeclinedRuntimeDialog(run);
    }
}

TEST(Configuration, BadInputEndsInABoxOrACleanLaunch)
{
    std::string garbage;
    unsigned seed = 12345;
    for (int i = 0; i < 200000; ++i) {
        seed = seed * 1103515245u + 12345u;
        garbage += static_cast<char>(seed >> 16);
    }
    std::string utf16 = "\xFF\xFE";
    for (char c : std::string(completeSettings))
        utf16 += std::string(1, c) + '\0';
    std::string longLines = "[Class Path]\r\nClass Path=" + std::string(300000, 'x') + ".jar\r\n" +
                            std::string(200000, '[') + "\r\n[Java Runtime Environment]\r\nMain Class=" +
                            std::string(100000, 'M') + "\r\n";
    std::string nulBytes = std::string("[Class Path]\r\nClass Path=a\0b.jar\r\n", 32) +
                           "[Java Runtime Environment]\r\nMain Class=demo.Main\r\n";

    const IniCase cases[] = {
        {"binary garbage", garbage, classPathMissing},
        {"UTF-16 file with complete settings", utf16, nullptr},
        {"very long lines", longLines, nullptr},
        {"NUL bytes in a value", nulBytes, nullptr},
    };
    for (const IniCase& c : cases) {
        SCOPED_TRACE(c.name);
        AppFolder app;
        app.writeIni(c.content);
        expectDefinedOutcome(app.run(decliningTheRuntimeDialog()));
        std::string after;
        ASSERT_TRUE(test::readFile(app.iniPath(), after));
        EXPECT_TRUE(after == c.content) << "the configuration file was changed";
    }
}

TEST(Configuration, OnlyTheFileNamesDotCounts)
{
    // "start" has no extension: its configuration file cannot be named, and
    // the launch fails without reading my.ini from the parent folder.
    AppFolder app("start", "my.apps");
    test::writeFile(app.folder() + "..\\my.ini", "[Class Path]\r\nClass Path=decoy.jar\r\n");
    expectSilentFailure(app.run());

    AppFolder dotted("start.exe", "my.apps");
    dotted.writeIni("[Class Path]\r\nClass Path=app.jar\r\n");
    expectOneErrorBox(dotted.run(), mainClassMissing);
}

TEST(Configuration, ExecutablePathsFillingTheClassicBufferAreNotCut)
{
    // 259 characters fill a 260-character buffer exactly: the launcher must
    // read the path again with more room rather than take it as complete.
    // (Wine cannot start programs from longer paths; the unit tests cover them.)
    AppFolder probe;
    std::size_t rootLength = probe.folder().size();
    std::string nested(259 - rootLength - std::string("\\app.exe").size(), 'n');
    AppFolder app("app.exe", nested);
    ASSERT_EQ(app.exe().size(), 259u);
    app.writeIni("[Class Path]\r\nClass Path=app.jar\r\n");
    expectOneErrorBox(app.run(), mainClassMissing);
}

} // namespace kanne::e2e
