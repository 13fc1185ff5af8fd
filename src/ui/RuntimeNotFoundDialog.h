#pragma once
// The runtime-not-found dialog: when no source yields a JVM library, the user
// may pick the folder of an installed runtime, which is then remembered as
// "JRE Path".
#include "runtime/JvmType.h"
#include "runtime/VersionNumber.h"
#include "ui/LinkLabel.h"
#include "ui/Window.h"

#include <string>

namespace kanne {

class Launcher;

// Dialog template 201 and its controls.
enum DialogId : int {
    runtimeNotFoundTemplate = 201,
    runtimePathField = 201,
    browseButton = 202,
    messageLabel = 203,
    errorIcon = 204,
    downloadLabel = 205,
};

class RuntimeNotFoundDialog : public Dialog {
public:
    RuntimeNotFoundDialog(std::string messageText, JvmType jvmType);

    // IDOK when the user accepted a folder, IDCANCEL when not; any other
    // value when the dialog could not be shown.
    INT_PTR showModal(HWND owner);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    JvmType jvmType;
    std::string chosenFolder;      // ends in "\"
    std::string chosenLibraryPath; // "" when the folder holds no library of the wanted flavour
    std::string messageText;
    LinkLabel downloadLink;

private:
    void initialize();
    void browse();
};

// The dialog's explanation: text 206 for a server-only JVM type, else 207,
// with the version requirement.
std::string runtimeNotFoundText(JvmType jvmType, const VersionNumber& minVersion, const VersionNumber& maxVersion);

// The last step of the resolution chain: true when the user accepted a
// folder; its library is then in `jvmLibraryPath` and the folder is written
// as "JRE Path". False, without a box, when the user declined.
bool askForRuntimeFolder(Launcher& launcher);

} // namespace kanne
