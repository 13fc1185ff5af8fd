#include "ui/LinkLabel.h"

#include <shellapi.h>
#include <windowsx.h>

namespace kanne {

namespace {
// Fixed colours: the system's hot-tracking colour is not a link colour everywhere.
const COLORREF linkColour = RGB(0x00, 0x66, 0xCC);
const COLORREF visitedColour = RGB(0x80, 0x00, 0x80);
} // namespace

bool LinkLabel::attachTo(HWND label)
{
    if (!attach(label))
        return false;
    LOGFONTA description{};
    auto font = reinterpret_cast<HFONT>(SendMessageA(label, WM_GETFONT, 0, 0));
    if (!font || !GetObjectA(font, sizeof description, &description))
        GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof description, &description);
    description.lfUnderline = TRUE;
    font_.reset(CreateFontIndirectA(&description));
    return true;
}

LRESULT LinkLabel::handleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NCHITTEST:
        return HTCLIENT; // a plain static lets clicks fall through to the dialog
    case WM_SETCURSOR:
        SetCursor(LoadCursorA(nullptr, IDC_HAND));
        return TRUE;
    case WM_LBUTTONDOWN:
        pressed_ = true;
        SetCapture(handle());
        return 0;
    case WM_LBUTTONUP:
        if (pressed_) {
            pressed_ = false;
            ReleaseCapture();
            RECT area;
            GetClientRect(handle(), &area);
            if (PtInRect(&area, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}))
                open();
        }
        return 0;
    case WM_CAPTURECHANGED:
        pressed_ = false;
        return 0;
    case WM_PAINT:
        paint();
        return 0;
    }
    return defaultProcessing(message, wParam, lParam);
}

void LinkLabel::paint()
{
    PaintScope painting(handle());
    HDC dc = painting.dc();
    RECT area;
    GetClientRect(handle(), &area);
    // The dialog's own background for static controls, as the label would have it.
    auto background = reinterpret_cast<HBRUSH>(
        SendMessageA(GetParent(handle()), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(handle())));
    FillRect(dc, &area, background ? background : GetSysColorBrush(COLOR_BTNFACE));
    SelectedObject font(dc, font_.get());
    SetTextColor(dc, visited_ ? visitedColour : linkColour);
    SetBkMode(dc, TRANSPARENT);
    std::string text = windowText(handle());
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &area, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
}

void LinkLabel::open()
{
    std::string address = windowText(handle());
    auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteA(GetParent(handle()), "open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (result > 32) {
        visited_ = true;
        InvalidateRect(handle(), nullptr, TRUE);
    }
}

} // namespace kanne
