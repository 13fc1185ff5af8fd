#pragma once
// Every text the user sees comes from the executable's string table. A failure
// is told in one modal error box at the place where it is detected.
#include <windows.h>
#include <initializer_list>
#include <string>
#include <string_view>

namespace kanne {

enum class TextId : unsigned {
    WindowsException = 202,        // "Windows exception: %s (errno = %d).\n"
    JniException = 203,            // "JNI exception: %s.\n"
    ComError = 204,                // "COM error: %s (errno = %d).\n"
    RuntimeNotFoundServer = 206,
    RuntimeNotFound = 207,
    ModulePathUnavailable = 208,
    ClassPathMissing = 209,
    MainClassMissing = 210,
    MainClassNotLoadable = 211,
    CreateJavaVmMissing = 212,
    VmCreationFailed = 213,
    BrowseForRuntimeTitle = 214,
    MainClassNotFound = 215,
    MainMethodNotFound = 216,
    NewestVersion = 217,
    MaximumVersion = 218,
    MinimumVersion = 219,
    VersionRequired = 220,
    VersionBetween = 221,
    JvmLibraryNotLoadable = 222,
    InitializationFailed = 223,
    ModuleInitializationFailed = 224,
};

// One %s or %d argument of a format.
struct FormatArg {
    FormatArg(std::string_view s) : text(s), isNumber(false) {}
    FormatArg(const std::string& s) : text(s), isNumber(false) {}
    FormatArg(const char* s) : text(s ? s : ""), isNumber(false) {}
    FormatArg(int n) : number(n), isNumber(true) {}
    FormatArg(unsigned long n) : number(static_cast<int>(n)), isNumber(true) {}
    FormatArg(long n) : number(static_cast<int>(n)), isNumber(true) {}

    std::string_view text;
    int number = 0;
    bool isNumber;
};

// The string-table text with that number, of any length ("" when missing).
std::string loadText(TextId id);

// Fills %s (an 8-bit string) and %d (a signed 32-bit decimal) in order, "%%"
// gives "%"; any other % sequence is kept as written. No length limit.
// A placeholder without an argument stays empty (%s) or 0 (%d).
std::string formatText(std::string_view format, std::initializer_list<FormatArg> args);
std::string formatText(TextId format, std::initializer_list<FormatArg> args);

int showMessageBox(HWND owner, const std::string& text, const char* caption, UINT style);

// Tests put a recorder in the place of the system's message box.
using MessageBoxFunction = int(WINAPI*)(HWND owner, const char* text, const char* caption, UINT style);
void replaceMessageBox(MessageBoxFunction function);

// Shows `text` in an error box with no caption of its own.
void showError(HWND owner, const std::string& text);
void showError(HWND owner, TextId text);
void showError(HWND owner, TextId format, std::initializer_list<FormatArg> args);

} // namespace kanne
