#include "runtime/Diagnosis.h"

#include "launcher/Configuration.h"
#include "launcher/Launcher.h"
#include "launcher/Messages.h"
#include "platform/Handle.h"
#include "runtime/DiagnosticReport.h"
#include "runtime/RuntimeResolution.h"

namespace kanne {

namespace {
const char* const reportCaption = "Kanne runtime diagnosis";

// Milliseconds on the performance counter.
double now()
{
    LARGE_INTEGER frequency{}, counter{};
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return frequency.QuadPart > 0 ? static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart)
                                  : 0.0;
}

bool writeReport(const std::string& path, const std::string& report, DWORD& error)
{
    KernelHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        error = GetLastError();
        return false;
    }
    std::size_t done = 0;
    while (done < report.size()) {
        DWORD written = 0;
        DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(report.size() - done, 1u << 20));
        if (!WriteFile(file.get(), report.data() + done, chunk, &written, nullptr) || written == 0) {
            error = GetLastError();
            return false;
        }
        done += written;
    }
    return true;
}
} // namespace

DiagnoseRequest takeDiagnoseSwitch(StringList& arguments)
{
    const std::string_view withFile = "--kanne-diagnose=";
    DiagnoseRequest request;
    for (int i = 0; i < arguments.count();) {
        std::string_view argument = arguments[i];
        if (argument == diagnoseSwitch) {
            request.reportFile.clear();
        } else if (argument.substr(0, withFile.size()) == withFile) {
            request.reportFile = argument.substr(withFile.size());
        } else {
            ++i;
            continue;
        }
        request.requested = true;
        arguments.removeAt(i);
    }
    return request;
}

bool diagnoseRuntime(Launcher& launcher, bool settingsRead)
{
    DiagnosisFacts facts;
    DWORD ignored = 0;
    if (queryModulePath(facts.executable, ignored))
        iniPathForModule(facts.executable, facts.configuration);
    facts.settingsRead = settingsRead;

    Discovery discovery;
    if (settingsRead) {
        // First exactly what a launch does, timed; then every source, for the report.
        double start = now();
        launcher.jvmLibraryPath = discoverRuntime(launcher, DiscoveryScope::Chain).jvmLibraryPath;
        double middle = now();
        discovery = discoverRuntime(launcher, DiscoveryScope::Everything);
        facts.chainMilliseconds = middle - start;
        facts.fullMilliseconds = now() - middle;
    }
    std::string report = formatDiagnosticReport(facts, discoverySettingsOf(launcher), settingsRead ? &discovery : nullptr);
    bool found = !launcher.jvmLibraryPath.empty();

    const std::string& path = launcher.diagnosis.reportFile;
    if (path.empty()) {
        showMessageBox(launcher.splashWindow, report, reportCaption, MB_OK | (found ? MB_ICONINFORMATION : MB_ICONWARNING));
        return found;
    }
    DWORD error = 0;
    if (!writeReport(path, report, error)) {
        showMessageBox(launcher.splashWindow,
                       formatText("The report could not be written to %s (error %d).\r\n\r\n%s",
                                  {path, static_cast<int>(error), report}),
                       reportCaption, MB_OK | MB_ICONERROR);
        return false;
    }
    return found;
}

} // namespace kanne
