#pragma once
// The plain-text report of "--kanne-diagnose": the settings that steer
// discovery, every source tried, every registered runtime with its fate, the
// ranking and the library chosen. Text in, text out; lines end in CR LF.
#include "runtime/RuntimeResolution.h"

#include <string>

namespace kanne {

struct DiagnosisFacts {
    std::string executable;    // "" when unknown
    std::string configuration; // the INI file's path, "" when it has none
    bool settingsRead = true;  // false: a required setting is missing (its box was shown)
    double chainMilliseconds = -1;    // discovery as a launch runs it; < 0: not measured
    double fullMilliseconds = -1;     // the report's examination of every source
};

// `discovery` is null when the settings could not be read.
std::string formatDiagnosticReport(const DiagnosisFacts& facts, const DiscoverySettings& settings,
                                   const Discovery* discovery);

// "server", "client", "classic", "hotspot" for a probed library path; "" otherwise.
const char* flavourOf(std::string_view jvmLibrary);
// The probe order of a JVM type, in words.
const char* probeOrderText(JvmType jvmType);
const char* skipReasonText(SkipReason reason);

} // namespace kanne
