#pragma once
// The splash screen: a bitmap in a borderless window that a UI thread of its
// own keeps painted while the main thread prepares the launch and runs the
// application's main method.
#include "ui/GdiHandle.h"
#include "ui/Window.h"

#include <string>
#include <string_view>

namespace kanne {

class Launcher;

inline constexpr const char* splashWindowClass = "SplashScreenWindow";

class SplashScreen : public Window {
public:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    // On the splash thread: loads the bitmap and creates the hidden window
    // of its size. Null, and no window, when the file is no loadable bitmap
    // or the window class cannot be registered.
    HWND createSplashWindow(const std::string& imagePath, bool shadow);

    BitmapHandle splashBitmap;

private:
    void paint();

    SIZE bitmapSize_{};
};

// The class style of `SplashScreenWindow`.
UINT splashClassStyle(bool shadow);
// Only the exact text "true" asks for the shadow.
bool wantsShadow(std::string_view splashShadow);

// Reads the splash settings and, when a bitmap is configured, starts the
// splash thread without waiting for it. False only when the configuration
// file's path is unknown or the user interface cannot be set up (both shown).
bool startSplash(Launcher& launcher);
// The splash thread: shows the window and pumps its messages until WM_QUIT.
DWORD WINAPI runSplashThread(void* launcher);
// First step of the teardown: ends the splash thread and deletes the splash.
void closeSplash(Launcher& launcher);

} // namespace kanne
