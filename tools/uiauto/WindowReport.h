#pragma once
// Reading and driving another process's windows.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace uiauto {

struct ControlInfo {
    int id = 0;
    std::string className;
    std::string text;
    bool enabled = false;
    DWORD style = 0;
};

struct WindowInfo {
    std::string className;
    std::string caption;
    HWND owner = nullptr;
    std::string ownerClass;
    DWORD style = 0;
    DWORD exStyle = 0;
    RECT rect{};
    bool isMessageBox = false;
    std::string boxText;
    std::string boxIcon;
    std::vector<int> buttons; // ids of the push buttons, in child order
    std::vector<ControlInfo> controls;
};

std::vector<HWND> visibleTopLevelWindows(DWORD processId);
WindowInfo describeWindow(HWND window);
void writeWindow(FILE* out, HWND window, const WindowInfo& info);

void pressButton(HWND dialog, int id);
void pressEscape(HWND dialog);

std::string hex(const void* handle);
std::string escape(const std::string& text);

} // namespace uiauto
