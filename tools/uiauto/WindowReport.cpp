#include "uiauto/WindowReport.h"

#include <cstdlib>

namespace uiauto {

namespace {

std::string classOf(HWND window)
{
    char name[256] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string textOf(HWND window)
{
    // WM_GETTEXT crosses process boundaries; GetWindowText would not for
    // controls. A thread that is busy (destroying its window, say) is not
    // waited for long.
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 1000, &length))
        return {};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    DWORD_PTR got = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                             1000, &got))
        return {};
    text.resize(static_cast<std::size_t>(got));
    return text;
}

BOOL CALLBACK collectChild(HWND child, LPARAM param)
{
    auto& controls = *reinterpret_cast<std::vector<ControlInfo>*>(param);
    if (GetParent(child) == nullptr)
        return TRUE;
    ControlInfo control;
    control.id = GetDlgCtrlID(child);
    control.className = classOf(child);
    control.text = textOf(child);
    control.enabled = IsWindowEnabled(child) != FALSE;
    control.style = static_cast<DWORD>(GetWindowLongPtrA(child, GWL_STYLE));
    GetWindowRect(child, &control.rect);
    controls.push_back(control);
    return TRUE;
}

// Which of the system's message-box icons the icon control shows: its pixels
// on screen are compared with each icon drawn here on the same background.
std::string identifyIcon(HWND iconControl)
{
    RECT rect;
    GetWindowRect(iconControl, &rect);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0)
        return "none";
    HDC screen = GetDC(nullptr);
    HDC shot = CreateCompatibleDC(screen);
    HBITMAP shotBits = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ oldShot = SelectObject(shot, shotBits);
    BitBlt(shot, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    COLORREF background = GetPixel(shot, 0, 0);

    struct Candidate { const char* name; LPCSTR id; };
    const Candidate candidates[] = {{"error", IDI_ERROR}, {"warning", IDI_WARNING},
                                    {"information", IDI_INFORMATION}, {"question", IDI_QUESTION}};
    HDC drawn = CreateCompatibleDC(screen);
    HBITMAP drawnBits = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ oldDrawn = SelectObject(drawn, drawnBits);
    std::string best = "unknown";
    long bestDistance = -1;
    bool blank = true;
    for (const Candidate& candidate : candidates) {
        HBRUSH brush = CreateSolidBrush(background);
        RECT all{0, 0, width, height};
        FillRect(drawn, &all, brush);
        DeleteObject(brush);
        DrawIconEx(drawn, 0, 0, LoadIconA(nullptr, candidate.id), 32, 32, 0, nullptr, DI_NORMAL);
        long distance = 0;
        for (int y = 0; y < height && y < 32; y += 2)
            for (int x = 0; x < width && x < 32; x += 2) {
                COLORREF a = GetPixel(shot, x, y), b = GetPixel(drawn, x, y);
                if (a != background)
                    blank = false;
                distance += std::abs(GetRValue(a) - GetRValue(b)) + std::abs(GetGValue(a) - GetGValue(b)) +
                            std::abs(GetBValue(a) - GetBValue(b));
            }
        if (bestDistance < 0 || distance < bestDistance) {
            bestDistance = distance;
            best = candidate.name;
        }
    }
    SelectObject(drawn, oldDrawn);
    DeleteObject(drawnBits);
    DeleteDC(drawn);
    SelectObject(shot, oldShot);
    DeleteObject(shotBits);
    DeleteDC(shot);
    ReleaseDC(nullptr, screen);
    return blank ? "none" : best;
}

BOOL CALLBACK collectTopLevel(HWND window, LPARAM param)
{
    auto* request = reinterpret_cast<std::pair<DWORD, std::vector<HWND>*>*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == request->first && IsWindowVisible(window))
        request->second->push_back(window);
    return TRUE;
}

} // namespace

std::vector<HWND> visibleTopLevelWindows(DWORD processId)
{
    std::vector<HWND> windows;
    std::pair<DWORD, std::vector<HWND>*> request{processId, &windows};
    EnumWindows(collectTopLevel, reinterpret_cast<LPARAM>(&request));
    return windows;
}

