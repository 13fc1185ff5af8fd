#include "launcher/Launcher.h"

#include "launcher/CommandLine.h"
#include "launcher/Configuration.h"
#include "launcher/Platform.h"
#include "runtime/RuntimeResolution.h"
#include "vm/JvmLibrary.h"
#include "vm/MainInvocation.h"
#include "vm/PathSettings.h"
#include "vm/VmCreation.h"

namespace kanne {

Launcher::~Launcher()
{
    // The splash stays until main has returned; destroying the VM waits for
    // the application's threads; the listener serves later starts until then.
    closeSplash(*this);
    destroyVm(*this);
    instanceChannel.vmDestroyed();
    instanceChannel.close();
}

bool Launcher::setUpSingleInstance() { return instanceChannel.setUp(*this); }

bool Launcher::startSplash() { return kanne::startSplash(*this); }

bool Launcher::resolveRuntime() { return kanne::resolveRuntime(*this); }

bool Launcher::prepare()
{
    std::string executable;
    DWORD ignored = 0;
    queryModulePath(executable, ignored);
    arguments = collectArguments(executable);
    // The launcher's own switch: the application never sees it, and a
    // diagnosis neither joins a running instance nor shows the splash.
    diagnosis = takeDiagnoseSwitch(arguments);
    if (diagnosis.requested)
        return diagnoseRuntime(*this, readSettings(*this));

    if (!setUpSingleInstance())
        return false;
    if (singleInstance && !isFirstInstance)
        return true; // the arguments went to the running first instance

    // The switch stays among the arguments: the application receives it too.
    bool noSplash = arguments.find("-nosplash") >= 0 || arguments.find("/nosplash") >= 0;
    if (!noSplash && !startSplash())
        return false;
    if (!readSettings(*this))
        return false;
    return resolveRuntime();
}

int Launcher::run()
{
    if (singleInstance && !isFirstInstance)
        return 0;
    if (diagnosis.requested)
        return 0; // the diagnosis found a library; no VM is started
    applyPathSettings(*this);
    if (!loadJvmLibrary(*this) || !createVm(*this))
        return -1;
    instanceChannel.vmCreated();
    return runMainClass(*this) ? 0 : -1;
}

int launch(HINSTANCE module)
{
    int exitCode = -1;
    {
        Launcher launcher;
        if (initializePlatform(module) && launcher.prepare())
            exitCode = launcher.run();
    }
    terminatePlatform();
    return exitCode;
}

} // namespace kanne
