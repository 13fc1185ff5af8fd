#pragma once
// One registered runtime that passed the version and JVM-library filters.
#include "runtime/VersionNumber.h"

#include <cstdint>
#include <string>

namespace kanne {

// What a registry key registers: "JVM Source" lets each kind in or out.
enum class RuntimeKind : std::uint8_t { Jdk, Jre };

inline const char* kindName(RuntimeKind kind) { return kind == RuntimeKind::Jdk ? "JDK" : "JRE"; }

struct RuntimeCandidate {
    VersionNumber version;  // the subkey name (or the home's "release" file), parsed with fill 0
    std::string javaHome;   // runtime home, ending in "\"
    bool isServer = false;  // the scan's probe found the server library
    bool favoredKind = false; // its kind is the one "JVM Source" favours

    // Where it came from and what the scan's probe found; the ranking
    // ignores these, the diagnostic report shows them.
    RuntimeKind kind = RuntimeKind::Jre;
    std::string subkeyName;
    std::string jvmLibrary;
};

} // namespace kanne
