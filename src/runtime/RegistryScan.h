#pragma once
// The registry scan: every subkey of the JDK and JRE keys, each either a
// candidate or skipped for a stated reason. The chain chooses among the
// candidates; the diagnostic report shows every entry.
#include "launcher/TextWalk.h"
#include "runtime/DiscoverySettings.h"
#include "runtime/JvmProbe.h"
#include "runtime/RuntimeCandidate.h"
#include "runtime/RuntimeRegistry.h"

#include <array>
#include <cstdint>
#include <vector>

namespace kanne {

// The key of that kind is scanned at all ("JVM Source").
bool scansKind(const DiscoverySettings& settings, RuntimeKind kind);
// Candidates of that kind are favoured in the ranking.
bool favorsKind(const DiscoverySettings& settings, RuntimeKind kind);
// The flavour order a registered home is probed with: a JRE is probed client
// first even under "favor_server".
JvmType probeTypeFor(RuntimeKind kind, JvmType jvmType);

enum class RangeTest : std::uint8_t { Inside, BelowMinimum, AboveMaximum };
// Both bounds inclusive; an unbounded bound (VersionNumber::isUnbounded, which
// covers an absent or empty setting) does not limit at all.
RangeTest testVersionRange(const VersionNumber& version, const VersionNumber& minVersion,
                           const VersionNumber& maxVersion);
// Two bounds that no version can satisfy (minimum above maximum).
bool isEmptyRange(const VersionNumber& minVersion, const VersionNumber& maxVersion);

// The runtime home a "JavaHome" value names: "\" appended unless present,
// then a JDK's "jre\" subfolder.
std::string runtimeHomeFromJavaHome(std::string_view javaHome, RuntimeKind kind, CharStep step = systemCharStep);

enum class SkipReason : std::uint8_t {
    None,               // a candidate
    KindExcluded,       // "JVM Source" leaves this key out
    BelowMinimum,
    AboveMaximum,
    NoJavaHome,         // no readable "JavaHome" value
    JavaHomeNotText,    // "JavaHome" is binary, a number or a string list
    JavaHomeEmpty,
    JavaHomeNotFullPath, // would be resolved against the current folder
    NoJvmLibrary,       // no library of the wanted flavour under the home
};

struct RegistryEntry {
    RuntimeCandidate runtime; // filled as far as the scan got
    JvmType probeType = JvmType::Default;
    SkipReason skip = SkipReason::None;
    bool examined = false; // "JavaHome" read and probed; `skip` is final
};

struct RegistryKeyScan {
    RuntimeKind kind = RuntimeKind::Jdk;
    bool wanted = false;  // "JVM Source" lets this kind in
    bool listed = false;  // the key was opened and its subkeys listed
    bool complete = true; // every subkey name could be read
    std::size_t subkeyCount = 0;
};

struct RegistryScan {
    std::array<RegistryKeyScan, 2> keys{}; // JDK, JRE
    std::vector<RegistryEntry> entries;    // every subkey listed, in scan order
    std::vector<RuntimeCandidate> candidates; // after examineEntries: the usable ones, in scan order
};

// Wanted: only the keys "JVM Source" lets in, as a launch needs. All: the
// excluded key is listed too (its subkeys marked KindExcluded), for the report.
enum class ScanScope : std::uint8_t { Wanted, All };

// Lists the JDK key, then the JRE key: names, versions, and the skips that
// need no value (kind excluded, outside the version range). Reads no value:
// under Wine every registry call is a round trip to the server, so values
// are read only for the runtimes a choice actually needs.
RegistryScan listRegisteredRuntimes(const DiscoverySettings& settings, RuntimeRegistry& registry, ScanScope scope);
// Appends the entries of one key.
void listRegistryKey(const DiscoverySettings& settings, RuntimeKind kind, RuntimeRegistry& registry, ScanScope scope,
                     RegistryScan& scan);

// Reads the entry's "JavaHome" and probes the home, once: true when the
// entry is a candidate.
bool examineEntry(RegistryEntry& entry, RuntimeRegistry& registry, FileTest exists = fileExists,
                  CharStep step = systemCharStep);
// Examines every entry still open and collects the candidates.
void examineEntries(RegistryScan& scan, RuntimeRegistry& registry, FileTest exists = fileExists,
                    CharStep step = systemCharStep);

// The whole scan: listing and examining every entry.
RegistryScan scanRegistry(const DiscoverySettings& settings, RuntimeRegistry& registry, ScanScope scope,
                          FileTest exists = fileExists, CharStep step = systemCharStep);

} // namespace kanne
