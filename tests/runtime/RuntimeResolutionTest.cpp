#include "runtime/RuntimeResolution.h"

#include "launcher/Configuration.h"
#include "runtime/RuntimeFakes.h"
#include "support/TestText.h"

#include <gtest/gtest.h>

namespace kanne {

namespace {
using test::addRuntimeHome;
using test::existingFiles;
using test::FakeRegistry;

const char* const appFolder = "C:\\App\\";

DiscoveryPlace besideApp()
{
    DiscoveryPlace place;
    place.executableFolderKnown = true;
    place.executableFolder = appFolder;
    return place;
}

Discovery discover(const DiscoverySettings& settings, FakeRegistry& registry,
                   DiscoveryScope scope = DiscoveryScope::Chain, const DiscoveryPlace& place = besideApp(),
                   CharStep step = test::singleByteStep)
{
    return discoverRuntime(settings, place, registry, scope, test::fakeFileExists, step);
}

DiscoverySettings withJrePath(const char* jrePath, JvmType jvmType = JvmType::Default)
{
    DiscoverySettings settings;
    settings.jrePath = jrePath;
    settings.jvmType = jvmType;
    return settings;
}
} // namespace

TEST(RuntimeResolution, ConfiguredFolderWithoutTrailingBackslash)
{
    existingFiles().clear();
    addRuntimeHome("C:\\MyJre\\", {"client"});
    FakeRegistry registry;
    Discovery d = discover(withJrePath("C:\\MyJre"), registry);
    EXPECT_EQ(d.jvmLibraryPath, "C:\\MyJre\\bin\\client\\jvm.dll");
    EXPECT_EQ(d.chosen, RuntimeSource::JrePath);
    EXPECT_EQ(d.configured.home, "C:\\MyJre\\");
    EXPECT_EQ(registry.listCalls, 0) << "the chain stops at the first source that yields a library";
}

TEST(RuntimeResolution, ConfiguredFolderEndingInATrailByteGetsItsBackslash)
{
    // 0x95 0x5C is one double-byte character whose second byte is the code of "\".
    existingFiles().clear();
    existingFiles().insert("C:\\\x95\\\\bin\\client\\jvm.dll");
    FakeRegistry registry;
    Discovery d = discover(withJrePath("C:\\\x95\\"), registry, DiscoveryScope::Chain, besideApp(), test::doubleByteStep);
    EXPECT_EQ(d.jvmLibraryPath, "C:\\\x95\\\\bin\\client\\jvm.dll");
}

TEST(RuntimeResolution, EachSourceIsTriedInTurn)
{
    struct Case {
        const char* name;
        const char* jrePath;
        std::vector<std::string> homes; // runtime homes with a client VM
        bool registered;                 // C:\Registered\ is registered as JRE 1.6
        RuntimeSource chosen;
        const char* library;
        SourceState configured, beside, registry;
    };
    const Case cases[] = {
        {"configured folder", "C:\\MyJre\\", {"C:\\MyJre\\", "C:\\App\\"}, true, RuntimeSource::JrePath,
         "C:\\MyJre\\bin\\client\\jvm.dll", SourceState::Found, SourceState::NotExamined, SourceState::NotExamined},
        {"configured folder without a library", "C:\\Empty\\", {"C:\\App\\"}, false, RuntimeSource::BesideExecutable,
         "C:\\App\\bin\\client\\jvm.dll", SourceState::NoLibrary, SourceState::Found, SourceState::NotExamined},
        {"runtime in the jre subfolder", "", {"C:\\App\\jre\\"}, true, RuntimeSource::BesideExecutable,
         "C:\\App\\jre\\bin\\client\\jvm.dll", SourceState::NotConfigured, SourceState::Found,
         SourceState::NotExamined},
        {"registry", "", {"C:\\Registered\\"}, true, RuntimeSource::Registry,
         "C:\\Registered\\bin\\client\\jvm.dll", SourceState::NotConfigured, SourceState::NoRuntime,
         SourceState::Found},
        {"nothing anywhere", "C:\\Missing", {}, false, RuntimeSource::None, "", SourceState::NoLibrary,
         SourceState::NoRuntime, SourceState::NoRuntime},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        existingFiles().clear();
        for (const std::string& home : c.homes)
            addRuntimeHome(home, {"client"});
        FakeRegistry registry;
        if (c.registered)
            registry.addHome(RuntimeKind::Jre, "1.6", "C:\\Registered");
        Discovery d = discover(withJrePath(c.jrePath), registry);
        EXPECT_EQ(d.chosen, c.chosen);
        EXPECT_EQ(d.jvmLibraryPath, c.library);
        EXPECT_EQ(d.configured.state, c.configured);
        EXPECT_EQ(d.beside.state, c.beside);
        EXPECT_EQ(d.registry.state, c.registry);

        // Examining everything for the report never changes the choice.
        FakeRegistry again;
        if (c.registered)
            again.addHome(RuntimeKind::Jre, "1.6", "C:\\Registered");
        Discovery all = discover(withJrePath(c.jrePath), again, DiscoveryScope::Everything);
        EXPECT_EQ(all.chosen, c.chosen);
        EXPECT_EQ(all.jvmLibraryPath, c.library);
        EXPECT_EQ(again.listCalls, static_cast<int>(rootCount));
    }
}

TEST(RuntimeResolution, ALibraryPlantedInTheCurrentFolderIsNeverProbed)
{
    existingFiles().clear();
    existingFiles().insert("bin\\client\\jvm.dll"); // relative: the current folder
    existingFiles().insert("bin\\java.dll");
    FakeRegistry registry;
    Discovery d = discover(withJrePath(""), registry);
    EXPECT_EQ(d.jvmLibraryPath, "");
    EXPECT_EQ(d.beside.state, SourceState::NoRuntime);

    DiscoveryPlace unknown; // the executable's folder could not be had
    Discovery blind = discover(withJrePath(""), registry, DiscoveryScope::Chain, unknown);
    EXPECT_EQ(blind.jvmLibraryPath, "");
    EXPECT_EQ(blind.beside.state, SourceState::Unavailable);
    EXPECT_EQ(blind.registry.state, SourceState::NoRuntime) << "the registry is still asked";
}

TEST(RuntimeResolution, TheChosenRegistryHomeIsProbedWithTheLaunchersOwnType)
{
    // Under favor_server the scan probes a JRE client first, so it ranks as a
    // client runtime; the chain's own probe then takes its server library.
    existingFiles().clear();
    addRuntimeHome("C:\\jre6\\", {"client", "server"});
    FakeRegistry registry;
    registry.addHome(RuntimeKind::Jre, "1.6.0_05", "C:\\jre6");
    DiscoverySettings settings = withJrePath("", JvmType::FavorServer);
    Discovery d = discover(settings, registry);
    ASSERT_EQ(d.ranked.size(), 1u);
    EXPECT_FALSE(d.ranked[0].isServer);
    EXPECT_EQ(d.ranked[0].jvmLibrary, "C:\\jre6\\bin\\client\\jvm.dll");
    EXPECT_EQ(d.jvmLibraryPath, "C:\\jre6\\bin\\server\\jvm.dll");
}

TEST(RuntimeResolution, TheRegistryChoiceFollowsRankingAndPreferredVersions)
{
    existingFiles().clear();
    addRuntimeHome("C:\\jdk15\\jre\\", {"client"});
    addRuntimeHome("C:\\jre16\\", {"client"});
    addRuntimeHome("C:\\jre14\\", {"client"});
    struct Case {
        bool bothKinds, favorJdk, favorJre;
        const char* preferred;
        const char* library;
    };
    const Case cases[] = {
        {true, false, false, "", "C:\\jre16\\bin\\client\\jvm.dll"},
        {true, true, false, "", "C:\\jdk15\\jre\\bin\\client\\jvm.dll"},
        {true, false, true, "", "C:\\jre16\\bin\\client\\jvm.dll"},
        {false, false, true, "", "C:\\jre16\\bin\\client\\jvm.dll"},
        {false, true, false, "", "C:\\jdk15\\jre\\bin\\client\\jvm.dll"},
        {true, false, false, "1.4;1.5", "C:\\jre14\\bin\\client\\jvm.dll"},
        {false, false, false, "", ""},
    };
    for (const Case& c : cases) {
        FakeRegistry registry;
        registry.addHome(RuntimeKind::Jdk, "1.5.0_11", "C:\\jdk15");
        registry.addHome(RuntimeKind::Jre, "1.6.0_05", "C:\\jre16");
        registry.addHome(RuntimeKind::Jre, "1.4.2_19", "C:\\jre14");
        DiscoverySettings settings;
        settings.bothKinds = c.bothKinds;
        settings.favorJdk = c.favorJdk;
        settings.favorJre = c.favorJre;
        splitString(settings.preferredVersions, c.preferred, ";");
        EXPECT_EQ(discover(settings, registry).jvmLibraryPath, c.library)
            << c.bothKinds << c.favorJdk << c.favorJre << " " << c.preferred;
    }
}

TEST(RuntimeResolution, TheChainReadsOnlyTheRegisteredRuntimesItsChoiceNeeds)
{
    existingFiles().clear();
    addRuntimeHome("C:\\jre16\\", {"client"});
    addRuntimeHome("C:\\jre15\\", {"client", "server"});
    addRuntimeHome("C:\\jre14\\", {"client"});
    struct Case {
        const char* name;
        const char* preferred;
        JvmType jvmType;
        bool newestBroken; // 1.7's "JavaHome" is missing
        const char* library;
        int valueReads;
    };
    const Case cases[] = {
        {"the best ranked is read first", "", JvmType::Default, false, "C:\\jre17\\bin\\client\\jvm.dll", 1},
        {"a broken one is passed over", "", JvmType::Default, true, "C:\\jre16\\bin\\client\\jvm.dll", 2},
        {"only runtimes matching a preferred version", "1.4", JvmType::Default, false,
         "C:\\jre14\\bin\\client\\jvm.dll", 1},
        {"preferred versions in turn", "1.3;1.5", JvmType::Default, true, "C:\\jre15\\bin\\client\\jvm.dll", 1},
        {"favor_server needs every server flag", "", JvmType::FavorServer, false,
         "C:\\jre17\\bin\\client\\jvm.dll", 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        existingFiles().insert("C:\\jre17\\bin\\client\\jvm.dll");
        FakeRegistry registry;
        registry.add(RuntimeKind::Jre, {{"1.5.0_11", test::text("C:\\jre15")},
                                        {"1.7.0", c.newestBroken ? RegistryValue{} : test::text("C:\\jre17")},
                                        {"1.4.2", test::text("C:\\jre14")},
                                        {"1.6.0_05", test::text("C:\\jre16")}});
        DiscoverySettings settings;
        settings.jvmType = c.jvmType;
        splitString(settings.preferredVersions, c.preferred, ";");
        EXPECT_EQ(discover(settings, registry).jvmLibraryPath, c.library);
        EXPECT_EQ(registry.valueReads, c.valueReads);
    }
}

TEST(RuntimeResolution, TheChainChoosesAsTheFullExaminationDoes)
{
    // Random registries and settings: reading on demand must never change the choice.
    unsigned seed = 20261211;
    auto next = [&](unsigned range) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % range;
    };
    const char* const flavours[] = {"client", "server", "hotspot"};
    const char* const sources[] = {"", "favor_JDK", "favor_JRE", "only_JDK", "only_JRE"};
    const char* const preferred[] = {"", "1.5", "1.6;1.4", "1.3", "1.7.0_01;1.5"};
    for (int round = 0; round < 300; ++round) {
        existingFiles().clear();
        FakeRegistry registry;
        for (RuntimeKind kind : {RuntimeKind::Jdk, RuntimeKind::Jre}) {
            std::vector<test::FakeSubkey> subkeys;
            for (unsigned n = next(6); n > 0; --n) {
                std::string version = "1." + std::to_string(3 + next(5)) + (next(2) ? ".0_0" + std::to_string(next(9)) : "");
                std::string home = "C:\\rt" + std::to_string(round) + "_" + std::to_string(subkeys.size()) +
                                   kindName(kind);
                std::string runtime = home + (kind == RuntimeKind::Jdk ? "\\jre\\" : "\\");
                if (next(4) != 0)
                    addRuntimeHome(runtime, {flavours[next(3)]});
                subkeys.push_back({version, next(5) == 0 ? RegistryValue{} : test::text(home)});
            }
            registry.add(kind, subkeys);
        }
        RuntimeKinds kinds = runtimeKindsFor(sources[next(5)]);
        DiscoverySettings settings;
        settings.bothKinds = kinds.bothKinds;
        settings.favorJdk = kinds.favorJdk;
        settings.favorJre = kinds.favorJre;
        settings.jvmType = static_cast<JvmType>(next(3));
        settings.minVersion = next(3) == 0 ? VersionNumber::parsed("1.4", VersionNumber::lowestFill) : VersionNumber{};
        splitString(settings.preferredVersions, preferred[next(5)], ";");

        std::string chain = discover(settings, registry).jvmLibraryPath;
        std::string full = discover(settings, registry, DiscoveryScope::Everything).jvmLibraryPath;
        ASSERT_EQ(chain, full) << "round " << round;
    }
}

} // namespace kanne
