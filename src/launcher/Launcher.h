#pragma once
// The one launcher of a process: every setting and handle of a launch, and
// the fixed sequence from the command line to the exit code.
#include "instance/SingleInstance.h"
#include "launcher/StringList.h"
#include "platform/Handle.h"
#include "runtime/Diagnosis.h"
#include "runtime/JvmType.h"
#include "runtime/VersionNumber.h"
#include "ui/SplashScreen.h"
#include "vm/Jni.h"

#include <windows.h>
#include <memory>
#include <string>

namespace kanne {

class Launcher {
public:
    Launcher() = default;
    Launcher(const Launcher&) = delete;
    Launcher& operator=(const Launcher&) = delete;
    // The teardown: splash first, then the VM, then the single-instance channel.
    ~Launcher();

    // True when `run` is to follow; false when the launch failed (and the
    // failure has been shown) or the user declined to pick a runtime.
    bool prepare();
    // The exit code: 0 when the application ran, -1 when the launch failed.
    int run();

    // The splash screen's UI thread; both meaningful only while `splash` is set.
    KernelHandle splashThread;
    DWORD splashThreadId = 0;
    std::string splashImagePath;
    std::string splashShadow;
    JvmType jvmType = JvmType::Default;
    std::string jvmLibraryPath;
    JavaVM* vm = nullptr;
    JNIEnv* env = nullptr; // the main thread's
    std::string mainClass;
    VersionNumber minVersion;
    VersionNumber maxVersion;
    StringList arguments;
    std::unique_ptr<SplashScreen> splash;
    // Owner of every error box: the splash window while one exists.
    HWND splashWindow = nullptr;
    bool favorJdk = false;
    bool favorJre = false;
    bool bothKinds = true;
    StringList vmOptions;
    StringList preferredVersions;
    std::string jrePath;
    std::string libraryPath;
    bool isFirstInstance = false;
    bool singleInstance = false;
    // The block, the listener and its signals of single-instance mode.
    SingleInstanceChannel instanceChannel;
    std::string outputFile;
    std::string errorFile;
    std::string systemPath;
    JNI_CreateJavaVM_t createJavaVM = nullptr;
    // Must be exported by the library, though it is never called.
    JNI_GetDefaultJavaVMInitArgs_t getDefaultInitArgs = nullptr;
    DiagnoseRequest diagnosis; // "--kanne-diagnose": report discovery, start no VM

private:
    bool setUpSingleInstance();
    bool startSplash();
    bool resolveRuntime();
};

// The process entry's sequence; returns the exit code.
int launch(HINSTANCE module);

} // namespace kanne
