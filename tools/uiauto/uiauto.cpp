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
//   "class=#32770 caption=Error do=press:1"
// Keys: class=, caption= (exact), with=CLASS (the window has a child control
// of that class), again=1 (a window already reported matches too: it is
// described and reported anew, once its controls have changed or after a
// second), do= (actions, run in order, separated by commas):
//   press:ID     post a button click        close    the caption's close button
//   escape       the Escape key             keep     nothing
//   click:ID     click the control's centre with the mouse
//   shot:FILE    picture of the window as on the screen (.bmp, or .png)
//   browse:PATH  in a folder browser: select PATH ("C:\a\b") and press OK
//   wait:MS      pause                       report   describe the window again
// Values may carry %XX escapes (%20 for a blank).
// Windows that no step claims are reported; message boxes among them are
// answered with their first button unless --keep-boxes is given.
//
// Report lines (text escaped: \\ \" \n \r \t \xNN; bytes >= 0x80 as they are):
//   window hwnd=0x.. class="..." caption="..." owner=0x.. ownerclass="..."
//          style=0x.. exstyle=0x.. x=.. y=.. width=.. height=.. classstyle=0x..
//   box text="..." icon=error|warning|information|question|none|unknown
//   control id=.. class="..." text="..." enabled=0|1 style=0x.. x=.. y=..
//          width=.. height=.. [icon=...]      (positions on the screen)
//   action hwnd=0x.. do=...
//   failed hwnd=0x.. do=... reason=...
//   seen hwnd=0x.. t=MS                       (after a new window's report)
//   gone hwnd=0x.. t=MS
//   timeout
//   exit code=-1 t=MS                         (t: milliseconds since the start)
#include "uiauto/FolderBrowser.h"
#include "uiauto/Screenshot.h"
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
    std::string childClass;
    bool again = false;
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

std::string percentDecoded(const std::string& text)
{
    std::string decoded;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            decoded += static_cast<char>(std::strtoul(text.substr(i + 1, 2).c_str(), nullptr, 16));
            i += 2;
        } else
            decoded += text[i];
    }
    return decoded;
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
        std::string key = item.substr(0, eq), value = percentDecoded(item.substr(eq + 1));
        if (key == "class")
            step.windowClass = value;
        else if (key == "caption")
            step.caption = value;
        else if (key == "with")
            step.childClass = value;
        else if (key == "again")
            step.again = value == "1";
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
    bool hasChild = step.childClass.empty();
    for (const uiauto::ControlInfo& control : info.controls)
        hasChild = hasChild || control.className == step.childClass;
    return (step.windowClass.empty() || step.windowClass == info.className) &&
           (step.caption.empty() || step.caption == info.caption) && hasChild;
}

DWORD startTick = 0;
DWORD elapsed() { return GetTickCount() - startTick; }

std::vector<std::string> actionsOf(const std::string& list)
{
    std::vector<std::string> actions;
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t end = list.find(',', start);
        if (end == std::string::npos)
            end = list.size();
        if (end > start)
            actions.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    return actions;
}

void failed(FILE* out, HWND window, const std::string& action, const std::string& reason)
{
    std::fprintf(out, "failed hwnd=%s do=%s reason=%s\n", uiauto::hex(window).c_str(), action.c_str(), reason.c_str());
}

void clickControl(HWND window, int id)
{
    RECT area;
    GetWindowRect(GetDlgItem(window, id), &area);
    SetForegroundWindow(window);
    SetCursorPos((area.left + area.right) / 2, (area.top + area.bottom) / 2);
    Sleep(100);
    INPUT clicks[2]{};
    clicks[0].type = clicks[1].type = INPUT_MOUSE;
    clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, clicks, sizeof clicks[0]);
}

