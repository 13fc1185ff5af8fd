#include "runtime/RegistryScan.h"

namespace kanne {

bool scansKind(const DiscoverySettings& settings, RuntimeKind kind)
{
    return settings.bothKinds || favorsKind(settings, kind);
}

bool favorsKind(const DiscoverySettings& settings, RuntimeKind kind)
{
    return kind == RuntimeKind::Jdk ? settings.favorJdk : settings.favorJre;
}

JvmType probeTypeFor(RuntimeKind kind, JvmType jvmType)
{
    return kind == RuntimeKind::Jre && jvmType == JvmType::FavorServer ? JvmType::Default : jvmType;
}

RangeTest testVersionRange(const VersionNumber& version, const VersionNumber& minVersion,
                           const VersionNumber& maxVersion)
{
    // An absent "Maximum Version" parses to all zero; taken as a bound it
    // would admit nothing but versions without digits.
    if (!minVersion.isUnbounded() && version.compare(minVersion) < 0)
        return RangeTest::BelowMinimum;
    if (!maxVersion.isUnbounded() && version.compare(maxVersion) > 0)
        return RangeTest::AboveMaximum;
    return RangeTest::Inside;
}

bool isEmptyRange(const VersionNumber& minVersion, const VersionNumber& maxVersion)
{
    return !minVersion.isUnbounded() && !maxVersion.isUnbounded() && minVersion.compare(maxVersion) > 0;
}

std::string runtimeHomeFromJavaHome(std::string_view javaHome, RuntimeKind kind, CharStep step)
{
    std::string home = withTrailingBackslash(javaHome, step);
    if (kind == RuntimeKind::Jdk)
        home += "jre\\"; // a JDK's runtime is its "jre" subfolder
    return home;
}

namespace {
// Reads "JavaHome" and probes the home; the reason when it is no candidate.
SkipReason readRuntimeHome(RegistryEntry& entry, RuntimeRegistry& registry, FileTest exists, CharStep step)
{
    RuntimeCandidate& runtime = entry.runtime;
    RegistryValue value = registry.readJavaHome(runtime.kind, runtime.subkeyName);
    if (value.type == ValueType::Missing)
        return SkipReason::NoJavaHome;
    if (value.type == ValueType::NotText)
        return SkipReason::JavaHomeNotText;
    if (value.text.empty())
        return SkipReason::JavaHomeEmpty;
    runtime.javaHome = runtimeHomeFromJavaHome(value.text, runtime.kind, step);
    // A relative home would be probed against the current folder, where
    // anybody may have put a jvm.dll.
    if (!isFullPath(runtime.javaHome))
        return SkipReason::JavaHomeNotFullPath;
    runtime.jvmLibrary = probeJvmLibrary(runtime.javaHome, entry.probeType, runtime.isServer, exists);
    return runtime.jvmLibrary.empty() ? SkipReason::NoJvmLibrary : SkipReason::None;
}
} // namespace

bool examineEntry(RegistryEntry& entry, RuntimeRegistry& registry, FileTest exists, CharStep step)
{
    if (!entry.examined && entry.skip == SkipReason::None)
        entry.skip = readRuntimeHome(entry, registry, exists, step);
    entry.examined = true;
    return entry.skip == SkipReason::None;
}

void listRegistryKey(const DiscoverySettings& settings, RuntimeKind kind, RuntimeRegistry& registry, ScanScope scope,
                     RegistryScan& scan)
{
    RegistryKeyScan& key = scan.keys[kind == RuntimeKind::Jdk ? 0 : 1];
    key.kind = kind;
    key.wanted = scansKind(settings, kind);
    if (!key.wanted && scope == ScanScope::Wanted)
        return;

    SubkeyList list = registry.listSubkeys(kind);
    key.listed = list.opened;
    key.complete = list.complete;
    key.subkeyCount = list.names.size();
    scan.entries.reserve(scan.entries.size() + list.names.size());
    for (std::string& name : list.names) {
        RegistryEntry entry;
        entry.runtime.kind = kind;
        entry.runtime.version = VersionNumber::parsed(name, VersionNumber::lowestFill);
        entry.runtime.subkeyName = std::move(name);
        entry.runtime.favoredKind = favorsKind(settings, kind);
        entry.probeType = probeTypeFor(kind, settings.jvmType);
        if (!key.wanted) {
            entry.skip = SkipReason::KindExcluded;
        } else {
            RangeTest range = testVersionRange(entry.runtime.version, settings.minVersion, settings.maxVersion);
            if (range == RangeTest::BelowMinimum)
                entry.skip = SkipReason::BelowMinimum;
            else if (range == RangeTest::AboveMaximum)
                entry.skip = SkipReason::AboveMaximum;
        }
        entry.examined = entry.skip != SkipReason::None;
        scan.entries.push_back(std::move(entry));
    }
}

RegistryScan listRegisteredRuntimes(const DiscoverySettings& settings, RuntimeRegistry& registry, ScanScope scope)
{
    RegistryScan scan;
    // JDKs first: among equally ranked candidates the JDK then stays ahead.
    listRegistryKey(settings, RuntimeKind::Jdk, registry, scope, scan);
    listRegistryKey(settings, RuntimeKind::Jre, registry, scope, scan);
    return scan;
}

void examineEntries(RegistryScan& scan, RuntimeRegistry& registry, FileTest exists, CharStep step)
{
    scan.candidates.clear();
    for (RegistryEntry& entry : scan.entries)
        if (examineEntry(entry, registry, exists, step))
            scan.candidates.push_back(entry.runtime);
}

RegistryScan scanRegistry(const DiscoverySettings& settings, RuntimeRegistry& registry, ScanScope scope,
                          FileTest exists, CharStep step)
{
    RegistryScan scan = listRegisteredRuntimes(settings, registry, scope);
    examineEntries(scan, registry, exists, step);
    return scan;
}

} // namespace kanne
