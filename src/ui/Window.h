#pragma once
// The window-object layer: one C++ object per platform window, whose messages
// reach the object's handleMessage. Nothing outside this layer knows about
// window or dialog procedures.
#include <windows.h>

#include <string>

namespace kanne {

class Window {
public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // Handles the few messages the object cares about and hands the rest to
    // defaultProcessing.
    virtual LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    virtual ~Window();
    // The procedure that routes a window's messages to its object; a window
    // class registered for such objects names it.
    virtual WNDPROC windowProcedure() const;
    // After the window's last message; the object no longer has a window.
    virtual void onFinalMessage();

    HWND handle() const { return window_; }

    // Creates a window of a class registered with windowProcedure(); its
    // messages reach this object from the first one on.
    HWND create(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y, int width,
                int height, HWND parent, HINSTANCE module);
    // Takes over an existing control, such as one of a dialog template: its
    // messages reach this object, and defaultProcessing hands them on to the
    // control's own procedure.
    bool attach(HWND control);

protected:
    LRESULT defaultProcessing(UINT message, WPARAM wParam, LPARAM lParam);

private:
    friend class Dialog;
    static LRESULT CALLBACK routeMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void bind(HWND window);
    void unbind();

    HWND window_ = nullptr;
    WNDPROC controlProcedure_ = nullptr; // of an attached control
};

// A modal dialog built from a dialog template of the executable.
class Dialog : public Window {
public:
    // Runs the dialog with `owner` (or none) and returns its end code; -1 or
    // 0 when the platform could not run it.
    INT_PTR runModal(int templateId, HWND owner);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        return defaultProcessing(message, wParam, lParam);
    }

protected:
    // Messages that the dialog object leaves alone go to the system's dialog
    // processing.
    LRESULT defaultProcessing(UINT, WPARAM, LPARAM) { return FALSE; }
    void end(INT_PTR code) { EndDialog(handle(), code); }
    // Makes a text control as tall as its text needs when broken into lines
    // of the control's width; the controls below it move down, and those
    // around it and the dialog grow, by as much. It never shrinks anything.
    void fitTextHeight(int controlId);
    // Centres the dialog on its owner, when that is visible and not
    // minimised, else on the work area; it never leaves the work area.
    void centre();

private:
    static INT_PTR CALLBACK routeDialogMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};

// A window's text, of any length.
std::string windowText(HWND window);

} // namespace kanne
