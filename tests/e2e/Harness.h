#pragma once
// Whole-process tests: a renamed copy of kanne.exe in a temporary folder with
// an INI fixture, started and watched by the uiauto tool.
#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace kanne::e2e {

struct ToolPaths {
    std::string kanne;          // kanne.exe of this build
    std::string uiauto;         // the UI-automation tool
    std::string otherArchKanne; // kanne.exe of the other target, if built
    std::string build;          // the build folder, holding the fixture libraries
    std::string javaApps;       // class folder of the Java test applications
    std::string runtimeHome;    // the test Java runtime, if built
};
const ToolPaths& toolPaths();
bool runningUnderWine();

struct Control {
    int id = 0;
    std::string className;
    std::string text;
    bool enabled = false;
    unsigned long style = 0;
};

struct Window {
    std::string hwnd;
    std::string className;
    std::string caption;
    std::string owner; // "0x0" when the window has no owner
    std::string ownerClass;
    unsigned long style = 0;
    unsigned long exStyle = 0;
    long x = 0, y = 0, width = 0, height = 0;
    bool isBox = false;
    std::string boxText;
    std::string boxIcon;
    std::vector<Control> controls;
};

struct Outcome {
    std::vector<Window> windows;
    bool timedOut = false;
    bool started = false;
    int exitCode = 0;
    std::string report; // the tool's whole report, for failure messages
};

struct RunOptions {
    std::string commandLine;        // exact bytes; empty: the quoted executable path
    std::string workingFolder;      // empty: the application's folder
    std::vector<std::string> steps; // uiauto --step specs
    double timeoutSeconds = 30;
};

// Starts `exe` through uiauto and collects what it reported.
Outcome runProgram(const std::string& exe, const RunOptions& options = {});

// A program started through uiauto that the test lets run while it does
// other things; `finish` waits for it and returns what was reported.
class StartedProgram {
public:
    StartedProgram(const std::string& exe, const RunOptions& options);
    ~StartedProgram();
    StartedProgram(const StartedProgram&) = delete;
    StartedProgram& operator=(const StartedProgram&) = delete;
    Outcome finish();

private:
    HANDLE tool_ = nullptr;
    std::string reportFolder_;
    double timeoutSeconds_;
};

// Starts `commandLine` directly (no window watching) in `folder`. With
// `firstThread`, the process is created suspended and its main thread handle
// returned there, for the test to resume it.
HANDLE startDirect(const std::string& commandLine, const std::string& folder, HANDLE* firstThread = nullptr);
// Waits for a process started with startDirect, closes it and returns its
// exit code, or 0xDEAD when it had to be killed after `timeoutMs`.
int finishDirect(HANDLE process, DWORD timeoutMs = 30000);

// A temporary folder with a copy of kanne.exe named `exeName`.
class AppFolder {
public:
    explicit AppFolder(std::string_view exeName = "app.exe", std::string_view subfolder = {});
    ~AppFolder();
    AppFolder(const AppFolder&) = delete;
    AppFolder& operator=(const AppFolder&) = delete;

    const std::string& folder() const { return folder_; }
    const std::string& exe() const { return exe_; }
    std::string iniPath() const;
    void writeIni(std::string_view content) const;
    Outcome run(const RunOptions& options = {}) const { return runProgram(exe_, options); }

private:
    std::string root_;
    std::string folder_;
    std::string exe_;
};

// The minimal settings for a launch that reaches runtime discovery.
inline constexpr const char* completeSettings = "[Class Path]\r\nClass Path=app.jar\r\n"
                                                "[Java Runtime Environment]\r\nMain Class=demo.Main\r\n";

} // namespace kanne::e2e