WindowInfo describeWindow(HWND window)
{
    WindowInfo info;
    info.className = classOf(window);
    info.caption = textOf(window);
    info.owner = GetWindow(window, GW_OWNER);
    if (info.owner)
        info.ownerClass = classOf(info.owner);
    info.style = static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE));
    info.exStyle = static_cast<DWORD>(GetWindowLongPtrA(window, GWL_EXSTYLE));
    info.classStyle = static_cast<DWORD>(GetClassLongPtrA(window, GCL_STYLE));
    GetWindowRect(window, &info.rect);
    EnumChildWindows(window, collectChild, reinterpret_cast<LPARAM>(&info.controls));

    std::string shownIcon = "none";
    for (ControlInfo& control : info.controls) {
        HWND child = GetDlgItem(window, control.id);
        if (control.className == "Static" && (control.style & SS_TYPEMASK) == SS_ICON) {
            control.icon = child && IsWindowVisible(child) ? identifyIcon(child) : "none";
            shownIcon = control.icon;
        }
        if (control.className == "Static" && control.id == 0xFFFF) {
            info.isMessageBox = info.className == "#32770";
            info.boxText = control.text;
        }
        if (control.className == "Button" && (control.style & BS_TYPEMASK) <= BS_DEFPUSHBUTTON)
            info.buttons.push_back(control.id);
    }
    if (info.isMessageBox)
        info.boxIcon = shownIcon;
    return info;
}

std::string formatWindow(HWND window, const WindowInfo& info)
{
    std::string text;
    char line[512];
    std::snprintf(line, sizeof line,
                  "window hwnd=%s class=\"%s\" caption=\"%s\" owner=%s ownerclass=\"%s\" style=0x%08lx "
                  "exstyle=0x%08lx x=%ld y=%ld width=%ld height=%ld classstyle=0x%08lx\n",
                  hex(window).c_str(), escape(info.className).c_str(), escape(info.caption).c_str(),
                  hex(info.owner).c_str(), escape(info.ownerClass).c_str(), info.style, info.exStyle, info.rect.left,
                  info.rect.top, info.rect.right - info.rect.left, info.rect.bottom - info.rect.top, info.classStyle);
    text += line;
    if (info.isMessageBox)
        text += "box text=\"" + escape(info.boxText) + "\" icon=" + info.boxIcon + "\n";
    for (const ControlInfo& control : info.controls) {
        std::snprintf(line, sizeof line, "\" enabled=%d style=0x%08lx x=%ld y=%ld width=%ld height=%ld",
                      control.enabled ? 1 : 0, control.style, control.rect.left, control.rect.top,
                      control.rect.right - control.rect.left, control.rect.bottom - control.rect.top);
        text += "control id=" + std::to_string(control.id) + " class=\"" + escape(control.className) + "\" text=\"" +
                escape(control.text) + line + (control.icon.empty() ? "" : " icon=" + control.icon) + "\n";
    }
    return text;
}

void writeWindow(FILE* out, HWND window, const WindowInfo& info)
{
    std::fputs(formatWindow(window, info).c_str(), out);
}

void pressButton(HWND dialog, int id)
{
    HWND button = GetDlgItem(dialog, id);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

void pressEscape(HWND dialog)
{
    // The key itself, so that the dialog manager of the other process turns it
    // into whatever that dialog does with Escape.
    PostMessageA(dialog, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    PostMessageA(dialog, WM_KEYUP, VK_ESCAPE, 0xC0010001);
}

std::string hex(const void* handle)
{
    char text[32];
    std::snprintf(text, sizeof text, "0x%llx",
                  static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(handle)));
    return text;
}

std::string escape(const std::string& text)
{
    std::string out;
    for (unsigned char c : text) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '"': out += "\\\""; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20) {
                char code[8];
                std::snprintf(code, sizeof code, "\\x%02X", c);
                out += code;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out;
}

} // namespace uiauto
