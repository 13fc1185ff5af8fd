#pragma once
// Owners of the GDI objects the user interface creates, and scopes for the
// device-context state it changes while painting.
#include "platform/Handle.h"

#include <windows.h>

namespace kanne {

template <typename Object>
struct GdiObjectTraits {
    using Type = Object;
    static Type invalid() { return nullptr; }
    static bool isValid(Type object) { return object != nullptr; }
    static void close(Type object) { DeleteObject(object); }
};
using BitmapHandle = UniqueHandle<GdiObjectTraits<HBITMAP>>;
using FontHandle = UniqueHandle<GdiObjectTraits<HFONT>>;

struct MemoryDcTraits {
    using Type = HDC;
    static Type invalid() { return nullptr; }
    static bool isValid(Type dc) { return dc != nullptr; }
    static void close(Type dc) { DeleteDC(dc); }
};
using MemoryDc = UniqueHandle<MemoryDcTraits>;

// An object selected into a device context until the scope ends; the one it
// replaced goes back in, so the context can be released or deleted cleanly.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(object ? SelectObject(dc, object) : nullptr) {}
    ~SelectedObject()
    {
        if (previous_)
            SelectObject(dc_, previous_);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// A window's device context for measuring, released when the scope ends.
class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDc()
    {
        if (dc_)
            ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;

    HDC dc() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// BeginPaint and EndPaint around one WM_PAINT.
class PaintScope {
public:
    explicit PaintScope(HWND window) : window_(window) { dc_ = BeginPaint(window, &paint_); }
    ~PaintScope() { EndPaint(window_, &paint_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;

    HDC dc() const { return dc_; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_ = nullptr;
};

} // namespace kanne
