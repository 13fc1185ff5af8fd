#include "runtime/CandidateRanking.h"

#include "launcher/Configuration.h"

#include <gtest/gtest.h>

namespace kanne {

namespace {
// name: the subkey name, also its version; "*" after the kind marks a
// favoured kind, "+" a server VM: "JDK*+:1.5.0_11".
RuntimeCandidate candidate(const std::string& description)
{
    RuntimeCandidate c;
    std::size_t colon = description.find(':');
    std::string flags = description.substr(0, colon);
    c.kind = flags.rfind("JDK", 0) == 0 ? RuntimeKind::Jdk : RuntimeKind::Jre;
    c.favoredKind = flags.find('*') != std::string::npos;
    c.isServer = flags.find('+') != std::string::npos;
    c.subkeyName = description.substr(colon + 1);
    c.version = VersionNumber::parsed(c.subkeyName, VersionNumber::lowestFill);
    c.javaHome = "C:\\" + description.substr(0, 3) + c.subkeyName + "\\";
    return c;
}

std::vector<RuntimeCandidate> candidates(std::initializer_list<const char*> descriptions)
{
    std::vector<RuntimeCandidate> list;
    for (const char* description : descriptions)
        list.push_back(candidate(description));
    return list;
}

std::string order(const std::vector<RuntimeCandidate>& list)
{
    std::string text;
    for (const RuntimeCandidate& c : list)
        text += (text.empty() ? "" : " ") + std::string(kindName(c.kind)) + ":" + c.subkeyName;
    return text;
}

DiscoverySettings settingsFor(const char* jvmSource, JvmType jvmType, const char* preferred)
{
    DiscoverySettings settings;
    RuntimeKinds kinds = runtimeKindsFor(jvmSource);
    settings.bothKinds = kinds.bothKinds;
    settings.favorJdk = kinds.favorJdk;
    settings.favorJre = kinds.favorJre;
    settings.jvmType = jvmType;
    splitString(settings.preferredVersions, preferred, ";");
    return settings;
}
} // namespace

TEST(CandidateRanking, TheFirstSeparatingTestDecides)
{
    struct Case {
        const char* a;
        const char* b;
        bool bothKinds;
        JvmType jvmType;
        bool aAbove, bAbove;
    };
    const Case cases[] = {
        {"JDK*:1.5.0_11", "JRE:1.6.0_05", true, JvmType::Default, true, false},   // favoured kind first
        {"JDK*:1.5.0_11", "JRE:1.6.0_05", false, JvmType::Default, false, true},  // only one kind: flag ignored
        {"JDK+:1.5.0_11", "JRE:1.6.0_05", true, JvmType::FavorServer, true, false},
        {"JDK+:1.5.0_11", "JRE:1.6.0_05", true, JvmType::Default, false, true},   // server counts only then
        {"JDK+:1.5.0_11", "JRE:1.6.0_05", true, JvmType::Server, false, true},
        {"JRE*:1.4", "JDK+:1.6", true, JvmType::FavorServer, true, false},        // the kind before the server VM
        {"JRE:1.6", "JRE:1.6.0", true, JvmType::Default, false, false},           // equal: neither
        {"JRE:1.6.0_10", "JRE:1.6.0_9", true, JvmType::Default, true, false},     // numbers, not texts
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.a) + " vs " + c.b);
        EXPECT_EQ(ranksAbove(candidate(c.a), candidate(c.b), c.bothKinds, c.jvmType), c.aAbove);
        EXPECT_EQ(ranksAbove(candidate(c.b), candidate(c.a), c.bothKinds, c.jvmType), c.bAbove);
    }
}

