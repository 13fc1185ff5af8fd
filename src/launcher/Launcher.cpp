#include "launcher/Launcher.h"

#include "launcher/CommandLine.h"
#include "launcher/Configuration.h"
#include "launcher/Platform.h"
#include "runtime/RuntimeResolution.h"

namespace kanne {

Launcher::~Launcher()
{
    // Released in this order once splash, VM and instance channel exist:
    // the splash stays until main has returned, the VM waits for the
    // application's threads, and the listener serves later starts until then.
}

bool Launcher::setUpSingleInstance()
{
    // Single-instance mode is not built yet: every start is an only instance.
    return true;
}

bool Launcher::startSplash()
{
    // The splash screen is not built yet: launches show none.
    return true;
}

bool Launcher::resolveRuntime() { return kanne::resolveRuntime(*this); }

bool Launcher::prepare()
{
    std::string executable;
    DWORD ignored = 0;
    queryModulePath(executable, ignored);
    arguments = collectArguments(executable);

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
    // Loading the JVM library and creating the VM are not built yet.
    return -1;
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
