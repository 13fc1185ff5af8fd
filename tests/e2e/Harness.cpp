#include "e2e/Harness.h"
#include "support/TestText.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

namespace kanne::e2e {

namespace {
ToolPaths paths;

std::string hexOf(std::string_view bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char c : bytes) {
        hex += digits[c >> 4];
        hex += digits[c & 15];
    }
    return hex;
}

// Reads key=value and key="escaped text" fields of one report line.
std::string field(const std::string& line, const std::string& key)
{
    std::size_t pos = line.find(" " + key + "=");
    if (pos == std::string::npos)
        return {};
    pos += key.size() + 2;
    if (pos >= line.size() || line[pos] != '"') {
        std::size_t end = line.find(' ', pos);
        return line.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
    }
    std::string value;
    for (++pos; pos < line.size() && line[pos] != '"'; ++pos) {
        char c = line[pos];
        if (c != '\\' || pos + 1 >= line.size()) {
            value += c;
            continue;
        }
        char e = line[++pos];
        switch (e) {
        case 'n': value += '\n'; break;
        case 'r': value += '\r'; break;
        case 't': value += '\t'; break;
        case 'x':
            value += static_cast<char>(std::strtoul(line.substr(pos + 1, 2).c_str(), nullptr, 16));
            pos += 2;
            break;
        default: value += e;
        }
    }
    return value;
}

// The wide calls take long names; some 8-bit ones convert names through a
// buffer of 260 characters.
std::wstring wide(const std::string& text)
{
    std::wstring result(text.size(), L'\0');
    int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), result.data(),
                                     static_cast<int>(result.size()));
    result.resize(static_cast<std::size_t>(length));
    return result;
}

unsigned long number(const std::string& text) { return std::strtoul(text.c_str(), nullptr, 0); }

void parseReport(const std::string& report, Outcome& run)
{
    std::istringstream lines(report);
    std::string line;
    while (std::getline(lines, line)) {
        std::string kind = line.substr(0, line.find(' '));
        line = " " + line.substr(kind.size() < line.size() ? kind.size() + 1 : line.size());
        if (kind == "window") {
            Window w;
            w.hwnd = field(line, "hwnd");
            w.className = field(line, "class");
            w.caption = field(line, "caption");
            w.owner = field(line, "owner");
            w.ownerClass = field(line, "ownerclass");
            w.style = number(field(line, "style"));
            w.exStyle = number(field(line, "exstyle"));
            w.x = std::atol(field(line, "x").c_str());
            w.y = std::atol(field(line, "y").c_str());
            w.width = std::atol(field(line, "width").c_str());
            w.height = std::atol(field(line, "height").c_str());
            run.windows.push_back(w);
        } else if (kind == "box" && !run.windows.empty()) {
            run.windows.back().isBox = true;
            run.windows.back().boxText = field(line, "text");
            run.windows.back().boxIcon = field(line, "icon");
        } else if (kind == "control" && !run.windows.empty()) {
            Control c;
            c.id = std::atoi(field(line, "id").c_str());
            c.className = field(line, "class");
            c.text = field(line, "text");
            c.enabled = field(line, "enabled") == "1";
            c.style = number(field(line, "style"));
            run.windows.back().controls.push_back(c);
        } else if (kind == "timeout") {
            run.timedOut = true;
        } else if (kind == "exit") {
            run.started = true;
            run.exitCode = std::atoi(field(line, "code").c_str());
        }
    }
}
} // namespace

const ToolPaths& toolPaths() { return paths; }

bool runningUnderWine()
{
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

namespace {
std::string toolCommandLine(const std::string& exe, const RunOptions& options, const std::string& reportPath)
{
    // No trailing "\" before a closing quote: it would escape the quote.
    std::string folder = exe.substr(0, exe.find_last_of('\\'));
    std::string cwd = options.workingFolder.empty() ? folder : options.workingFolder;
    if (cwd.size() > 3 && cwd.back() == '\\')
        cwd.pop_back();
    std::string commandLine = "\"" + paths.uiauto + "\" --exe \"" + exe + "\" --report \"" + reportPath +
                              "\" --cwd \"" + cwd +
                              "\" --timeout " + std::to_string(static_cast<int>(options.timeoutSeconds));
    if (!options.commandLine.empty())
        commandLine += " --command-line-hex " + hexOf(options.commandLine);
    for (const std::string& step : options.steps)
        commandLine += " --step \"" + step + "\"";
    return commandLine;
}

HANDLE startProcess(std::string commandLine, const char* folder, HANDLE* firstThread = nullptr)
{
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    commandLine.push_back('\0');
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, firstThread ? CREATE_SUSPENDED : 0,
                        nullptr, folder, &startup, &process))
        return nullptr;
    if (firstThread)
        *firstThread = process.hThread;
    else
        CloseHandle(process.hThread);
    return process.hProcess;
}
} // namespace

