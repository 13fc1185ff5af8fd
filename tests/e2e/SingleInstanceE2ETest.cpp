// Single-instance mode with real processes, the real shared block and a real
// VM: later starts hand their arguments over and none are lost.
#include "e2e/Harness.h"
#include "instance/InstanceBlock.h"
#include "support/TestText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <sstream>

namespace kanne::e2e {

namespace {

std::string instanceSettings(const std::string& mainClass, const std::string& runtime = toolPaths().runtimeHome)
{
    return "[Application]\r\nSingle Instance=yes\r\nError File=err.txt\r\n[Class Path]\r\nClass Path=" +
           toolPaths().javaApps + "\r\n[Java Runtime Environment]\r\nMain Class=" + mainClass +
           "\r\nJRE Path=" + runtime + "\r\n";
}

bool waitForFile(const std::string& path, DWORD timeoutMs = 30000)
{
    for (DWORD waited = 0; waited < timeoutMs; waited += 20) {
        if (test::fileExists(path))
            return true;
        Sleep(20);
    }
    return false;
}

std::vector<std::string> linesOf(const std::string& path)
{
    std::string text;
    test::readFile(path, text);
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);)
        lines.push_back(line);
    return lines;
}

// A first instance of kanne.test.Instance (or `mainClass`) running in `app`.
class FirstInstance {
public:
    FirstInstance(const AppFolder& app, const std::string& mainClass = "kanne.test.Instance")
        : app_(app), program_(app.exe(), [] {
              RunOptions options;
              options.timeoutSeconds = 90;
              return options;
          }())
    {
        (void)mainClass;
        started_ = waitForFile(app.folder() + "main-started.txt");
    }
    bool started() const { return started_; }
    Outcome stop()
    {
        test::writeFile(app_.folder() + "stop.txt", "stop");
        return program_.finish();
    }

private:
    const AppFolder& app_;
    StartedProgram program_;
    bool started_ = false;
};

int laterStart(const AppFolder& app, const std::string& tail)
{
    return finishDirect(startDirect("\"" + app.exe() + "\"" + tail, app.folder()));
}

class SingleInstance : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (toolPaths().runtimeHome.empty())
            GTEST_SKIP() << "the test Java runtime was not built";
    }
};

} // namespace

TEST_F(SingleInstance, LaterStartsHandTheirArgumentsOverAsTheEncodingAllows)
{
    AppFolder app;
    app.writeIni(instanceSettings("kanne.test.Instance"));
    FirstInstance first(app);
    ASSERT_TRUE(first.started());

    struct Case {
        std::string tail;
        int exitCode;
        const char* delivered; // nullptr: nothing
    };
    const Case cases[] = {
        {" a \"b c\" \xE4rger", 0, "3:[a][b c][\xC3\xA4rger]"},
        {"", 0, "1:[]"},
        {" a \"\" b", 0, "1:[a]"},
        {" \"\" b", 0, "2:[][b]"},
        {" " + std::string(1038, 'x'), 0, nullptr},
        {" " + std::string(1039, 'y'), -1, nullptr},
    };
    std::vector<std::string> expected;
    for (const Case& c : cases) {
        EXPECT_EQ(laterStart(app, c.tail), c.exitCode) << c.tail.substr(0, 40);
        if (c.exitCode == 0)
            expected.push_back(c.delivered ? c.delivered : "1:[" + std::string(1038, 'x') + "]");
    }
    Sleep(500); // the last delivery runs on its own thread
    Outcome run = first.stop();
    EXPECT_EQ(run.exitCode, 0) << run.report;
    EXPECT_TRUE(run.windows.empty()) << run.report;
    EXPECT_EQ(linesOf(app.folder() + "secondary.txt"), expected);
    EXPECT_FALSE(test::fileExists(app.folder() + "err.txt") && !linesOf(app.folder() + "err.txt").empty());
}

TEST_F(SingleInstance, ABurstOfLaterStartsLosesNothing)
{
    AppFolder app;
    app.writeIni(instanceSettings("kanne.test.Instance"));
    FirstInstance first(app);
    ASSERT_TRUE(first.started());

    // Created suspended and then let go together, so their hand-overs overlap.
    constexpr int starts = 50;
    std::vector<HANDLE> processes, threads(starts);
    for (int i = 0; i < starts; ++i)
        processes.push_back(startDirect("\"" + app.exe() + "\" start-" + std::to_string(i) + " \"second " +
                                            std::to_string(i) + "\" third",
                                        app.folder(), &threads[static_cast<std::size_t>(i)]));
    for (HANDLE thread : threads) {
        ResumeThread(thread);
        CloseHandle(thread);
    }
    int succeeded = 0;
    for (HANDLE process : processes)
        succeeded += finishDirect(process, 60000) == 0;
    EXPECT_EQ(succeeded, starts);

    for (int waited = 0; waited < 5000 && linesOf(app.folder() + "secondary.txt").size() < starts; waited += 50)
        Sleep(50);
    Outcome run = first.stop();
    EXPECT_EQ(run.exitCode, 0) << run.report;
    std::vector<std::string> lines = linesOf(app.folder() + "secondary.txt");
    std::set<std::string> distinct(lines.begin(), lines.end());
    EXPECT_EQ(lines.size(), static_cast<std::size_t>(starts));
    EXPECT_EQ(distinct.size(), static_cast<std::size_t>(starts));
    for (int i = 0; i < starts; ++i) {
        std::string line = "3:[start-" + std::to_string(i) + "][second " + std::to_string(i) + "][third]";
        EXPECT_TRUE(distinct.count(line)) << line;
    }
}

