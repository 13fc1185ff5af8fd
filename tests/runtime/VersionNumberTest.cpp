#include "runtime/VersionNumber.h"

#include <gtest/gtest.h>

namespace kanne {

using Components = std::array<std::int32_t, 4>;

TEST(VersionNumber, ParseReadsDigitRuns)
{
    struct Case {
        const char* text;
        std::int32_t fill;
        Components components;
        int count;
        bool result;
    };
    const Case cases[] = {
        {"1.5.0_06", 0, {1, 5, 0, 6}, 4, true},
        {"1.6", 0, {1, 6, 0, 0}, 2, true},
        {"1.6", 65535, {1, 6, 65535, 65535}, 2, true},
        {"1.5.0_06-b03", 0, {1, 5, 0, 6}, 5, true},
        {"jre1..4", 0, {1, 4, 0, 0}, 2, true},
        {"", 65535, {0, 0, 0, 0}, 0, false},
        {"beta", 65535, {0, 0, 0, 0}, 0, false},
        {"17", 0, {17, 0, 0, 0}, 1, true},
        {"21.0.1+12", 0, {21, 0, 1, 12}, 4, true},
        {"1.8.0_392", 0, {1, 8, 0, 392}, 4, true},
        {"4294967297", 0, {1, 0, 0, 0}, 1, true},           // wraps at 32 bits
        {"2147483648", 0, {-2147483647 - 1, 0, 0, 0}, 1, true},
        {"99999999999999999999", 0, {1661992959, 0, 0, 0}, 1, true},
        {"1\xB2" "2", 0, {1, 2, 0, 0}, 2, true},               // a byte above 127 ends a run
        {"1.2.3.4.5.6", 0, {1, 2, 3, 4}, 5, true},
    };
    for (const Case& c : cases) {
        VersionNumber v;
        EXPECT_EQ(v.parse(c.text, c.fill), c.result) << c.text;
        EXPECT_EQ(v.components, c.components) << c.text;
        EXPECT_EQ(v.count, c.count) << c.text;
    }
}

TEST(VersionNumber, FormatLeavesTrailingFillersOut)
{
    const std::pair<Components, const char*> cases[] = {
        {{1, 6, 65535, 65535}, "1.6"}, {{1, 5, 0, 6}, "1.5.0.6"},
        {{1, 0, 0, 0}, "1"},           {{0, 0, 0, 0}, "0.0.0.0"},
        {{65535, 65535, 65535, 65535}, "0.0.0.0"}, {{1, 65535, 2, 0}, "1.65535.2"},
        {{-1, 0, 0, 0}, "-1"},
    };
    for (const auto& [components, text] : cases)
        EXPECT_EQ((VersionNumber{components, 4}).format(), text) << text;
}

TEST(VersionNumber, CompareAndEqualsIgnoreTheCount)
{
    auto v = [](const char* text) { return VersionNumber::parsed(text, 0); };
    EXPECT_EQ(v("1.6").compare(v("1.6.0")), 0);
    EXPECT_EQ(v("1.6").compare(v("1.6.0_00")), 0);
    EXPECT_TRUE(v("1.6").equals(v("1.6.0_00")));
    EXPECT_EQ(v("1.5.0_11").compare(v("1.6")), -1);
    EXPECT_EQ(v("1.6.0_99").compare(VersionNumber::parsed("1.6", 65535)), -1);
    EXPECT_EQ(v("17.0.9").compare(v("1.8.0_392")), 1);
    EXPECT_EQ(v("21.0.1+12").compare(v("21.0.1")), 1);
    EXPECT_EQ(v("2147483648").compare(v("1")), -1); // signed comparison
    EXPECT_EQ(v("1.2.3.4.5").compare(v("1.2.3.4")), 0);
}

TEST(VersionNumber, MatchesPrefix)
{
    auto v = [](const char* text) { return VersionNumber::parsed(text, 0); };
    struct Case {
        const char* candidate;
        const char* preferred;
        bool matches;
    };
    const Case cases[] = {
        {"1.6.0_05", "1.6", true},   {"1.6", "1.6.0_00", true},    {"1.6", "1.6.0_05", false},
        {"1.5.0_06", "1.6", false},  {"1.6.0_05", "", false},      {"0", "", true},
        {"1.2.3.4.5", "1.2.3.4", true}, {"17.0.9", "17", true},    {"17", "17.0.9", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(VersionNumber::matchesPrefix(v(c.candidate), v(c.preferred)), c.matches)
            << c.candidate << " / " << c.preferred;
}

TEST(VersionNumber, RequirementTextNamesTheBounds)
{
    auto low = [](const char* text) { return VersionNumber::parsed(text, 0); };
    auto high = [](const char* text) { return VersionNumber::parsed(text, 65535); };
    struct Case {
        VersionNumber min, max;
        const char* text;
    };
    const Case cases[] = {
        {VersionNumber::lowest(), VersionNumber::highest(), "Neueste Version"},
        {low(""), high(""), "Neueste Version"},
        {VersionNumber::lowest(), high("1.6"), "Maximum Version 1.6"},
        {low("1.5"), high(""), "Minimum Version 1.5"},
        {low("1.6.0_05"), high("1.6.0_05"), "Version 1.6.0.5 erforderlich"},
        {low("1.5"), high("1.6"), "Version zwischen 1.5 und 1.6"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(describeVersionRequirement(c.min, c.max), c.text) << c.text;
}

} // namespace kanne