void act(HWND window, const std::string& actions, const uiauto::WindowInfo& info, FILE* out)
{
    for (const std::string& action : actionsOf(actions)) {
        std::fprintf(out, "action hwnd=%s do=%s\n", uiauto::hex(window).c_str(), action.c_str());
        std::fflush(out);
        std::size_t colon = action.find(':');
        std::string verb = action.substr(0, colon);
        std::string argument = colon == std::string::npos ? std::string() : action.substr(colon + 1);
        if (verb == "press")
            uiauto::pressButton(window, std::atoi(argument.c_str()));
        else if (verb == "close")
            PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        else if (verb == "escape")
            uiauto::pressEscape(window);
        else if (verb == "first-button" && !info.buttons.empty())
            uiauto::pressButton(window, info.buttons.front());
        else if (verb == "click")
            clickControl(window, std::atoi(argument.c_str()));
        else if (verb == "wait")
            Sleep(static_cast<DWORD>(std::atoi(argument.c_str())));
        else if (verb == "shot") {
            RECT area;
            GetWindowRect(window, &area);
            if (!uiauto::savePicture(uiauto::captureScreen(area), argument))
                failed(out, window, action, "not-written");
        } else if (verb == "browse") {
            std::string problem;
            if (!uiauto::chooseFolder(window, argument, problem))
                failed(out, window, action, problem);
        } else if (verb == "report") {
            if (IsWindow(window))
                uiauto::writeWindow(out, window, uiauto::describeWindow(window));
            else
                failed(out, window, action, "gone");
        }
    }
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
    startTick = GetTickCount();

    std::vector<HWND> known;
    std::vector<std::pair<HWND, std::string>> reported; // the last report of each window
    auto lastReport = [&](HWND window) -> std::string& {
        for (auto& entry : reported)
            if (entry.first == window)
                return entry.second;
        reported.emplace_back(window, std::string());
        return reported.back().second;
    };
    std::size_t nextStep = 0;
    DWORD deadline = GetTickCount() + static_cast<DWORD>(options.timeoutSeconds * 1000);
    bool exited = false;
    for (;;) {
        exited = WaitForSingleObject(process.hProcess, 40) == WAIT_OBJECT_0;
        std::vector<HWND> current = uiauto::visibleTopLevelWindows(process.dwProcessId);
        for (HWND old : known)
            if (std::find(current.begin(), current.end(), old) == current.end())
                std::fprintf(out, "gone hwnd=%s t=%lu\n", uiauto::hex(old).c_str(), elapsed());
        for (HWND window : current) {
            if (std::find(known.begin(), known.end(), window) != known.end())
                continue;
            Sleep(150); // let the window finish painting before it is read
            uiauto::WindowInfo info = uiauto::describeWindow(window);
            std::string report = uiauto::formatWindow(window, info);
            std::fputs(report.c_str(), out);
            std::fprintf(out, "seen hwnd=%s t=%lu\n", uiauto::hex(window).c_str(), elapsed());
            lastReport(window) = report;
            if (nextStep < options.steps.size() && matches(options.steps[nextStep], info))
                act(window, options.steps[nextStep++].action, info, out);
            else if (info.isMessageBox && !options.keepBoxes)
                act(window, "first-button", info, out);
        }
        // A step for a window reported before: it acts once the window has
        // changed since (the result of an earlier action) or a second has passed.
        if (nextStep < options.steps.size() && options.steps[nextStep].again) {
            for (HWND window : current) {
                if (std::find(known.begin(), known.end(), window) == known.end() || !IsWindow(window))
                    continue;
                uiauto::WindowInfo info = uiauto::describeWindow(window);
                if (!matches(options.steps[nextStep], info))
                    continue;
                std::string& before = lastReport(window);
                std::string report = uiauto::formatWindow(window, info);
                auto describeAgain = [&] {
                    Sleep(100);
                    info = uiauto::describeWindow(window);
                    report = uiauto::formatWindow(window, info);
                };
                for (int turn = 0; turn < 10 && report == before; ++turn)
                    describeAgain();
                // A window in the middle of a change is read again until two readings agree.
                for (int turn = 0; turn < 10; ++turn) {
                    std::string previous = report;
                    describeAgain();
                    if (report == previous)
                        break;
                }
                std::fputs(report.c_str(), out);
                before = report;
                act(window, options.steps[nextStep++].action, info, out);
                break;
            }
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
    std::fprintf(out, "exit code=%d t=%lu\n", static_cast<int>(code), elapsed());
    if (out != stdout)
        std::fclose(out);
    return 0;
}
