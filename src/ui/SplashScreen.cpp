#include "ui/SplashScreen.h"

#include "launcher/Configuration.h"
#include "launcher/Launcher.h"
#include "launcher/Platform.h"
#include "ui/WindowLayout.h"

namespace kanne {

UINT splashClassStyle(bool shadow) { return CS_DBLCLKS | CS_SAVEBITS | (shadow ? CS_DROPSHADOW : 0u); }

bool wantsShadow(std::string_view splashShadow) { return splashShadow == "true"; }

namespace {
// A class of that name already registered for the module is used as it is.
bool registerSplashClass(HINSTANCE module, WNDPROC procedure, bool shadow)
{
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = splashClassStyle(shadow);
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = module;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = splashWindowClass;
    return RegisterClassExA(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}
} // namespace

HWND SplashScreen::createSplashWindow(const std::string& imagePath, bool shadow)
{
    HINSTANCE module = GetModuleHandleA(nullptr);
    splashBitmap.reset(static_cast<HBITMAP>(
        LoadImageA(module, imagePath.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
    // Without a bitmap the window would have no size: the launch goes on without a splash.
    if (!splashBitmap)
        return nullptr;
    // Some systems refuse the shadow style; the splash is then shown without one.
    if (!registerSplashClass(module, windowProcedure(), shadow) &&
        !(shadow && registerSplashClass(module, windowProcedure(), false)))
        return nullptr;

    BITMAP description{};
    GetObjectA(splashBitmap.get(), sizeof description, &description);
    bitmapSize_ = {description.bmWidth, description.bmHeight};
    POINT origin = splashOrigin(GetSystemMetrics(SM_CXFULLSCREEN), GetSystemMetrics(SM_CYFULLSCREEN),
                                bitmapSize_.cx, bitmapSize_.cy);
    return create(WS_EX_TOOLWINDOW, splashWindowClass, nullptr, WS_POPUP, origin.x, origin.y, bitmapSize_.cx,
                  bitmapSize_.cy, nullptr, module);
}

LRESULT SplashScreen::handleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        paint();
        return 0;
    case WM_ERASEBKGND:
        return 1; // the bitmap covers the whole window
    }
    return defaultProcessing(message, wParam, lParam);
}

void SplashScreen::paint()
{
    PaintScope painting(handle());
    MemoryDc memory(CreateCompatibleDC(painting.dc()));
    SelectedObject bitmap(memory.get(), splashBitmap.get());
    BitBlt(painting.dc(), 0, 0, bitmapSize_.cx, bitmapSize_.cy, memory.get(), 0, 0, SRCCOPY);
}

bool startSplash(Launcher& launcher)
{
    std::string iniPath;
    if (!iniFilePath(launcher.splashWindow, iniPath))
        return false;
    launcher.splashImagePath = readSetting(iniPath, sectionDisplay, "Splash Screen");
    launcher.splashShadow = readSetting(iniPath, sectionDisplay, "Splash Screen Shadow");
    if (launcher.splashImagePath.empty())
        return true;
    if (!initializeUserInterface())
        return false;
    launcher.splash.reset(new SplashScreen);
    DWORD threadId = 0;
    launcher.splashThread.reset(CreateThread(nullptr, 0, runSplashThread, &launcher, 0, &threadId));
    launcher.splashThreadId = threadId;
    // A splash that cannot be shown is no reason to stop the launch.
    if (!launcher.splashThread)
        launcher.splash.reset();
    return true;
}

DWORD WINAPI runSplashThread(void* parameter)
{
    Launcher& launcher = *static_cast<Launcher*>(parameter);
    HWND window = launcher.splash->createSplashWindow(launcher.splashImagePath, wantsShadow(launcher.splashShadow));
    // The main thread reads the handle, as owner of its error boxes, without a lock.
    InterlockedExchangePointer(reinterpret_cast<void* volatile*>(&launcher.splashWindow), window);
    if (window) {
        ShowWindow(window, SW_SHOWNORMAL);
        UpdateWindow(window);
    }
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    if (window)
        DestroyWindow(window);
    return 0;
}

void closeSplash(Launcher& launcher)
{
    if (!launcher.splash)
        return;
    // WM_QUIT is posted again at every turn: a thread that had no message
    // queue yet at the first post still gets one. The short wait returns as
    // soon as the thread ends and keeps the loop from spinning.
    DWORD exitCode = STILL_ACTIVE;
    for (;;) {
        PostThreadMessageA(launcher.splashThreadId, WM_QUIT, 0, 0);
        if (!GetExitCodeThread(launcher.splashThread.get(), &exitCode) || exitCode != STILL_ACTIVE)
            break;
        WaitForSingleObject(launcher.splashThread.get(), 10);
    }
    launcher.splashThread.reset();
    launcher.splash.reset();
}

} // namespace kanne
