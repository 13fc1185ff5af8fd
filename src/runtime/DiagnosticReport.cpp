#include "runtime/DiagnosticReport.h"

#include <initializer_list>

namespace kanne {

namespace {
using Pieces = std::initializer_list<std::string_view>;

// The report is appended piece by piece: chains of string "+" would cost the
// launcher kilobytes of code for a mode few users ever run.
class Report {
public:
    void add(std::string_view text) { text_.append(text.data(), text.size()); }
    // Registry names and values may hold control characters; they must not
    // break the report's lines. Bytes of 128 and above stay: they are text in
    // the ANSI code page.
    void addPrintable(std::string_view text)
    {
        for (char c : text)
            text_ += static_cast<unsigned char>(c) < 0x20 || c == 0x7F ? '?' : c;
    }
    void addPadded(std::string_view text, std::size_t width, bool printable = true)
    {
        printable ? addPrintable(text) : add(text);
        for (std::size_t n = text.size(); n < width; ++n)
            text_ += ' ';
    }
    void addNumber(std::size_t n) { add(std::to_string(n)); }
    void line(Pieces pieces = {})
    {
        for (std::string_view piece : pieces)
            add(piece);
        add("\r\n");
    }
    void field(std::string_view name, std::string_view value, bool printable = true)
    {
        addPadded(name, 20, false);
        printable ? addPrintable(value) : add(value);
        add("\r\n");
    }
    std::string take() { return std::move(text_); }

private:
    std::string text_;
};

// Two decimals without printf's floating-point formatting, which would
// double the size of the launcher.
void addMilliseconds(Report& report, double value)
{
    auto hundredths = static_cast<unsigned long long>(value * 100.0 + 0.5);
    report.add(std::to_string(hundredths / 100));
    report.add(hundredths % 100 < 10 ? ".0" : ".");
    report.add(std::to_string(hundredths % 100));
    report.add(" ms");
}

const char* jvmSourceText(const DiscoverySettings& settings)
{
    if (settings.bothKinds) {
        if (settings.favorJdk)
            return "favor_JDK: JDKs and JREs, JDKs ranked first";
        if (settings.favorJre)
            return "favor_JRE: JDKs and JREs, JREs ranked first";
        return "JDKs and JREs alike";
    }
    if (settings.favorJdk)
        return "only_JDK: JDKs only";
    if (settings.favorJre)
        return "only_JRE: JREs only";
    return "not one of favor_JDK, favor_JRE, only_JDK, only_JRE: no registry key is scanned";
}

const char* jvmTypeName(JvmType jvmType)
{
    switch (jvmType) {
    case JvmType::Server: return "server: ";
    case JvmType::FavorServer: return "favor_server: ";
    case JvmType::Default: break;
    }
    return "default: ";
}

std::string boundText(const VersionNumber& bound) { return bound.isUnbounded() ? "none" : bound.format(); }

bool namesAVersion(std::string_view text) { return VersionNumber::parsed(text, VersionNumber::lowestFill).count > 0; }

bool anyPreferredVersion(const StringList& preferred)
{
    for (const std::string& item : preferred)
        if (namesAVersion(item))
            return true;
    return false;
}

void reportSettings(Report& report, const DiagnosisFacts& facts, const DiscoverySettings& settings)
{
    report.field("Executable:", facts.executable.empty() ? "(unknown)" : facts.executable);
    report.field("Configuration file:", facts.configuration.empty() ? "(none)" : facts.configuration);
    if (!facts.settingsRead)
        return;
    report.field("JRE Path:", settings.jrePath.empty() ? "(not set)" : settings.jrePath);
    report.addPadded("JVM Type:", 20, false);
    report.line({jvmTypeName(settings.jvmType), probeOrderText(settings.jvmType)});
    report.field("JVM Source:", jvmSourceText(settings), false);
    report.field("Minimum Version:", boundText(settings.minVersion), false);
    report.field("Maximum Version:", boundText(settings.maxVersion), false);
    report.addPadded("Preferred versions:", 20, false);
    if (anyPreferredVersion(settings.preferredVersions)) {
        for (int i = 0; i < settings.preferredVersions.count(); ++i) {
            report.add(i > 0 ? ";" : "");
            report.addPrintable(settings.preferredVersions[i]);
        }
        report.line();
    } else {
        report.line({"none"});
    }
    if (isEmptyRange(settings.minVersion, settings.maxVersion))
        report.line({"Note: the minimum version lies above the maximum version; no registered runtime can match."});
}

// "<home>: found <library>", or why the source yielded nothing.
void addAttempt(Report& report, const SourceAttempt& attempt, JvmType jvmType)
{
    switch (attempt.state) {
    case SourceState::Found:
        report.addPrintable(attempt.home);
        report.add(": found ");
        report.addPrintable(attempt.library);
        return;
    case SourceState::NoLibrary:
        report.addPrintable(attempt.home);
        report.add(": no JVM library of the wanted flavour (");
        report.add(probeOrderText(jvmType));
        report.add(")");
        return;
    case SourceState::NotConfigured: report.add("not set"); return;
    case SourceState::Unavailable: report.add("the executable's folder is unknown"); return;
    case SourceState::NoRuntime: report.add("no runtime"); return;
    case SourceState::NotExamined: break;
    }
    report.add("not examined");
}

// A source examined after an earlier one had already yielded the library.
const char* unusedNote(const Discovery& discovery, const SourceAttempt& attempt, RuntimeSource source)
{
    if (discovery.chosen == RuntimeSource::None || discovery.chosen == source)
        return "";
    if (source == RuntimeSource::Registry)
        return " (for information: an earlier source yielded the library)";
    return attempt.state == SourceState::Found ? " (not used: an earlier source yielded the library)" : "";
}

void addEntryDetail(Report& report, const RegistryEntry& entry, const DiscoverySettings& settings)
{
    const RuntimeCandidate& runtime = entry.runtime;
    if (entry.skip == SkipReason::None) {
        report.addPadded(flavourOf(runtime.jvmLibrary), 7, false);
        report.add("  candidate: ");
        report.addPrintable(runtime.jvmLibrary);
        if (entry.versionFromHome)
            report.line({" (version ", runtime.version.format(), ")"});
        else
            report.line();
        return;
    }
    report.add("skipped: ");
    // The vendors' keys name the home value otherwise.
    std::string_view reason = skipReasonText(entry.skip);
    std::size_t valueAt = reason.find("JavaHome");
    if (valueAt != std::string_view::npos) {
        report.add(reason.substr(0, valueAt));
        report.add(registryRoot(entry.root).valueName);
        reason.remove_prefix(valueAt + 8);
    }
    report.add(reason);
    if (entry.versionFromHome && (entry.skip == SkipReason::BelowMinimum || entry.skip == SkipReason::AboveMaximum))
        report.add(" (version from its release file)");
    switch (entry.skip) {
    case SkipReason::BelowMinimum: report.line({" ", boundText(settings.minVersion)}); return;
    case SkipReason::AboveMaximum: report.line({" ", boundText(settings.maxVersion)}); return;
    case SkipReason::JavaHomeNotFullPath:
        report.add(": ");
        report.addPrintable(runtime.javaHome);
        break;
    case SkipReason::OtherBitness:
        report.add(": ");
        report.addPrintable(runtime.jvmLibrary);
        break;
    case SkipReason::NoJvmLibrary:
        report.add(" (");
        report.add(probeOrderText(entry.probeType));
        report.add(") under ");
        report.addPrintable(runtime.javaHome);
        break;
    default: break;
    }
    report.line();
}

std::size_t nameWidth(const Discovery& discovery)
{
    // Aligned up to a sensible length; a longer name pushes its own line only.
    std::size_t width = 8;
    for (const RegistryEntry& entry : discovery.scan.entries)
        if (entry.runtime.subkeyName.size() > width)
            width = entry.runtime.subkeyName.size() < 24 ? entry.runtime.subkeyName.size() : 24;
    return width;
}

void reportKey(Report& report, const Discovery& discovery, const DiscoverySettings& settings, std::size_t root)
{
    const RegistryKeyScan& key = discovery.scan.keys[root];
    RuntimeKind kind = key.kind;
    // The old keys are always told; the others only where they exist.
    if (root > 1 && !key.listed)
        return;
    std::string_view name = registryRoot(root).path;
    report.add(isUserRoot(root) ? "   HKEY_CURRENT_USER\\" : "   ");
    report.add(name.substr(0, name.size() - 1));
    report.add(": ");
    if (!key.wanted)
        report.add(kind == RuntimeKind::Jdk ? "not scanned, \"JVM Source\" excludes JDKs; "
                                            : "not scanned, \"JVM Source\" excludes JREs; ");
    if (!key.listed) {
        report.add("not present");
    } else {
        report.addNumber(key.subkeyCount);
        report.add(key.subkeyCount == 1 ? " subkey" : " subkeys");
        if (!key.wanted && key.subkeyCount > 0)
            report.add(", listed for information");
    }
    if (!key.complete)
        report.add("; some subkey names could not be read");
    report.line();

    std::size_t width = nameWidth(discovery);
    for (const RegistryEntry& entry : discovery.scan.entries) {
        if (entry.root != root)
            continue;
        report.add("     ");
        report.addPadded(entry.runtime.subkeyName, width);
        report.add(kind == RuntimeKind::Jdk ? "  JDK  " : "  JRE  ");
        addEntryDetail(report, entry, settings);
    }
}

void reportRegistry(Report& report, const Discovery& discovery, const DiscoverySettings& settings)
{
    report.line({"3. Registered runtimes (HKEY_LOCAL_MACHINE, ", sizeof(void*) == 8 ? "64-bit" : "32-bit", " view)",
                 unusedNote(discovery, discovery.registry, RuntimeSource::Registry), ":"});
    if (discovery.registry.state == SourceState::NotExamined) {
        report.line({"   not examined"});
        return;
    }
    for (std::size_t root = 0; root < rootCount; ++root)
        reportKey(report, discovery, settings, root);
    if (discovery.ranked.empty()) {
        report.line({"   No candidate."});
        return;
    }

    report.add("   Ranking, best first (");
    if (settings.bothKinds && settings.favorJdk)
        report.add("JDKs first, then ");
    else if (settings.bothKinds && settings.favorJre)
        report.add("JREs first, then ");
    if (settings.jvmType == JvmType::FavorServer)
        report.add("server VMs first, then ");
    report.line({"newest version first; equals in scan order):"});
    std::size_t width = nameWidth(discovery);
    for (std::size_t i = 0; i < discovery.ranked.size(); ++i) {
        const RuntimeCandidate& c = discovery.ranked[i];
        report.add("     ");
        report.addPadded(std::to_string(i + 1) + ".", 6, false);
        report.addPadded(c.subkeyName, width);
        report.add(c.kind == RuntimeKind::Jdk ? "  JDK  " : "  JRE  ");
        report.addPadded(flavourOf(c.jvmLibrary), 9, false);
        report.addPrintable(c.javaHome);
        report.line();
    }

    const RuntimeCandidate& chosen = discovery.ranked[static_cast<std::size_t>(discovery.choice.index)];
    report.add("   Chosen: ");
    report.addPrintable(chosen.subkeyName);
    report.add(chosen.kind == RuntimeKind::Jdk ? " (JDK), " : " (JRE), ");
    if (discovery.choice.preferredIndex >= 0) {
        report.add("the best candidate matching the preferred version \"");
        report.addPrintable(settings.preferredVersions[discovery.choice.preferredIndex]);
        report.line({"\""});
    } else {
        report.line({anyPreferredVersion(settings.preferredVersions)
                         ? "the best candidate; no preferred version matched any"
                         : "the best candidate"});
    }
    report.add("   Probed with \"JVM Type\": ");
    addAttempt(report, discovery.registry, settings.jvmType);
    report.line();
}

void reportResult(Report& report, const DiagnosisFacts& facts, const Discovery& discovery)
{
    switch (discovery.chosen) {
    case RuntimeSource::None:
        report.line({"Result: no JVM library found; a launch would end here with exit code -1."});
        break;
    case RuntimeSource::JrePath:
    case RuntimeSource::BesideExecutable:
    case RuntimeSource::Registry:
        report.add("Result: ");
        report.addPrintable(discovery.jvmLibraryPath);
        report.line({discovery.chosen == RuntimeSource::JrePath            ? " (from \"JRE Path\")"
                     : discovery.chosen == RuntimeSource::BesideExecutable ? " (from beside the executable)"
                                                                           : " (from the registry)"});
        break;
    }
    if (facts.chainMilliseconds >= 0) {
        report.add("Discovery as a launch runs it took ");
        addMilliseconds(report, facts.chainMilliseconds);
        report.line({"."});
    }
    if (facts.fullMilliseconds >= 0) {
        report.add("Examining every source for this report took ");
        addMilliseconds(report, facts.fullMilliseconds);
        report.line({"."});
    }
}
} // namespace

const char* flavourOf(std::string_view jvmLibrary)
{
    for (const char* flavour : {"server", "client", "classic", "hotspot"}) {
        std::string_view name = flavour;
        std::string_view tail = "\\jvm.dll";
        std::size_t size = jvmLibrary.size();
        if (size > name.size() + tail.size() && jvmLibrary.substr(size - tail.size()) == tail &&
            jvmLibrary.substr(size - tail.size() - name.size(), name.size()) == name)
            return flavour;
    }
    return "";
}

const char* probeOrderText(JvmType jvmType)
{
    switch (jvmType) {
    case JvmType::Server: return "server only";
    case JvmType::FavorServer: return "server, then client, classic, hotspot";
    case JvmType::Default: break;
    }
    return "client, classic, hotspot, then server";
}

const char* skipReasonText(SkipReason reason)
{
    switch (reason) {
    case SkipReason::None: break;
    case SkipReason::KindExcluded: return "kind excluded by \"JVM Source\"";
    case SkipReason::BelowMinimum: return "below the minimum version";
    case SkipReason::AboveMaximum: return "above the maximum version";
    case SkipReason::NoJavaHome: return "no \"JavaHome\" value";
    case SkipReason::JavaHomeNotText: return "\"JavaHome\" is not a string value";
    case SkipReason::JavaHomeEmpty: return "\"JavaHome\" is empty";
    case SkipReason::JavaHomeNotFullPath: return "\"JavaHome\" is not a full path";
    case SkipReason::NoJvmLibrary: return "no JVM library of the wanted flavour";
    case SkipReason::OtherBitness:
        return sizeof(void*) == 8 ? "its JVM library is not 64-bit, as this launcher is"
                                  : "its JVM library is not 32-bit, as this launcher is";
    }
    return "";
}

std::string formatDiagnosticReport(const DiagnosisFacts& facts, const DiscoverySettings& settings,
                                   const Discovery* discovery)
{
    Report report;
    report.line({"Kanne runtime diagnosis"});
    report.line();
    reportSettings(report, facts, settings);
    report.line();
    if (!facts.settingsRead || !discovery) {
        report.line({"A required setting is missing (see the message shown): runtime discovery was not run."});
        report.line({"Result: no JVM library; a launch would end here with exit code -1."});
        return report.take();
    }
    report.line({"Sources, in the order a launch tries them:"});
    report.add("1. \"JRE Path\": ");
    addAttempt(report, discovery->configured, settings.jvmType);
    report.line({unusedNote(*discovery, discovery->configured, RuntimeSource::JrePath)});

    report.add("2. Beside the executable");
    if (!discovery->executableFolder.empty()) {
        report.add(" (");
        report.addPrintable(discovery->executableFolder);
        report.add(" or its jre\\ subfolder)");
    }
    report.add(": ");
    addAttempt(report, discovery->beside, settings.jvmType);
    if (discovery->beside.state == SourceState::NoRuntime)
        report.add(", no bin\\java.dll in either");
    report.line({unusedNote(*discovery, discovery->beside, RuntimeSource::BesideExecutable)});

    reportRegistry(report, *discovery, settings);
    report.line();
    reportResult(report, facts, *discovery);
    return report.take();
}

} // namespace kanne