TEST_F(SingleInstance, StartsBeforeTheVmExistsAreHeldAndDeliveredInOrder)
{
    AppFolder app;
    // A runtime whose VM creation waits until the test releases it.
    std::string home = app.folder() + "gated\\";
    CreateDirectoryA(home.c_str(), nullptr);
    CreateDirectoryA((home + "bin").c_str(), nullptr);
    CreateDirectoryA((home + "bin\\server").c_str(), nullptr);
    CopyFileA((toolPaths().build + "\\gated_jvm.dll").c_str(), (home + "bin\\server\\jvm.dll").c_str(), FALSE);
    test::writeFile(home + "bin\\server\\gated-target.txt", toolPaths().runtimeHome + "\\bin\\server\\jvm.dll");
    app.writeIni(instanceSettings("kanne.test.Instance", home));

    StartedProgram program(app.exe(), RunOptions{});
    ASSERT_TRUE(waitForFile(app.folder() + "vm-creating.txt"));
    EXPECT_EQ(laterStart(app, " held-1"), 0);
    EXPECT_EQ(laterStart(app, " held-2 x"), 0);
    EXPECT_EQ(laterStart(app, " held-3"), 0);
    EXPECT_FALSE(test::fileExists(app.folder() + "main-started.txt"));
    test::writeFile(app.folder() + "vm-release.txt", "go");
    ASSERT_TRUE(waitForFile(app.folder() + "main-started.txt"));
    for (int waited = 0; waited < 5000 && linesOf(app.folder() + "secondary.txt").size() < 3; waited += 50)
        Sleep(50);
    test::writeFile(app.folder() + "stop.txt", "stop");
    Outcome run = program.finish();
    EXPECT_EQ(run.exitCode, 0) << run.report;
    EXPECT_EQ(linesOf(app.folder() + "secondary.txt"),
              (std::vector<std::string>{"1:[held-1]", "2:[held-2][x]", "1:[held-3]"}));
}

TEST_F(SingleInstance, MissingSecondaryMainIsDescribedAndTheFirstInstanceGoesOn)
{
    AppFolder app;
    app.writeIni(instanceSettings("kanne.test.NoSecondary"));
    FirstInstance first(app);
    ASSERT_TRUE(first.started());
    EXPECT_EQ(laterStart(app, " x"), 0);
    bool described = false;
    for (int waited = 0; waited < 5000 && !described; waited += 50) {
        std::string errors;
        test::readFile(app.folder() + "err.txt", errors);
        described = errors.find("java.lang.NoSuchMethodError") != std::string::npos;
        Sleep(50);
    }
    EXPECT_TRUE(described);
    Outcome run = first.stop();
    EXPECT_EQ(run.exitCode, 0) << run.report;
}

TEST_F(SingleInstance, AStartAfterTheApplicationEndedBecomesTheFirstInstance)
{
    AppFolder app;
    app.writeIni(instanceSettings("kanne.test.Instance"));
    test::writeFile(app.folder() + "stop.txt", "main returns at once");
    for (const char* argument : {"one", "two"}) {
        DeleteFileA((app.folder() + "main-started.txt").c_str());
        EXPECT_EQ(laterStart(app, std::string(" ") + argument), 0);
        std::string started;
        test::readFile(app.folder() + "main-started.txt", started);
        EXPECT_EQ(started, argument) << "the start ran the application itself";
    }
    EXPECT_FALSE(test::fileExists(app.folder() + "secondary.txt"));
}

TEST_F(SingleInstance, GarbageInTheBlockHarmsNothing)
{
    AppFolder app;
    app.writeIni(instanceSettings("kanne.test.Instance"));
    FirstInstance first(app);
    ASSERT_TRUE(first.started());

    // Another process of the same user overwrites the whole block and posts
    // the message itself.
    std::string name = app.exe();
    std::replace(name.begin(), name.end(), '\\', '_');
    HANDLE mapping = OpenFileMappingA(FILE_MAP_WRITE, FALSE, name.c_str());
    ASSERT_NE(mapping, nullptr);
    auto* block = static_cast<InstanceBlock*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0));
    ASSERT_NE(block, nullptr);
    DWORD listener = block->listenerThreadId;
    UINT message = block->messageId;
    unsigned seed = 99;
    auto* bytes = reinterpret_cast<unsigned char*>(block);
    for (std::size_t i = 0; i < sizeof(InstanceBlock); ++i) {
        seed = seed * 1103515245u + 12345u;
        bytes[i] = static_cast<unsigned char>((seed >> 16) | 1); // no zero byte anywhere
    }
    EXPECT_TRUE(PostThreadMessageA(listener, message, 0, 0));
    Sleep(500);
    UnmapViewOfFile(block);
    CloseHandle(mapping);

    EXPECT_EQ(laterStart(app, " after garbage"), 0);
    for (int waited = 0; waited < 5000 && linesOf(app.folder() + "secondary.txt").size() < 2; waited += 50)
        Sleep(50);
    Outcome run = first.stop();
    EXPECT_EQ(run.exitCode, 0) << run.report;
    std::vector<std::string> lines = linesOf(app.folder() + "secondary.txt");
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "2:[after][garbage]");
}

} // namespace kanne::e2e
