// uiauto: starts a process, watches its top-level windows, reports each one
// (class, caption, owner, styles; a message box's text and icon; a dialog's
// controls) and dismisses boxes and dialogs as told; finally reports the
// exit code as a signed 32-bit number.
//
//   uiauto.exe --exe PATH [--command-line-hex HEX] [--cwd DIR] [--timeout S]
//              [--report FILE] [--step SPEC]... [--keep-boxes]
//
// Without --command-line-hex the command line is the quoted executable path;
// the hex form passes any bytes exactly (tabs, quotes, code-page text).
// A step waits for the next new window that matches it and acts on it:
//   "class=#32770 caption=Error do=press:1"  do = press:ID | close | escape | keep
// Windows that no step claims are reported; message boxes among them are
// answered with their first button unless --keep-boxes is given.
//
// Report lines (text escaped: \\ \" \n \r \t \xNN; bytes >= 0x80 as they are):
//   window hwnd=0x.. class="..." caption="..." owner=0x.. ownerclass="..."
//          style=0x.. exstyle=0x.. x=.. y=.. width=.. height=..
//   box text="..." icon=error|warning|information|question|none|unknown
//   control id=.. class="..." text="..." enabled=0|1 style=0x..
//   action hwnd=0x.. do=...
//   gone hwnd=0x..
//   timeout
//   exit code=-1
#include "uiauto/WindowReport.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Step {
    std::string windowClass;
    std::string caption;
    std::string action = "keep";
};

struct Options {
    std::string exe;
    std::string commandLine;
    std::string cwd;
    std::string reportPath;
    double timeoutSeconds = 30;
    bool keepBoxes = false;
    std::vector<Step> steps;
};

std::string fromHex(const std::string& hex)
{
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes += static_cast<char>(std::strtoul(hex.substr(i, 2).c_str(), nullptr, 16));
    return bytes;
}

std::wstring wide(const std::string& text)
{
    std::wstring result(text.size(), L'\0');
    int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), result.data(),
                                     static_cast<int>(result.size()));
    result.resize(static_cast<std::size_t>(length));
    return result;
}

bool parseStep(const std::string& spec, Step& step)
{
    std::size_t pos = 0;
    while (pos < spec.size()) {
        std::size_t end = spec.find(' ', pos);
        if (end == std::string::npos)
            end = spec.size();
        std::string item = spec.substr(pos, end - pos);
        pos = end + 1;
        if (item.empty())
            continue;
        std::size_t eq = item.find('=');
        if (eq == std::string::npos)
            return false;
        std::string key = item.substr(0, eq), value = item.substr(eq + 1);
        if (key == "class")
            step.windowClass = value;
        else if (key == "caption")
            step.caption = value;
        else if (key == "do")
            step.action = value;
        else
            return false;
    }
    return true;
}

bool parseOptions(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&]() -> std::string { return i + 1 < argc ? argv[++i] : ""; };
        if (arg == "--exe")
            options.exe = value();
        else if (arg == "--command-line-hex")
            options.commandLine = fromHex(value());
        else if (arg == "--cwd")
            options.cwd = value();
        else if (arg == "--report")
            options.reportPath = value();
        else if (arg == "--timeout")
            options.timeoutSeconds = std::atof(value().c_str());
        else if (arg == "--keep-boxes")
            options.keepBoxes = true;
        else if (arg == "--step") {
            Step step;
            if (!parseStep(value(), step))
                return false;
            options.steps.push_back(step);
        } else
            return false;
    }
    if (options.commandLine.empty())
        options.commandLine = "\"" + options.exe + "\"";
    return !options.exe.empty();
}

bool matches(const Step& step, const uiauto::WindowInfo& info)
{
    return (step.windowClass.empty() || step.windowClass == info.className) &&
           (step.caption.empty() || step.caption == info.caption);
}

void act(HWND window, const std::string& action, const uiauto::WindowInfo& info, FILE* out)
{
    std::fprintf(out, "action hwnd=%s do=%s\n", uiauto::hex(window).c_str(), action.c_str());
    std::fflush(out);
    if (action.rfind("press:", 0) == 0)
        uiauto::pressButton(window, std::atoi(action.c_str() + 6));
    else if (action == "close")
        PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    else if (action == "escape")
        uiauto::pressEscape(window);
    else if (action == "first-button" && !info.buttons.empty())
        uiauto::pressButton(window, info.buttons.front());
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!parseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: uiauto --exe PATH [--command-line-hex HEX] [--cwd DIR] "
                             "[--timeout S] [--report FILE] [--step SPEC]... [--keep-boxes]\n");
        return 2;
    }
    FILE* out = stdout;
    if (!options.reportPath.empty() && !(out = std::fopen(options.reportPath.c_str(), "wb"))) {
        std::fprintf(stderr, "uiauto: cannot write %s\n", options.reportPath.c_str());
        return 2;
    }

    // The wide call: it takes executable paths beyond 260 characters.
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::wstring exe = wide(options.exe), cwd = wide(options.cwd);
    std::wstring commandLine = wide(options.commandLine);
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        cwd.empty() ? nullptr : cwd.c_str(), &startup, &process)) {
        std::fprintf(out, "start-failed error=%lu\n", GetLastError());
        return 3;
    }
    CloseHandle(process.hThread);

    std::vector<HWND> known;
    std::size_t nextStep = 0;
    DWORD deadline = GetTickCount() + static_cast<DWORD>(options.timeoutSeconds * 1000);
    bool exited = false;
    for (;;) {
        exited = WaitForSingleObject(process.hProcess, 40) == WAIT_OBJECT_0;
        std::vector<HWND> current = uiauto::visibleTopLevelWindows(process.dwProcessId);
        for (HWND old : known)
            if (std::find(current.begin(), current.end(), old) == current.end())
                std::fprintf(out, "gone hwnd=%s\n", uiauto::hex(old).c_str());
        for (HWND window : current) {
            if (std::find(known.begin(), known.end(), window) != known.end())
                continue;
            Sleep(150); // let the window finish painting before it is read
            uiauto::WindowInfo info = uiauto::describeWindow(window);
            uiauto::writeWindow(out, window, info);
            if (nextStep < options.steps.size() && matches(options.steps[nextStep], info))
                act(window, options.steps[nextStep++].action, info, out);
            else if (info.isMessageBox && !options.keepBoxes)
                act(window, "first-button", info, out);
        }
        known = current;
        std::fflush(out);
        if (exited)
            break;
        if (static_cast<int>(GetTickCount() - deadline) > 0) {
            std::fprintf(out, "timeout\n");
            TerminateProcess(process.hProcess, 0xDEAD);
            WaitForSingleObject(process.hProcess, 5000);
            break;
        }
    }
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    std::fprintf(out, "exit code=%d\n", static_cast<int>(code));
    if (out != stdout)
        std::fclose(out);
    return 0;
}