StartedProgram::StartedProgram(const std::string& exe, const RunOptions& options)
    : reportFolder_(test::makeTempFolder("kanne-report")), timeoutSeconds_(options.timeoutSeconds)
{
    tool_ = startProcess(toolCommandLine(exe, options, reportFolder_ + "report.txt"), nullptr);
}

StartedProgram::~StartedProgram()
{
    finish();
    test::removeTree(reportFolder_);
}

Outcome StartedProgram::finish()
{
    Outcome run;
    if (tool_) {
        WaitForSingleObject(tool_, static_cast<DWORD>(timeoutSeconds_ * 1000) + 20000);
        CloseHandle(tool_);
        tool_ = nullptr;
    }
    test::readFile(reportFolder_ + "report.txt", run.report);
    parseReport(run.report, run);
    return run;
}

Outcome runProgram(const std::string& exe, const RunOptions& options)
{
    return StartedProgram(exe, options).finish();
}

HANDLE startDirect(const std::string& commandLine, const std::string& folder, HANDLE* firstThread)
{
    return startProcess(commandLine, folder.c_str(), firstThread);
}

int finishDirect(HANDLE process, DWORD timeoutMs)
{
    if (!process)
        return 0xDEAD;
    DWORD code = 0xDEAD;
    if (WaitForSingleObject(process, timeoutMs) != WAIT_OBJECT_0)
        TerminateProcess(process, 0xDEAD);
    else
        GetExitCodeProcess(process, &code);
    CloseHandle(process);
    return static_cast<int>(code);
}

AppFolder::AppFolder(std::string_view exeName, std::string_view subfolder)
{
    root_ = test::makeTempFolder("kanne-e2e");
    folder_ = root_;
    if (!subfolder.empty()) {
        // Create every level of a nested subfolder.
        std::string path = root_;
        std::string rest(subfolder);
        std::size_t pos = 0;
        while (pos <= rest.size()) {
            std::size_t end = rest.find('\\', pos);
            if (end == std::string::npos)
                end = rest.size();
            path += rest.substr(pos, end - pos) + "\\";
            CreateDirectoryW(wide("\\\\?\\" + path.substr(0, path.size() - 1)).c_str(), nullptr);
            pos = end + 1;
        }
        folder_ = path;
    }
    exe_ = folder_ + std::string(exeName);
    CopyFileW(wide(paths.kanne).c_str(), wide("\\\\?\\" + exe_).c_str(), FALSE);
}

AppFolder::~AppFolder() { test::removeTree(root_); }

std::string AppFolder::iniPath() const
{
    std::size_t dot = exe_.find_last_of('.');
    std::size_t slash = exe_.find_last_of('\\');
    return (dot != std::string::npos && dot > slash ? exe_.substr(0, dot) : exe_) + ".ini";
}

void AppFolder::writeIni(std::string_view content) const
{
    HANDLE file = CreateFileW(wide("\\\\?\\" + iniPath()).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    CloseHandle(file);
}

} // namespace kanne::e2e

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string option = argv[i];
        if (option == "--kanne")
            kanne::e2e::paths.kanne = argv[i + 1];
        else if (option == "--uiauto")
            kanne::e2e::paths.uiauto = argv[i + 1];
        else if (option == "--other-arch-kanne")
            kanne::e2e::paths.otherArchKanne = argv[i + 1];
        else if (option == "--build")
            kanne::e2e::paths.build = argv[i + 1];
        else if (option == "--java-apps")
            kanne::e2e::paths.javaApps = argv[i + 1];
        else if (option == "--runtime-home")
            kanne::e2e::paths.runtimeHome = argv[i + 1];
    }
    if (kanne::e2e::paths.kanne.empty() || kanne::e2e::paths.uiauto.empty()) {
        std::fprintf(stderr, "usage: kanne_e2e_tests --kanne PATH --uiauto PATH [--other-arch-kanne PATH]\n");
        return 2;
    }
    return RUN_ALL_TESTS();
}
