#include "runtime/RegistryScan.h"

#include "launcher/Configuration.h"
#include "runtime/RuntimeFakes.h"
#include "runtime/RuntimeResolution.h"
#include "support/TestText.h"

#include <gtest/gtest.h>

namespace kanne {

namespace {
using test::addRuntimeHome;
using test::existingFiles;
using test::FakeRegistry;
using test::fakeFileExists;

// Bounds as the configuration reading makes them.
VersionNumber minimumOf(const char* text)
{
    return std::string_view(text) == "any" ? VersionNumber::lowest() : VersionNumber::parsed(text, VersionNumber::lowestFill);
}
VersionNumber maximumOf(const char* text)
{
    return std::string_view(text) == "any" ? VersionNumber::highest()
                                           : VersionNumber::parsed(text, VersionNumber::highestFill);
}

DiscoverySettings settingsFor(const char* jvmSource, const char* minimum = "", const char* maximum = "",
                              JvmType jvmType = JvmType::Default)
{
    DiscoverySettings settings;
    RuntimeKinds kinds = runtimeKindsFor(jvmSource);
    settings.bothKinds = kinds.bothKinds;
    settings.favorJdk = kinds.favorJdk;
    settings.favorJre = kinds.favorJre;
    settings.minVersion = minimumOf(minimum);
    settings.maxVersion = maximumOf(maximum);
    settings.jvmType = jvmType;
    return settings;
}

RegistryScan scan(const DiscoverySettings& settings, FakeRegistry& registry, ScanScope scope = ScanScope::Wanted)
{
    return scanRegistry(settings, registry, scope, {fakeFileExists, test::fakeFileRead}, test::singleByteStep);
}

std::string names(const std::vector<RuntimeCandidate>& candidates)
{
    std::string text;
    for (const RuntimeCandidate& c : candidates)
        text += (text.empty() ? "" : " ") + std::string(kindName(c.kind)) + ":" + c.subkeyName;
    return text;
}

const RegistryEntry* entryNamed(const RegistryScan& result, const std::string& name)
{
    for (const RegistryEntry& entry : result.entries)
        if (entry.runtime.subkeyName == name)
            return &entry;
    return nullptr;
}
} // namespace

TEST(RegistryScan, VersionRangeIsInclusiveAndAnAbsentBoundDoesNotLimit)
{
    struct Case {
        const char* version;
        const char* minimum;
        const char* maximum;
        RangeTest expected;
    };
    const Case cases[] = {
        {"1.5", "1.5", "1.5", RangeTest::Inside},
        {"1.5.0_11", "1.5", "1.5", RangeTest::Inside}, // within 1.5.0.0 and 1.5.65535.65535
        {"1.6", "1.5", "1.5", RangeTest::AboveMaximum},
        {"1.4.2_19", "1.5", "1.5", RangeTest::BelowMinimum},
        {"1.6.0_99", "1.5", "1.6", RangeTest::Inside},
        {"1.7", "1.5", "1.6", RangeTest::AboveMaximum},
        // "Maximum Version" absent or empty: no upper bound at all.
        {"1.8.0_392", "1.5", "", RangeTest::Inside},
        {"21.0.1", "", "", RangeTest::Inside},
        {"21.0.1", "any", "any", RangeTest::Inside},
        {"1.4", "1.5", "", RangeTest::BelowMinimum},
        {"1.8", "", "1.6", RangeTest::AboveMaximum},
        {"1.8", "", "0", RangeTest::AboveMaximum}, // "0" is 0.65535.65535.65535, a bound
        {"0.9", "", "0", RangeTest::Inside},
        // Subkey names without digits and wrapped numbers get a defined answer.
        {"beta", "", "", RangeTest::Inside},
        {"beta", "1.5", "", RangeTest::BelowMinimum},
        {"99999999999999999999", "", "1.8", RangeTest::AboveMaximum},
        {"2147483648", "", "", RangeTest::Inside},     // negative after wrapping; no lower bound
        {"2147483648", "1.5", "", RangeTest::BelowMinimum},
        // Reversed bounds admit nothing.
        {"1.6", "1.7", "1.5", RangeTest::BelowMinimum},
        {"1.7", "1.7", "1.5", RangeTest::AboveMaximum},
        {"1.8", "1.7", "1.5", RangeTest::AboveMaximum},
    };
    for (const Case& c : cases) {
        VersionNumber version = VersionNumber::parsed(c.version, VersionNumber::lowestFill);
        EXPECT_EQ(testVersionRange(version, minimumOf(c.minimum), maximumOf(c.maximum)), c.expected)
            << c.version << " in [" << c.minimum << ", " << c.maximum << "]";
    }
}

TEST(RegistryScan, ReversedBoundsAreAnEmptyRange)
{
    struct Case {
        const char* minimum;
        const char* maximum;
        bool empty;
    };
    const Case cases[] = {
        {"1.7", "1.5", true}, {"1.5", "1.7", false}, {"1.6", "1.6", false},
        {"1.7", "", false},   {"", "1.5", false},    {"any", "any", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(isEmptyRange(minimumOf(c.minimum), maximumOf(c.maximum)), c.empty) << c.minimum << " " << c.maximum;
}

TEST(RegistryScan, JvmSourceDecidesTheKeysScannedAndTheFavouredKind)
{
    struct Case {
        const char* jvmSource;
        bool scansJdk, scansJre, favorsJdk, favorsJre;
    };
    const Case cases[] = {
        {"", true, true, false, false},
        {"favor_JDK", true, true, true, false},
        {"favor_JRE", true, true, false, true},
        {"only_JDK", true, false, true, false},
        {"only_JRE", false, true, false, true},
        {"Only_JDK", false, false, false, false}, // not a keyword: nothing is scanned
        {"bogus", false, false, false, false},
    };
    for (const Case& c : cases) {
        DiscoverySettings settings = settingsFor(c.jvmSource);
        EXPECT_EQ(scansKind(settings, RuntimeKind::Jdk), c.scansJdk) << c.jvmSource;
        EXPECT_EQ(scansKind(settings, RuntimeKind::Jre), c.scansJre) << c.jvmSource;
        EXPECT_EQ(favorsKind(settings, RuntimeKind::Jdk), c.favorsJdk) << c.jvmSource;
        EXPECT_EQ(favorsKind(settings, RuntimeKind::Jre), c.favorsJre) << c.jvmSource;
    }
}

TEST(RegistryScan, JreKeysAreProbedClientFirstUnderFavorServer)
{
    struct Case {
        RuntimeKind kind;
        JvmType jvmType;
        JvmType probeType;
    };
    const Case cases[] = {
        {RuntimeKind::Jre, JvmType::Default, JvmType::Default},
        {RuntimeKind::Jre, JvmType::Server, JvmType::Server},
        {RuntimeKind::Jre, JvmType::FavorServer, JvmType::Default},
        {RuntimeKind::Jdk, JvmType::Default, JvmType::Default},
        {RuntimeKind::Jdk, JvmType::Server, JvmType::Server},
        {RuntimeKind::Jdk, JvmType::FavorServer, JvmType::FavorServer},
    };
    for (const Case& c : cases)
        EXPECT_EQ(probeTypeFor(c.kind, c.jvmType), c.probeType)
            << kindName(c.kind) << " " << static_cast<int>(c.jvmType);
}

TEST(RegistryScan, JavaHomeBecomesARuntimeHome)
{
    struct Case {
        const char* javaHome;
        RuntimeKind kind;
        CharStep step;
        const char* home;
    };
    const Case cases[] = {
        {"C:\\Java\\jre6", RuntimeKind::Jre, test::singleByteStep, "C:\\Java\\jre6\\"},
        {"C:\\Java\\jre6\\", RuntimeKind::Jre, test::singleByteStep, "C:\\Java\\jre6\\"},
        {"C:\\Java\\jdk1.6.0_05", RuntimeKind::Jdk, test::singleByteStep, "C:\\Java\\jdk1.6.0_05\\jre\\"},
        {"C:\\Java\\jdk1.6.0_05\\", RuntimeKind::Jdk, test::singleByteStep, "C:\\Java\\jdk1.6.0_05\\jre\\"},
        // The last byte of a double-byte character may be the code of "\".
        {"C:\\Java\\\x95\\", RuntimeKind::Jre, test::doubleByteStep, "C:\\Java\\\x95\\\\"},
        {"C:\\Java\\\x95\\", RuntimeKind::Jdk, test::doubleByteStep, "C:\\Java\\\x95\\\\jre\\"},
        {"C:\\Java\\\x95\\\\", RuntimeKind::Jre, test::doubleByteStep, "C:\\Java\\\x95\\\\"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(runtimeHomeFromJavaHome(c.javaHome, c.kind, c.step), c.home) << c.javaHome;
}

TEST(RegistryScan, OnlyVersionsWithinTheBoundsAreCandidates)
{
    existingFiles().clear();
    addRuntimeHome("C:\\Java\\jre1.5.0\\", {"client"});
    addRuntimeHome("C:\\Java\\jre1.5.0_11\\", {"client"});
    addRuntimeHome("C:\\Java\\jre1.6.0\\", {"client"});
    FakeRegistry registry;
    registry.addHome(RuntimeKind::Jre, "1.5", "C:\\Java\\jre1.5.0");
    registry.addHome(RuntimeKind::Jre, "1.5.0_11", "C:\\Java\\jre1.5.0_11");
    registry.addHome(RuntimeKind::Jre, "1.6", "C:\\Java\\jre1.6.0");

    RegistryScan result = scan(settingsFor("", "1.5", "1.5"), registry);
    EXPECT_EQ(names(result.candidates), "JRE:1.5 JRE:1.5.0_11");
    ASSERT_NE(entryNamed(result, "1.6"), nullptr);
    EXPECT_EQ(entryNamed(result, "1.6")->skip, SkipReason::AboveMaximum);
    EXPECT_EQ(registry.valueReads, 2) << "a version outside the bounds is not read further";
    EXPECT_FALSE(result.keys[0].listed) << "the JDK key does not exist";
    EXPECT_TRUE(result.keys[1].listed);
}

// Every root of that kind, under both hives.
int rootsOf(RuntimeKind kind)
{
    int count = 0;
    for (std::size_t root = 0; root < rootCount; ++root)
        count += registryRoot(root).kind == kind;
    return count;
}

TEST(RegistryScan, JvmSourceDecidesWhichKeysAreListed)
{
    const int all = static_cast<int>(rootCount);
    const int jdks = rootsOf(RuntimeKind::Jdk);
    const int jres = rootsOf(RuntimeKind::Jre);
    existingFiles().clear();
    addRuntimeHome("C:\\jdk\\jre\\", {"client"});
    addRuntimeHome("C:\\jre\\", {"client"});
    struct Case {
        const char* jvmSource;
        ScanScope scope;
        const char* candidates;
        int listCalls;
        bool jdkFavoured, jreFavoured;
    };
    const Case cases[] = {
        {"", ScanScope::Wanted, "JDK:1.5.0_11 JRE:1.6.0_05", all, false, false},
        {"favor_JDK", ScanScope::Wanted, "JDK:1.5.0_11 JRE:1.6.0_05", all, true, false},
        {"favor_JRE", ScanScope::Wanted, "JDK:1.5.0_11 JRE:1.6.0_05", all, false, true},
        {"only_JDK", ScanScope::Wanted, "JDK:1.5.0_11", jdks, true, false},
        {"only_JRE", ScanScope::Wanted, "JRE:1.6.0_05", jres, false, true},
        {"bogus", ScanScope::Wanted, "", 0, false, false},
        // For the report every key is listed, the excluded ones without candidates.
        {"only_JDK", ScanScope::All, "JDK:1.5.0_11", all, true, false},
        {"bogus", ScanScope::All, "", all, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.jvmSource);
        FakeRegistry registry;
        registry.addHome(RuntimeKind::Jdk, "1.5.0_11", "C:\\jdk");
        registry.addHome(RuntimeKind::Jre, "1.6.0_05", "C:\\jre");
        RegistryScan result = scan(settingsFor(c.jvmSource), registry, c.scope);
        EXPECT_EQ(names(result.candidates), c.candidates);
        EXPECT_EQ(registry.listCalls, c.listCalls);
        for (const RuntimeCandidate& candidate : result.candidates)
            EXPECT_EQ(candidate.favoredKind, candidate.kind == RuntimeKind::Jdk ? c.jdkFavoured : c.jreFavoured);
        for (const RegistryEntry& entry : result.entries) {
            bool wanted = scansKind(settingsFor(c.jvmSource), entry.runtime.kind);
            EXPECT_EQ(entry.skip == SkipReason::KindExcluded, !wanted) << entry.runtime.subkeyName;
        }
    }
}

TEST(RegistryScan, JdkHomesUseTheirJreSubfolder)
{
    existingFiles().clear();
    addRuntimeHome("C:\\Program Files\\Java\\jdk1.6.0_05\\jre\\", {"client", "server"});
    FakeRegistry registry;
    registry.addHome(RuntimeKind::Jdk, "1.6.0_05", "C:\\Program Files\\Java\\jdk1.6.0_05");
    RegistryScan result = scan(settingsFor(""), registry);
    ASSERT_EQ(result.candidates.size(), 1u);
    EXPECT_EQ(result.candidates[0].javaHome, "C:\\Program Files\\Java\\jdk1.6.0_05\\jre\\");
    EXPECT_EQ(result.candidates[0].jvmLibrary, "C:\\Program Files\\Java\\jdk1.6.0_05\\jre\\bin\\client\\jvm.dll");
    EXPECT_FALSE(result.candidates[0].isServer);
}

TEST(RegistryScan, TheProbeTypeDecidesTheServerFlag)
{
    existingFiles().clear();
    addRuntimeHome("C:\\jdk\\jre\\", {"server"});
    addRuntimeHome("C:\\both\\", {"client", "server"});
    addRuntimeHome("C:\\clientonly\\", {"client"});
    struct Case {
        JvmType jvmType;
        const char* candidates;
        bool jdkServer, jreServer;
    };
    const Case cases[] = {
        {JvmType::Default, "JDK:1.5.0_11 JRE:1.6.0_05 JRE:1.4.2", true, false},
        // A JRE is probed client first even when a server VM is favoured.
        {JvmType::FavorServer, "JDK:1.5.0_11 JRE:1.6.0_05 JRE:1.4.2", true, false},
        // Only a server VM will do: the client-only JRE is no candidate.
        {JvmType::Server, "JDK:1.5.0_11 JRE:1.6.0_05", true, true},
    };
    for (const Case& c : cases) {
        FakeRegistry registry;
        registry.addHome(RuntimeKind::Jdk, "1.5.0_11", "C:\\jdk");
        registry.addHome(RuntimeKind::Jre, "1.6.0_05", "C:\\both");
        registry.addHome(RuntimeKind::Jre, "1.4.2", "C:\\clientonly");
        RegistryScan result = scan(settingsFor("", "", "", c.jvmType), registry);
        EXPECT_EQ(names(result.candidates), c.candidates) << static_cast<int>(c.jvmType);
        EXPECT_EQ(result.candidates[0].isServer, c.jdkServer) << static_cast<int>(c.jvmType);
        EXPECT_EQ(result.candidates[1].isServer, c.jreServer) << static_cast<int>(c.jvmType);
    }
}

TEST(RegistryScan, BadJavaHomeValuesAreSkippedWithTheirReason)
{
    existingFiles().clear();
    addRuntimeHome("C:\\good\\", {"client"});
    addRuntimeHome("\\\\server\\share\\jre\\", {"client"});
    existingFiles().insert("jre\\bin\\client\\jvm.dll"); // planted relative to the current folder
    existingFiles().insert("\\bin\\client\\jvm.dll");    // planted at the current drive's root
    struct Case {
        const char* name;
        RegistryValue value;
        SkipReason skip;
    };
    const Case cases[] = {
        {"no value", {ValueType::Missing, ""}, SkipReason::NoJavaHome},
        {"binary value", {ValueType::NotText, ""}, SkipReason::JavaHomeNotText},
        {"empty", test::text(""), SkipReason::JavaHomeEmpty},
        {"relative", test::text("jre"), SkipReason::JavaHomeNotFullPath},
        {"root of the current drive", test::text("\\"), SkipReason::JavaHomeNotFullPath},
        {"drive-relative", test::text("C:good"), SkipReason::JavaHomeNotFullPath},
        {"64 KB long", test::text("C:\\" + std::string(65536, 'a')), SkipReason::NoJvmLibrary},
        {"no library", test::text("C:\\nothing"), SkipReason::NoJvmLibrary},
        {"UNC path", test::text("\\\\server\\share\\jre"), SkipReason::None},
        {"good", test::text("C:\\good"), SkipReason::None},
    };
    for (const Case& c : cases) {
        FakeRegistry registry;
        registry.add(RuntimeKind::Jre, {{"1.6.0_05", c.value}});
        RegistryScan result = scan(settingsFor(""), registry);
        ASSERT_EQ(result.entries.size(), 1u) << c.name;
        EXPECT_EQ(result.entries[0].skip, c.skip) << c.name;
        EXPECT_EQ(result.candidates.size(), c.skip == SkipReason::None ? 1u : 0u) << c.name;
    }
}

TEST(RegistryScan, DuplicatesAndNamesWithoutDigitsAreKept)
{
    existingFiles().clear();
    addRuntimeHome("C:\\jre6\\", {"client"});
    FakeRegistry registry;
    registry.addHome(RuntimeKind::Jre, "1.6", "C:\\jre6");
    registry.addHome(RuntimeKind::Jre, "1.6.0_05", "C:\\jre6\\");
    registry.addHome(RuntimeKind::Jre, "beta", "C:\\jre6");
    RegistryScan result = scan(settingsFor(""), registry);
    EXPECT_EQ(names(result.candidates), "JRE:1.6 JRE:1.6.0_05 JRE:beta");
    EXPECT_EQ(result.candidates[0].javaHome, result.candidates[1].javaHome);
    EXPECT_EQ(result.candidates[2].version.count, 0);
}

TEST(RegistryScan, ManyAndLongSubkeyNamesAreAllScanned)
{
    existingFiles().clear();
    addRuntimeHome("C:\\jre\\", {"client"});
    std::vector<test::FakeSubkey> subkeys;
    for (int i = 0; i < 10000; ++i)
        subkeys.push_back({"1.4." + std::to_string(i), {}});
    subkeys.push_back({"1.6." + std::string(300, '9'), test::text("C:\\jre")});
    subkeys.push_back({"1.6.0_05", test::text("C:\\jre")});
    FakeRegistry registry;
    registry.add(RuntimeKind::Jre, subkeys);
    RegistryScan result = scan(settingsFor(""), registry);
    EXPECT_EQ(result.entries.size(), 10002u);
    EXPECT_EQ(result.keys[1].subkeyCount, 10002u);
    EXPECT_EQ(result.candidates.size(), 2u);
}

std::size_t rootNamed(std::string_view path, bool user = false)
{
    for (std::size_t root = 0; root < rootsPerHive; ++root)
        if (path == registryRoot(root).path)
            return user ? root + rootsPerHive : root;
    ADD_FAILURE() << "no root " << path;
    return 0;
}


TEST(RegistryScan, ModernKeysAndVendorKeysAreFoundUnderBothHives)
{
    struct Case {
        const char* root;
        bool user;
        const char* subkey;
        const char* value;
        const char* runtimeHome; // where the files lie; "" none
        const char* release;     // the home's "release" file; nullptr none
        const char* expected;    // "kind:version home" or the skip reason's number
    };
    const Case cases[] = {
        {"Software\\JavaSoft\\JDK\\", false, "17.0.9", "C:\\jdk-17", "C:\\jdk-17\\", nullptr,
         "JDK:17.0.9 C:\\jdk-17\\"},
        {"Software\\JavaSoft\\JRE\\", false, "9.0.4", "C:\\jre-9\\", "C:\\jre-9\\", nullptr, "JRE:9.0.4 C:\\jre-9\\"},
        {"Software\\JavaSoft\\JDK\\", true, "21.0.1+12", "C:\\u\\jdk-21", "C:\\u\\jdk-21\\", nullptr,
         "JDK:21.0.1.12 C:\\u\\jdk-21\\"},
        // A modern JDK registered the old way is its own runtime; an old one keeps its jre\.
        {"Software\\JavaSoft\\Java Development Kit\\", false, "11.0.2", "C:\\jdk-11", "C:\\jdk-11\\", nullptr,
         "JDK:11.0.2 C:\\jdk-11\\"},
        {"Software\\JavaSoft\\Java Development Kit\\", false, "1.8.0_392", "C:\\jdk8", "C:\\jdk8\\jre\\", nullptr,
         "JDK:1.8.0.392 C:\\jdk8\\jre\\"},
        {"Software\\Eclipse Adoptium\\JDK\\", false, "17.0.9.9", "C:\\temurin\\", "C:\\temurin\\", nullptr,
         "JDK:17.0.9.9 C:\\temurin\\"},
        {"Software\\Eclipse Adoptium\\JRE\\", true, "21.0.1.12", "C:\\tjre\\", "C:\\tjre\\", nullptr,
         "JRE:21.0.1.12 C:\\tjre\\"},
        {"Software\\AdoptOpenJDK\\JRE\\", false, "11.0.11.9", "C:\\aoj\\", "C:\\aoj\\", nullptr, "JRE:11.0.11.9 C:\\aoj\\"},
        {"Software\\Microsoft\\JDK\\", false, "21.0.1.12", "C:\\ms\\", "C:\\ms\\", nullptr, "JDK:21.0.1.12 C:\\ms\\"},
        {"Software\\Semeru\\JRE\\", false, "17.0.8.7", "C:\\sem\\", "C:\\sem\\", nullptr, "JRE:17.0.8.7 C:\\sem\\"},
        // Zulu and Liberica: the version comes from the release file when it states one.
        {"Software\\Azul Systems\\Zulu\\", false, "zulu-17", "C:\\zulu\\", "C:\\zulu\\",
         "IMPLEMENTOR=\"Azul\"\r\nJAVA_VERSION=\"17.0.9\"\r\n", "JDK:17.0.9 C:\\zulu\\"},
        {"Software\\Azul Systems\\Zulu\\", false, "zulu-11", "C:\\zulu11\\", "C:\\zulu11\\", nullptr,
         "JDK:11 C:\\zulu11\\"},
        {"Software\\BellSoft\\Liberica\\", true, "Liberica JDK 21", "C:\\lib\\", "C:\\lib\\", "JAVA_VERSION=21.0.1\n",
         "JDK:21.0.1 C:\\lib\\"},
        // Above "Maximum Version" 21.0.1 by its release file, though "zulu-21" alone is inside.
        {"Software\\Azul Systems\\Zulu\\", false, "zulu-21", "C:\\z21\\", "C:\\z21\\", "JAVA_VERSION=\"21.0.2\"",
         "skip 3"},
        {"Software\\Microsoft\\JDK\\", false, "17.0.1", "jdk", "jdk\\", nullptr, "skip 7"},
        {"Software\\Semeru\\JDK\\", false, "17.0.1", "C:\\nolib\\", "", nullptr, "skip 8"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.root) + c.subkey);
        existingFiles().clear();
        test::fileContents().clear();
        if (*c.runtimeHome)
            addRuntimeHome(c.runtimeHome, {"server"});
        if (c.release)
            test::fileContents()[std::string(c.runtimeHome) + "release"] = c.release;
        FakeRegistry registry;
        registry.addHome(rootNamed(c.root, c.user), c.subkey, c.value);
        RegistryScan result = scan(settingsFor("", "", "21.0.1.12"), registry);
        ASSERT_EQ(result.entries.size(), 1u);
        const RegistryEntry& entry = result.entries[0];
        std::string found = entry.skip != SkipReason::None
                                ? "skip " + std::to_string(static_cast<int>(entry.skip))
                                : std::string(kindName(entry.runtime.kind)) + ":" + entry.runtime.version.format() + " " +
                                      entry.runtime.javaHome;
        EXPECT_EQ(found, c.expected);
    }
}

TEST(RegistryScan, OldAndModernEntriesAreRankedTogether)
{
    existingFiles().clear();
    test::fileContents().clear();
    addRuntimeHome("C:\\jre8\\", {"client"});
    addRuntimeHome("C:\\jdk17\\", {"server"});
    addRuntimeHome("C:\\temurin21\\", {"server"});
    addRuntimeHome("C:\\zulu\\", {"server"});
    test::fileContents()["C:\\zulu\\release"] = "JAVA_VERSION=\"11.0.21\"";
    struct Case {
        const char* jvmSource;
        const char* minimum;
        const char* maximum;
        const char* preferred;
        const char* chosen;
    };
    const Case cases[] = {
        {"", "", "", "", "C:\\temurin21\\bin\\server\\jvm.dll"},
        {"", "", "17.0.99", "", "C:\\jdk17\\bin\\server\\jvm.dll"},
        {"", "11", "11.0.99", "", "C:\\zulu\\bin\\server\\jvm.dll"},
        {"", "", "", "1.8", "C:\\jre8\\bin\\client\\jvm.dll"},
        {"favor_JRE", "", "", "", "C:\\jre8\\bin\\client\\jvm.dll"},
        {"only_JDK", "", "", "11", "C:\\zulu\\bin\\server\\jvm.dll"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.jvmSource) + " " + c.minimum + " " + c.maximum + " " + c.preferred);
        FakeRegistry registry;
        registry.addHome(RuntimeKind::Jre, "1.8.0_392", "C:\\jre8");
        registry.addHome(rootNamed("Software\\JavaSoft\\JDK\\"), "17", "C:\\jdk17");
        registry.addHome(rootNamed("Software\\Eclipse Adoptium\\JDK\\", true), "21.0.1.12", "C:\\temurin21\\");
        registry.addHome(rootNamed("Software\\Azul Systems\\Zulu\\"), "zulu-11", "C:\\zulu\\");
        DiscoverySettings settings = settingsFor(c.jvmSource, c.minimum, c.maximum);
        splitString(settings.preferredVersions, c.preferred, ";");
        for (DiscoveryScope scope : {DiscoveryScope::Chain, DiscoveryScope::Everything}) {
            FakeRegistry copy = registry;
            Discovery d = discoverRuntime(settings, {}, copy, scope, {fakeFileExists, test::fakeFileRead},
                                          test::singleByteStep);
            EXPECT_EQ(d.jvmLibraryPath, c.chosen) << static_cast<int>(scope);
        }
    }
}

TEST(RegistryScan, ARuntimeOfTheOtherBitnessIsSkippedAndOneOfUnknownBitnessKept)
{
    const std::uint16_t other = ownMachine == 0x8664 ? 0x14C : 0x8664;
    struct Case {
        std::string library;
        SkipReason expected;
    };
    const Case cases[] = {
        {test::peImage(other), SkipReason::OtherBitness},
        {test::peImage(ownMachine), SkipReason::None},
        {"", SkipReason::None},                 // our empty fixtures: bitness unknown
        {"MZ", SkipReason::None},               // cut short
        {std::string(0x90, 'x'), SkipReason::None}, // no PE image
    };
    for (const Case& c : cases) {
        existingFiles().clear();
        test::fileContents().clear();
        addRuntimeHome("C:\\jdk\\", {"server"});
        test::fileContents()["C:\\jdk\\bin\\server\\jvm.dll"] = c.library;
        FakeRegistry registry;
        registry.addHome(rootNamed("Software\\JavaSoft\\JDK\\"), "17", "C:\\jdk");
        RegistryScan result = scan(settingsFor(""), registry);
        ASSERT_EQ(result.entries.size(), 1u);
        EXPECT_EQ(result.entries[0].skip, c.expected) << c.library.size();
    }
}

TEST(RegistryScan, PeMachineAndReleaseVersionReadTheirFields)
{
    EXPECT_EQ(peMachine(test::peImage(0x14C)), 0x14C);
    EXPECT_EQ(peMachine(test::peImage(0x8664)), 0x8664);
    std::string farHeader = test::peImage(0x8664);
    farHeader[0x3D] = 0x7F; // the header beyond the bytes read
    EXPECT_EQ(peMachine(farHeader), 0);

    struct Case {
        const char* release;
        const char* version;
    };
    const Case cases[] = {
        {"JAVA_VERSION=\"17.0.9\"\r\nOS_NAME=\"Windows\"", "17.0.9"},
        {"IMPLEMENTOR=\"x\"\nJAVA_VERSION=21.0.1\n", "21.0.1"},
        {"JAVA_VERSION=\"1.8.0_392\" MODULES=\"9\"", "1.8.0.392"},
        {"JAVA_RUNTIME_VERSION=\"17.0.9+9\"", "0.0.0.0"},
        {"", "0.0.0.0"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(releaseVersion(c.release).format(), c.version) << c.release;
}

} // namespace kanne
