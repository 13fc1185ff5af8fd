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
SkipReason rangeSkip(const VersionNumber& version, const DiscoverySettings& settings)
{
    RangeTest range = testVersionRange(version, settings.minVersion, settings.maxVersion);
    return range == RangeTest::BelowMinimum   ? SkipReason::BelowMinimum
           : range == RangeTest::AboveMaximum ? SkipReason::AboveMaximum
                                              : SkipReason::None;
}

// Reads the home value and probes the home; the reason when it is no candidate.
SkipReason readRuntimeHome(RegistryEntry& entry, const DiscoverySettings& settings, RuntimeRegistry& registry,
                           const HomeFiles& files, CharStep step)
{
    RuntimeCandidate& runtime = entry.runtime;
    RegistryValue value = registry.readHome(entry.root, runtime.subkeyName);
    if (value.type == ValueType::Missing)
        return SkipReason::NoJavaHome;
    if (value.type == ValueType::NotText)
        return SkipReason::JavaHomeNotText;
    if (value.text.empty())
        return SkipReason::JavaHomeEmpty;
    HomeForm form = registryRoot(entry.root).form;
    runtime.javaHome = runtimeHomeFromJavaHome(value.text, form == HomeForm::OldJdk ? RuntimeKind::Jdk : RuntimeKind::Jre,
                                               step);
    // A relative home would be probed against the current folder, where
    // anybody may have put a jvm.dll.
    if (!isFullPath(runtime.javaHome))
        return SkipReason::JavaHomeNotFullPath;
    // A modern JDK registered the old way has no "jre\": it is its own runtime.
    if (form == HomeForm::OldJdk && !hasJavaDll(runtime.javaHome, files.exists)) {
        std::string own = runtime.javaHome.substr(0, runtime.javaHome.size() - 4);
        if (hasJavaDll(own, files.exists))
            runtime.javaHome = std::move(own);
    }
    if (entry.versionFromHome) {
        VersionNumber stated = releaseVersion(files.read(runtime.javaHome + "release", 16384));
        if (stated.count > 0)
            runtime.version = stated;
        SkipReason range = rangeSkip(runtime.version, settings);
        if (range != SkipReason::None)
            return range;
    }
    runtime.jvmLibrary = probeJvmLibrary(runtime.javaHome, entry.probeType, runtime.isServer, files.exists);
    if (runtime.jvmLibrary.empty())
        return SkipReason::NoJvmLibrary;
    // An unreadable or empty library tells no bitness and is kept.
    std::uint16_t machine = peMachine(files.read(runtime.jvmLibrary, 4096));
    return machine != 0 && machine != ownMachine ? SkipReason::OtherBitness : SkipReason::None;
}
} // namespace

bool examineEntry(RegistryEntry& entry, const DiscoverySettings& settings, RuntimeRegistry& registry, HomeFiles files,
                  CharStep step)
{
    if (!entry.examined && entry.skip == SkipReason::None)
        entry.skip = readRuntimeHome(entry, settings, registry, files, step);
    entry.examined = true;
    return entry.skip == SkipReason::None;
}

void listRegistryKey(const DiscoverySettings& settings, std::size_t root, RuntimeRegistry& registry, ScanScope scope,
                     RegistryScan& scan)
{
    RegistryKeyScan& key = scan.keys[root];
    RuntimeKind kind = registryRoot(root).kind;
    key.root = root;
    key.kind = kind;
    key.wanted = scansKind(settings, kind);
    if (!key.wanted && scope == ScanScope::Wanted)
        return;

    SubkeyList list = registry.listSubkeys(root);
    key.listed = list.opened;
    key.complete = list.complete;
    key.subkeyCount = list.names.size();
    scan.entries.reserve(scan.entries.size() + list.names.size());
    for (std::string& name : list.names) {
        RegistryEntry entry;
        entry.root = static_cast<std::uint8_t>(root);
        entry.versionFromHome = registryRoot(root).form == HomeForm::Release;
        entry.runtime.kind = kind;
        entry.runtime.version = VersionNumber::parsed(name, VersionNumber::lowestFill);
        entry.runtime.subkeyName = std::move(name);
        entry.runtime.favoredKind = favorsKind(settings, kind);
        entry.probeType = probeTypeFor(kind, settings.jvmType);
        if (!key.wanted)
            entry.skip = SkipReason::KindExcluded;
        else if (!entry.versionFromHome)
            entry.skip = rangeSkip(entry.runtime.version, settings);
        entry.examined = entry.skip != SkipReason::None;
        scan.entries.push_back(std::move(entry));
    }
}

RegistryScan listRegisteredRuntimes(const DiscoverySettings& settings, RuntimeRegistry& registry, ScanScope scope)
{
    RegistryScan scan;
    // The old JDK key first: among equally ranked candidates the JDK then stays ahead.
    for (std::size_t root = 0; root < rootCount; ++root)
        listRegistryKey(settings, root, registry, scope, scan);
    return scan;
}

void examineEntries(RegistryScan& scan, const DiscoverySettings& settings, RuntimeRegistry& registry, HomeFiles files,
                    CharStep step)
{
    scan.candidates.clear();
    for (RegistryEntry& entry : scan.entries)
        if (examineEntry(entry, settings, registry, files, step))
            scan.candidates.push_back(entry.runtime);
}

RegistryScan scanRegistry(const DiscoverySettings& settings, RuntimeRegistry& registry, ScanScope scope,
                          HomeFiles files, CharStep step)
{
    RegistryScan scan = listRegisteredRuntimes(settings, registry, scope);
    examineEntries(scan, settings, registry, files, step);
    return scan;
}

} // namespace kanne
