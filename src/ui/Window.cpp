#include "ui/Window.h"

#include "ui/GdiHandle.h"
#include "ui/WindowLayout.h"

namespace kanne {

namespace {
// The window property that leads from a window to its object.
const char* const objectProperty = "Kanne.WindowObject";

// The object whose window the calling thread is creating: a window's first
// messages arrive inside CreateWindowEx, before its handle is known. The
// slot is taken once per process, by whichever thread comes first.
volatile LONG creationSlotIndex = static_cast<LONG>(TLS_OUT_OF_INDEXES);

DWORD creationSlot()
{
    LONG slot = creationSlotIndex;
    if (slot == static_cast<LONG>(TLS_OUT_OF_INDEXES)) {
        DWORD taken = TlsAlloc();
        slot = InterlockedCompareExchange(&creationSlotIndex, static_cast<LONG>(taken),
                                          static_cast<LONG>(TLS_OUT_OF_INDEXES));
        if (slot == static_cast<LONG>(TLS_OUT_OF_INDEXES))
            slot = static_cast<LONG>(taken);
        else
            TlsFree(taken);
    }
    return static_cast<DWORD>(slot);
}

Window* objectOf(HWND window) { return static_cast<Window*>(GetPropA(window, objectProperty)); }
} // namespace

Window::~Window()
{
    // Only an attached control can outlive its object; an own window has
    // been destroyed by the thread that created it.
    if (window_ && controlProcedure_)
        unbind();
}

LRESULT Window::handleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return defaultProcessing(message, wParam, lParam);
}

WNDPROC Window::windowProcedure() const { return routeMessage; }

void Window::onFinalMessage() {}

HWND Window::create(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y, int width,
                    int height, HWND parent, HINSTANCE module)
{
    TlsSetValue(creationSlot(), this);
    HWND created = CreateWindowExA(exStyle, className, title, style, x, y, width, height, parent, nullptr, module,
                                   nullptr);
    TlsSetValue(creationSlot(), nullptr);
    return created;
}

bool Window::attach(HWND control)
{
    if (!control || objectOf(control))
        return false;
    bind(control);
    controlProcedure_ =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(routeMessage)));
    return true;
}

LRESULT Window::defaultProcessing(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (controlProcedure_)
        return CallWindowProcA(controlProcedure_, window_, message, wParam, lParam);
    return DefWindowProcA(window_, message, wParam, lParam);
}

void Window::bind(HWND window)
{
    window_ = window;
    SetPropA(window, objectProperty, this);
}

void Window::unbind()
{
    if (controlProcedure_)
        SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(controlProcedure_));
    RemovePropA(window_, objectProperty);
    controlProcedure_ = nullptr;
    window_ = nullptr;
}

LRESULT CALLBACK Window::routeMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Window* object = objectOf(window);
    if (!object) {
        object = static_cast<Window*>(TlsGetValue(creationSlot()));
        if (!object)
            return DefWindowProcA(window, message, wParam, lParam);
        TlsSetValue(creationSlot(), nullptr);
        object->bind(window);
    }
    LRESULT result = object->handleMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        object->unbind();
        object->onFinalMessage();
    }
    return result;
}

INT_PTR Dialog::runModal(int templateId, HWND owner)
{
    return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId), owner, routeDialogMessage,
                           reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK Dialog::routeDialogMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // The few messages before WM_INITDIALOG, which brings the object, get the
    // system's processing.
    auto* dialog = static_cast<Dialog*>(objectOf(window));
    if (!dialog) {
        if (message != WM_INITDIALOG)
            return FALSE;
        dialog = reinterpret_cast<Dialog*>(lParam);
        dialog->bind(window);
    }
    LRESULT result = dialog->handleMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        dialog->unbind();
        dialog->onFinalMessage();
    }
    return result;
}

namespace {
// A child window's rectangle in its parent's client coordinates.
RECT placement(HWND child, HWND parent)
{
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// The height of a static text control's text, broken as the control breaks
// it: at blanks, with tabs expanded and "&" marking a mnemonic.
int wrappedTextHeight(HWND control, int width)
{
    std::string text = windowText(control);
    WindowDc screen(control);
    if (!screen.dc())
        return 0;
    SelectedObject font(screen.dc(), reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0)));
    RECT area{0, 0, width, 0};
    DrawTextA(screen.dc(), text.c_str(), static_cast<int>(text.size()), &area,
              DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS);
    return area.bottom - area.top;
}
} // namespace

void Dialog::fitTextHeight(int controlId)
{
    HWND control = GetDlgItem(handle(), controlId);
    if (!control)
        return;
    const RECT grown = placement(control, handle());
    const int extra = wrappedTextHeight(control, grown.right - grown.left) - (grown.bottom - grown.top);
    if (extra <= 0)
        return;
    for (HWND child = GetWindow(handle(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT moved = roomMadeFor(placement(child, handle()), grown, extra);
        SetWindowPos(child, nullptr, moved.left, moved.top, moved.right - moved.left, moved.bottom - moved.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    RECT own{};
    GetWindowRect(handle(), &own);
    SetWindowPos(handle(), nullptr, 0, 0, own.right - own.left, own.bottom - own.top + extra,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Dialog::centre()
{
    RECT workArea{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &workArea, 0);
    RECT reference = workArea;
    HWND owner = GetWindow(handle(), GW_OWNER);
    if (owner && IsWindowVisible(owner) && !IsIconic(owner))
        GetWindowRect(owner, &reference);
    RECT own{};
    GetWindowRect(handle(), &own);
    POINT origin = centredOrigin({own.right - own.left, own.bottom - own.top}, reference, workArea);
    SetWindowPos(handle(), nullptr, origin.x, origin.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::string windowText(HWND window)
{
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(static_cast<std::size_t>(GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

} // namespace kanne
