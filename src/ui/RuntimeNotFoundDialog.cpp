#include "ui/RuntimeNotFoundDialog.h"

#include "launcher/Configuration.h"
#include "launcher/Launcher.h"
#include "launcher/Messages.h"
#include "launcher/Platform.h"
#include "runtime/JvmProbe.h"

#include <shlobj.h>

namespace kanne {

RuntimeNotFoundDialog::RuntimeNotFoundDialog(std::string text, JvmType type)
    : jvmType(type), messageText(std::move(text))
{
}

INT_PTR RuntimeNotFoundDialog::showModal(HWND owner) { return runModal(runtimeNotFoundTemplate, owner); }

LRESULT RuntimeNotFoundDialog::handleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        initialize();
        return FALSE; // the system is not to move the focus
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            // OK is enabled only for a folder with a library; a command
            // that reaches a disabled button is ignored.
            if (!chosenLibraryPath.empty())
                end(IDOK);
            return TRUE;
        case IDCANCEL: // also the Escape key and the caption's close button
            end(IDCANCEL);
            return TRUE;
        case browseButton:
            browse();
            return TRUE;
        }
        break;
    }
    return defaultProcessing(message, wParam, lParam);
}

void RuntimeNotFoundDialog::initialize()
{
    downloadLink.attachTo(GetDlgItem(handle(), downloadLabel));
    SetDlgItemTextA(handle(), messageLabel, messageText.c_str());
    // The template's message area holds three lines of the dialog font;
    // texts 206 and 207 take four, and their last line leads to the link.
    fitTextHeight(messageLabel);
    SendDlgItemMessageA(handle(), errorIcon, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconA(nullptr, IDI_ERROR)), 0);
    EnableWindow(GetDlgItem(handle(), IDOK), FALSE);
    centre();
}

void RuntimeNotFoundDialog::browse()
{
    std::string title = loadText(TextId::BrowseForRuntimeTitle);
    BROWSEINFOA request{};
    request.hwndOwner = handle();
    request.lpszTitle = title.c_str();
    request.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE | BIF_NONEWFOLDERBUTTON;
    PIDLIST_ABSOLUTE item = SHBrowseForFolderA(&request);
    if (!item)
        return;
    char path[MAX_PATH] = "";
    BOOL isFileSystemPath = SHGetPathFromIDListA(item, path);
    CoTaskMemFree(item);
    // The browser offers file-system folders only; an item without a path is taken as a cancel.
    if (!isFileSystemPath || path[0] == '\0')
        return;

    SetDlgItemTextA(handle(), runtimePathField, path);
    chosenFolder = withTrailingBackslash(path);
    bool isServer = false;
    chosenLibraryPath = probeJvmLibrary(chosenFolder, jvmType, isServer);
    EnableWindow(GetDlgItem(handle(), IDOK), !chosenLibraryPath.empty());
}

std::string runtimeNotFoundText(JvmType jvmType, const VersionNumber& minVersion, const VersionNumber& maxVersion)
{
    TextId format = jvmType == JvmType::Server ? TextId::RuntimeNotFoundServer : TextId::RuntimeNotFound;
    return formatText(format, {describeVersionRequirement(minVersion, maxVersion)});
}

bool askForRuntimeFolder(Launcher& launcher)
{
    if (!initializeUserInterface())
        return false;
    RuntimeNotFoundDialog dialog(runtimeNotFoundText(launcher.jvmType, launcher.minVersion, launcher.maxVersion),
                                 launcher.jvmType);
    // The main thread normally owns no window here: the dialog then has no owner.
    if (dialog.showModal(GetActiveWindow()) != IDOK)
        return false;
    launcher.jvmLibraryPath = dialog.chosenLibraryPath;
    std::string iniPath;
    // A choice that cannot be remembered still serves this launch.
    if (iniFilePath(launcher.splashWindow, iniPath))
        WritePrivateProfileStringA(sectionRuntime, "JRE Path", dialog.chosenFolder.c_str(), iniPath.c_str());
    return true;
}

} // namespace kanne
