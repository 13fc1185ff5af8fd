#include "launcher/Platform.h"

#include "launcher/Messages.h"

#include <commctrl.h>
#include <objbase.h>

namespace kanne {

namespace {
struct ModuleState {
    HINSTANCE module = nullptr;
    DWORD mainThreadId = 0;
    bool comEntered = false;
};
ModuleState moduleState;
} // namespace

bool initializePlatform(HINSTANCE module)
{
    // Command-line trimming uses the character classes of this locale.
    SetThreadLocale(GetSystemDefaultLCID());

    HRESULT result = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (FAILED(result)) {
        showError(nullptr, TextId::ComError,
                  {loadText(TextId::InitializationFailed), static_cast<int>(result)});
        return false;
    }
    moduleState.comEntered = true;

    DefWindowProcA(nullptr, WM_NULL, 0, 0);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_COOL_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);

    moduleState.module = module;
    moduleState.mainThreadId = GetCurrentThreadId();
    return true;
}

void terminatePlatform()
{
    moduleState.module = nullptr;
    if (moduleState.comEntered)
        CoUninitialize();
    moduleState.comEntered = false;
}

DWORD mainThreadId() { return moduleState.mainThreadId; }

} // namespace kanne
