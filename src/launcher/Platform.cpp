#include "launcher/Platform.h"

#include "launcher/Messages.h"
#include "platform/SystemLibrary.h"

#include <commctrl.h>
#include <objbase.h>

namespace kanne {

namespace {
struct ModuleState {
    HINSTANCE module = nullptr;
    DWORD mainThreadId = 0;
    bool comEntered = false;
    bool userInterfaceReady = false;
};
ModuleState moduleState;
} // namespace

bool initializePlatform(HINSTANCE module)
{
    // Command-line trimming uses the character classes of this locale.
    SetThreadLocale(GetSystemDefaultLCID());
    moduleState.module = module;
    moduleState.mainThreadId = GetCurrentThreadId();
    return true;
}


bool initializeUserInterface()
{
    if (moduleState.userInterfaceReady)
        return true;
    using CoInitializeExFunction = HRESULT(WINAPI*)(void*, DWORD);
    auto enterApartment = systemEntry<CoInitializeExFunction>("ole32.dll", "CoInitializeEx");
    HRESULT result = enterApartment ? enterApartment(nullptr, COINIT_APARTMENTTHREADED) : E_NOINTERFACE;
    if (FAILED(result)) {
        showError(nullptr, TextId::ComError, {loadText(TextId::InitializationFailed), static_cast<int>(result)});
        return false;
    }
    moduleState.comEntered = true;

    using DefWindowProcFunction = LRESULT(WINAPI*)(HWND, UINT, WPARAM, LPARAM);
    if (auto defaultProcedure = systemEntry<DefWindowProcFunction>("user32.dll", "DefWindowProcA"))
        defaultProcedure(nullptr, WM_NULL, 0, 0);
    using InitCommonControlsExFunction = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    if (auto initControls = systemEntry<InitCommonControlsExFunction>("comctl32.dll", "InitCommonControlsEx")) {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_COOL_CLASSES | ICC_BAR_CLASSES};
        initControls(&controls);
    }
    moduleState.userInterfaceReady = true;
    return true;
}

void terminatePlatform()
{
    moduleState.module = nullptr;
    if (moduleState.comEntered) {
        using CoUninitializeFunction = void(WINAPI*)();
        if (auto leaveApartment = systemEntry<CoUninitializeFunction>("ole32.dll", "CoUninitialize"))
            leaveApartment();
    }
    moduleState.comEntered = false;
    moduleState.userInterfaceReady = false;
}

DWORD mainThreadId() { return moduleState.mainThreadId; }

} // namespace kanne
