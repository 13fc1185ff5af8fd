#include "runtime/RuntimeResolution.h"

#include "launcher/Launcher.h"
#include "ui/RuntimeNotFoundDialog.h"

namespace kanne {

namespace {
void probe(SourceAttempt& attempt, JvmType jvmType, FileTest exists)
{
    bool isServer = false;
    attempt.library = probeJvmLibrary(attempt.home, jvmType, isServer, exists);
    attempt.state = attempt.library.empty() ? SourceState::NoLibrary : SourceState::Found;
}

void examineConfiguredFolder(const DiscoverySettings& settings, SourceAttempt& attempt, FileTest exists,
                             CharStep step)
{
    if (settings.jrePath.empty()) {
        attempt.state = SourceState::NotConfigured;
        return;
    }
    // The configured folder needs no "bin\java.dll": its library decides.
    attempt.home = withTrailingBackslash(settings.jrePath, step);
    probe(attempt, settings.jvmType, exists);
}

void examineBesideExecutable(const DiscoverySettings& settings, const DiscoveryPlace& place,
                             SourceAttempt& attempt, FileTest exists)
{
    if (!place.executableFolderKnown) {
        attempt.state = SourceState::Unavailable;
        return;
    }
    // Only a runtime that really lies beside the executable is probed: an
    // empty home would probe relative paths, and a library planted in the
    // current folder would then run inside this process.
    attempt.home = runtimeBeside(place.executableFolder, exists);
    if (attempt.home.empty()) {
        attempt.state = SourceState::NoRuntime;
        return;
    }
    probe(attempt, settings.jvmType, exists);
}

void examineRegistry(const DiscoverySettings& settings, RuntimeRegistry& registry, DiscoveryScope scope,
                     HomeFiles files, CharStep step, Discovery& discovery)
{
    RegistryScan& scan = discovery.scan;
    scan = listRegisteredRuntimes(settings, registry,
                                  scope == DiscoveryScope::Everything ? ScanScope::All : ScanScope::Wanted);
    // The report shows every entry; "favor_server" ranks by the server flag,
    // which only the probe tells. Otherwise an entry is read and probed only
    // when the choice reaches it: the choice is the same, the registry
    // round trips are far fewer. A version stated only in the home must be
    // known before the ranking, too.
    bool all = scope == DiscoveryScope::Everything || settings.jvmType == JvmType::FavorServer;
    for (RegistryEntry& entry : scan.entries)
        if (all || entry.versionFromHome)
            examineEntry(entry, settings, registry, files, step);

    std::vector<RegistryEntry*> open;
    std::vector<const RuntimeCandidate*> runtimes;
    for (RegistryEntry& entry : scan.entries) {
        if (entry.skip == SkipReason::None) {
            open.push_back(&entry);
            runtimes.push_back(&entry.runtime);
        }
    }
    std::vector<RegistryEntry*> rankedEntries;
    std::vector<const RuntimeCandidate*> ranked;
    for (std::size_t i : rankingOrder(runtimes, settings.bothKinds, settings.jvmType)) {
        rankedEntries.push_back(open[i]);
        ranked.push_back(runtimes[i]);
    }
    discovery.choice = chooseInRankingOrder(ranked, settings.preferredVersions, [&](std::size_t c) {
        return examineEntry(*rankedEntries[c], settings, registry, files, step);
    });
    for (const RuntimeCandidate* runtime : ranked)
        discovery.ranked.push_back(*runtime);

    SourceAttempt& attempt = discovery.registry;
    if (discovery.choice.index < 0) {
        attempt.state = SourceState::NoRuntime;
        return;
    }
    // Probed again with the launcher's own type: the scan probes a JRE client
    // first even under "favor_server".
    attempt.home = discovery.ranked[static_cast<std::size_t>(discovery.choice.index)].javaHome;
    probe(attempt, settings.jvmType, files.exists);
}
} // namespace

Discovery discoverRuntime(const DiscoverySettings& settings, const DiscoveryPlace& place, RuntimeRegistry& registry,
                          DiscoveryScope scope, HomeFiles files, CharStep step)
{
    FileTest exists = files.exists;
    Discovery discovery;
    discovery.executableFolder = place.executableFolder;
    auto take = [&](const SourceAttempt& attempt, RuntimeSource source) {
        if (attempt.state != SourceState::Found || discovery.chosen != RuntimeSource::None)
            return;
        discovery.chosen = source;
        discovery.jvmLibraryPath = attempt.library;
    };
    auto goOn = [&] { return scope == DiscoveryScope::Everything || discovery.chosen == RuntimeSource::None; };

    examineConfiguredFolder(settings, discovery.configured, exists, step);
    take(discovery.configured, RuntimeSource::JrePath);
    if (goOn()) {
        examineBesideExecutable(settings, place, discovery.beside, exists);
        take(discovery.beside, RuntimeSource::BesideExecutable);
    }
    if (goOn()) {
        examineRegistry(settings, registry, scope, files, step, discovery);
        take(discovery.registry, RuntimeSource::Registry);
    }
    return discovery;
}

DiscoverySettings discoverySettingsOf(const Launcher& launcher)
{
    DiscoverySettings settings;
    settings.jrePath = launcher.jrePath;
    settings.jvmType = launcher.jvmType;
    settings.minVersion = launcher.minVersion;
    settings.maxVersion = launcher.maxVersion;
    settings.bothKinds = launcher.bothKinds;
    settings.favorJdk = launcher.favorJdk;
    settings.favorJre = launcher.favorJre;
    settings.preferredVersions = launcher.preferredVersions;
    return settings;
}

Discovery discoverRuntime(const Launcher& launcher, DiscoveryScope scope)
{
    // Asked up front, so the discovery itself stays free of the module path;
    // the settings came from the file beside the executable, so its path is
    // known by now and no box can follow.
    DiscoveryPlace place;
    place.executableFolderKnown = executableFolder(launcher.splashWindow, place.executableFolder);
    SystemRuntimeRegistry registry;
    return discoverRuntime(discoverySettingsOf(launcher), place, registry, scope);
}

bool resolveRuntime(Launcher& launcher)
{
    launcher.jvmLibraryPath = discoverRuntime(launcher, DiscoveryScope::Chain).jvmLibraryPath;
    // No source yielded a library: the user may pick a runtime folder.
    return !launcher.jvmLibraryPath.empty() || askForRuntimeFolder(launcher);
}

} // namespace kanne