TEST(CandidateRanking, SortOrdersByKindServerAndVersionAndKeepsTiesInScanOrder)
{
    struct Case {
        const char* name;
        std::vector<RuntimeCandidate> list;
        const char* jvmSource;
        JvmType jvmType;
        const char* sorted;
    };
    const Case cases[] = {
        {"favor_JDK", candidates({"JDK*:1.5.0_11", "JRE:1.6.0_05"}), "favor_JDK", JvmType::Default,
         "JDK:1.5.0_11 JRE:1.6.0_05"},
        {"favor_JRE", candidates({"JDK:1.5.0_11", "JRE*:1.6.0_05", "JRE*:1.4.2"}), "favor_JRE", JvmType::Default,
         "JRE:1.6.0_05 JRE:1.4.2 JDK:1.5.0_11"},
        {"only_JDK: newest first", candidates({"JDK*:1.5.0_11", "JDK*:1.6.0_05"}), "only_JDK", JvmType::Default,
         "JDK:1.6.0_05 JDK:1.5.0_11"},
        {"favor_server: a JDK with a server VM before a newer JRE recorded as client",
         candidates({"JDK+:1.5.0_11", "JRE:1.6.0_05"}), "", JvmType::FavorServer, "JDK:1.5.0_11 JRE:1.6.0_05"},
        {"no preference: newest first", candidates({"JDK+:1.5.0_11", "JRE:1.6.0_05", "JRE:1.4.2"}), "",
         JvmType::Default, "JRE:1.6.0_05 JDK:1.5.0_11 JRE:1.4.2"},
        {"equal versions keep scan order", candidates({"JRE:1.6", "JRE:1.6.0", "JRE:1.6.0_00", "JRE:1.5"}), "",
         JvmType::Default, "JRE:1.6 JRE:1.6.0 JRE:1.6.0_00 JRE:1.5"},
        {"a tie between kinds leaves the JDK first", candidates({"JDK:1.6.0_05", "JRE:1.6.0_05"}), "",
         JvmType::Default, "JDK:1.6.0_05 JRE:1.6.0_05"},
        {"empty list", {}, "", JvmType::Default, ""},
    };
    for (const Case& c : cases) {
        std::vector<RuntimeCandidate> list = c.list;
        DiscoverySettings settings = settingsFor(c.jvmSource, c.jvmType, "");
        sortCandidates(list, settings.bothKinds, settings.jvmType);
        EXPECT_EQ(order(list), c.sorted) << c.name;
    }
}

TEST(CandidateRanking, PreferredVersionsDecideInTheirListOrder)
{
    struct Case {
        const char* name;
        std::vector<RuntimeCandidate> list;
        const char* preferred;
        const char* chosen; // "" when nothing is chosen
        int preferredIndex;
    };
    const Case cases[] = {
        {"the first preferred version that matches decides", candidates({"JRE:1.6.0_05", "JRE:1.5.0_11"}), "1.5;1.6",
         "1.5.0_11", 0},
        {"a later preferred version is used when the first matches none",
         candidates({"JRE:1.6.0_05", "JRE:1.5.0_11"}), "1.4;1.6", "1.6.0_05", 1},
        {"no match: the best ranked", candidates({"JRE:1.5.0_11", "JRE:1.6.0_05"}), "1.4", "1.6.0_05", -1},
        {"among matches the ranking decides", candidates({"JRE:1.6.0_03", "JRE:1.5.0_11", "JRE:1.6.0_05"}), "1.6",
         "1.6.0_05", 0},
        {"a longer preferred version needs as many components", candidates({"JRE:1.6", "JRE:1.5.0_11"}),
         "1.6.0_05", "1.6", -1},
        {"an equal version matches whatever its count", candidates({"JRE:1.6", "JRE:1.5.0_11"}), "1.6.0_00", "1.6",
         0},
        {"no preferred versions: the best ranked", candidates({"JRE:1.5.0_11", "JRE:1.6.0_05"}), "", "1.6.0_05",
         -1},
        // An absent setting or an empty item names no version: a subkey
        // without digits (all zero) is not preferred by it.
        {"empty items prefer nothing", candidates({"JRE:1.6.0_05", "JRE:beta"}), ";1.4;", "1.6.0_05", -1},
        {"a single candidate is chosen whatever is preferred", candidates({"JRE:1.3.1"}), "1.6", "1.3.1", -1},
        {"no candidate", {}, "1.6", "", -1},
    };
    for (const Case& c : cases) {
        std::vector<RuntimeCandidate> list = c.list;
        CandidateChoice choice = chooseCandidate(list, settingsFor("", JvmType::Default, c.preferred));
        if (*c.chosen == '\0') {
            EXPECT_EQ(choice.index, -1) << c.name;
            continue;
        }
        ASSERT_GE(choice.index, 0) << c.name;
        EXPECT_EQ(list[static_cast<std::size_t>(choice.index)].subkeyName, c.chosen) << c.name;
        EXPECT_EQ(choice.preferredIndex, c.preferredIndex) << c.name;
    }
}

TEST(CandidateRanking, ChoosingSortsTheList)
{
    std::vector<RuntimeCandidate> list = candidates({"JRE:1.4.2", "JDK*:1.5.0_11", "JRE:1.6.0_05"});
    CandidateChoice choice = chooseCandidate(list, settingsFor("favor_JDK", JvmType::Default, ""));
    EXPECT_EQ(order(list), "JDK:1.5.0_11 JRE:1.6.0_05 JRE:1.4.2");
    EXPECT_EQ(choice.index, 0);
}

} // namespace kanne
