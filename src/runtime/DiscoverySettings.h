#pragma once
// What the configuration asks of a runtime: the launcher's fields that
// runtime discovery reads, as one plain value the discovery can be tested with.
#include "launcher/StringList.h"
#include "runtime/JvmType.h"
#include "runtime/VersionNumber.h"

#include <string>

namespace kanne {

class Launcher;

struct DiscoverySettings {
    std::string jrePath;           // "JRE Path" as written; may lack the "\"
    JvmType jvmType = JvmType::Default;
    VersionNumber minVersion;      // unbounded (isUnbounded): no lower bound
    VersionNumber maxVersion;      // unbounded, absent or empty: no upper bound
    bool bothKinds = true;         // "JVM Source" lets JREs and JDKs in
    bool favorJdk = false;
    bool favorJre = false;
    StringList preferredVersions;  // best first
};

DiscoverySettings discoverySettingsOf(const Launcher& launcher);

} // namespace kanne
