#pragma once
// "--kanne-diagnose": settings and runtime discovery without starting a VM,
// told in a plain-text report (in a message box, or written to a file).
#include "launcher/StringList.h"

#include <string>

namespace kanne {

class Launcher;

inline constexpr const char* diagnoseSwitch = "--kanne-diagnose";

struct DiagnoseRequest {
    bool requested = false;
    std::string reportFile; // "": show the report in a message box
};

// Removes every "--kanne-diagnose" and "--kanne-diagnose=<file>" from the
// arguments (exactly so, case-sensitive); the last one decides the file.
DiagnoseRequest takeDiagnoseSwitch(StringList& arguments);

// Runs discovery as a launch would, examines every source once more for the
// report and delivers it. `settingsRead` false: readSettings has shown the box
// of a missing setting and discovery is not run. True when a library was
// found and the report delivered.
bool diagnoseRuntime(Launcher& launcher, bool settingsRead);

} // namespace kanne
