#pragma once
// Deciding which JVM library the launcher loads: the configured "JRE Path",
// a runtime beside the executable, the registered runtimes, in this order.
// `discoverRuntime` records what each source yielded; the launch takes its
// library, the diagnostic report tells all of it.
#include "runtime/CandidateRanking.h"
#include "runtime/DiscoverySettings.h"
#include "runtime/RegistryScan.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kanne {

class Launcher;

enum class SourceState : std::uint8_t {
    NotExamined,   // the chain had already found a library
    NotConfigured, // "JRE Path" is empty
    Unavailable,   // the executable's folder is unknown
    NoRuntime,     // no runtime there (no "bin\java.dll" beside; no registry candidate)
    NoLibrary,     // a home without a JVM library of the wanted flavour
    Found,
};

struct SourceAttempt {
    SourceState state = SourceState::NotExamined;
    std::string home;    // the runtime home probed
    std::string library; // the probe's result
};

enum class RuntimeSource : std::uint8_t { None, JrePath, BesideExecutable, Registry };

struct Discovery {
    SourceAttempt configured;     // "JRE Path"
    std::string executableFolder; // "" when unknown
    SourceAttempt beside;
    SourceAttempt registry;       // the chosen candidate's home and library
    RegistryScan scan;
    // The registered runtimes still in the running, best first: with
    // DiscoveryScope::Everything exactly the candidates; in a chain also
    // runtimes the choice did not need to read.
    std::vector<RuntimeCandidate> ranked;
    CandidateChoice choice;
    RuntimeSource chosen = RuntimeSource::None;
    std::string jvmLibraryPath;   // "" when no source yielded one
};

// Chain: stop at the first source that yields a library, as a launch does.
// Everything: examine every source and list both registry keys, for the
// report; the library chosen is the same.
enum class DiscoveryScope : std::uint8_t { Chain, Everything };

struct DiscoveryPlace {
    bool executableFolderKnown = false;
    std::string executableFolder; // ending in "\"
};

Discovery discoverRuntime(const DiscoverySettings& settings, const DiscoveryPlace& place, RuntimeRegistry& registry,
                          DiscoveryScope scope, HomeFiles files = {}, CharStep step = systemCharStep);

// The same in this process: the executable's real folder (its box shown
// when unknown) and the system's registry.
Discovery discoverRuntime(const Launcher& launcher, DiscoveryScope scope);

// Sets `jvmLibraryPath` from the first source that yields a library. False,
// without a box, when none does.
bool resolveRuntime(Launcher& launcher);

} // namespace kanne
