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
    RECT rect{};      // on the screen
    std::string icon; // which system icon an icon control shows; "" for other controls
};

struct WindowInfo {
    std::string className;
    std::string caption;
    HWND owner = nullptr;
    std::string ownerClass;
    DWORD style = 0;
    DWORD exStyle = 0;
    DWORD classStyle = 0;
    RECT rect{};
    bool isMessageBox = false;
    std::string boxText;
    std::string boxIcon;
    std::vector<int> buttons; // ids of the push buttons, in child order
    std::vector<ControlInfo> controls;
};

std::vector<HWND> visibleTopLevelWindows(DWORD processId);
WindowInfo describeWindow(HWND window);
std::string formatWindow(HWND window, const WindowInfo& info);
void writeWindow(FILE* out, HWND window, const WindowInfo& info);

void pressButton(HWND dialog, int id);
void pressEscape(HWND dialog);

std::string hex(const void* handle);
std::string escape(const std::string& text);

} // namespace uiauto
