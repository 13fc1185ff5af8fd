#include "runtime/RegistryScan.h"

#include "launcher/Configuration.h"
#include "runtime/RuntimeFakes.h"
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
    return scanRegistry(settings, registry, scope, fakeFileExists, test::singleByteStep);
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

TEST(RegistryScan, JvmSourceDecidesWhichKeysAreListed)
{
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
        {"", ScanScope::Wanted, "JDK:1.5.0_11 JRE:1.6.0_05", 2, false, false},
        {"favor_JDK", ScanScope::Wanted, "JDK:1.5.0_11 JRE:1.6.0_05", 2, true, false},
        {"favor_JRE", ScanScope::Wanted, "JDK:1.5.0_11 JRE:1.6.0_05", 2, false, true},
        {"only_JDK", ScanScope::Wanted, "JDK:1.5.0_11", 1, true, false},
        {"only_JRE", ScanScope::Wanted, "JRE:1.6.0_05", 1, false, true},
        {"bogus", ScanScope::Wanted, "", 0, false, false},
        // For the report every key is listed, the excluded ones without candidates.
        {"only_JDK", ScanScope::All, "JDK:1.5.0_11", 2, true, false},
        {"bogus", ScanScope::All, "", 2, false, false},
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

} // namespace kanne
