#pragma once
// The registry scan: every subkey of the registry roots, each either a
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
    OtherBitness,       // its jvm.dll is built for the other bitness: loading it fails
};

struct RegistryEntry {
    RuntimeCandidate runtime; // filled as far as the scan got
    JvmType probeType = JvmType::Default;
    SkipReason skip = SkipReason::None;
    bool examined = false; // "JavaHome" read and probed; `skip` is final
    // Where the version is known only from the home (HomeForm::Release): the
    // range is tested when examined, and the entry is examined before ranking.
    bool versionFromHome = false;
    std::uint8_t root = 0; // index into the registry roots
};

struct RegistryKeyScan {
    std::size_t root = 0;
    RuntimeKind kind = RuntimeKind::Jdk;
    bool wanted = false;  // "JVM Source" lets this kind in
    bool listed = false;  // the key was opened and its subkeys listed
    bool complete = true; // every subkey name could be read
    std::size_t subkeyCount = 0;
};

struct RegistryScan {
    std::array<RegistryKeyScan, rootCount> keys{}; // indexed by root
    std::vector<RegistryEntry> entries;    // every subkey listed, in scan order
    std::vector<RuntimeCandidate> candidates; // after examineEntries: the usable ones, in scan order
};

// Wanted: only the keys "JVM Source" lets in, as a launch needs. All: the
// excluded key is listed too (its subkeys marked KindExcluded), for the report.
enum class ScanScope : std::uint8_t { Wanted, All };

// Lists every root in order: names, versions, and the skips that
// need no value (kind excluded, outside the version range). Reads no value:
// under Wine every registry call is a round trip to the server, so values
// are read only for the runtimes a choice actually needs.
RegistryScan listRegisteredRuntimes(const DiscoverySettings& settings, RuntimeRegistry& registry, ScanScope scope);
// Appends the entries of one root.
void listRegistryKey(const DiscoverySettings& settings, std::size_t root, RuntimeRegistry& registry, ScanScope scope,
                     RegistryScan& scan);

// The files a registered home is examined with, apart from the registry.
struct HomeFiles {
    HomeFiles(FileTest test = fileExists, FileRead reader = readFileStart) : exists(test), read(reader) {}
    FileTest exists;
    FileRead read; // "release" and the jvm.dll's header
};

// Reads the entry's home value and probes the home, once: true when the
// entry is a candidate.
bool examineEntry(RegistryEntry& entry, const DiscoverySettings& settings, RuntimeRegistry& registry,
                  HomeFiles files = {}, CharStep step = systemCharStep);
// Examines every entry still open and collects the candidates.
void examineEntries(RegistryScan& scan, const DiscoverySettings& settings, RuntimeRegistry& registry,
                    HomeFiles files = {}, CharStep step = systemCharStep);

// The whole scan: listing and examining every entry.
RegistryScan scanRegistry(const DiscoverySettings& settings, RuntimeRegistry& registry, ScanScope scope,
                          HomeFiles files = {}, CharStep step = systemCharStep);

} // namespace kanne
