#include "vm/VmOptions.h"
#include "support/TestText.h"

#include <gtest/gtest.h>

#include <vector>

namespace kanne {

namespace {
std::vector<std::string> items(const StringList& list) { return {list.begin(), list.end()}; }
std::uint64_t twoGigabytes() { return 2097152; }
} // namespace

TEST(VmOptions, ParametersSplitAtBlanksOutsideQuotes)
{
    const std::pair<const char*, std::vector<std::string>> cases[] = {
        {"-Dtitle=\"My App\" -verbose", {"-Dtitle=My App", "-verbose"}},
        {"a\"b c\"d e", {"ab cd", "e"}},
        {"\"a b", {"\"a", "b"}},
        {"-Dq=\"say \"\"hi\"\"\"", {"-Dq=say \"hi\""}},
        {"x  y", {"x", "y"}},
        {"   ", {}},
        {"", {}},
        {"a \"\" b", {"a", "", "b"}},
        {"a\tb", {"a\tb"}},
        {"-Xmx50p -Xms10P -Xmx512m", {"-Xmx1048576K", "-Xms209715K", "-Xmx512m"}},
    };
    for (const auto& [value, expected] : cases) {
        StringList options;
        splitVmParameters(value, options, twoGigabytes, test::singleByteStep);
        EXPECT_EQ(items(options), expected) << value;
    }
}

TEST(VmOptions, OnlyHeapAndStackPercentagesAreRewritten)
{
    const std::pair<const char*, bool> cases[] = {
        {"-Xmx50p", true}, {"-Xmx50P", true}, {"-Xms1p", true}, {"-Xss1p", true}, {"-Xmxp", true},
        {"-XMX50p", false}, {"-Xmn50p", false}, {"-Xmx512m", false}, {"-Xmx50", false}, {"-Xmx", false},
    };
    for (const auto& [option, rewritten] : cases)
        EXPECT_EQ(isMemoryPercentOption(option), rewritten) << option;
}

TEST(VmOptions, PercentagesBecomeKilobytes)
{
    struct Case {
        const char* option;
        std::uint64_t kilobytes;
        const char* expected;
    };
    const Case cases[] = {
        {"-Xmx50p", 2097152, "-Xmx1048576K"},
        {"-Xms10P", 1048576, "-Xms104857K"},
        {"-Xss1p", 1048576, "-Xss10485K"},
        {"-Xmx29p", 100700, "-Xmx29202K"}, // 100700 * 0.29 is 29202.999...
        {"-Xmxp", 1048576, "-Xmxp0K"},
        {"-Xmx12.5p", 1000, "-Xmx1250K"},
        {"-Xmx50p", 64ull * 1024 * 1024, "-Xmx33554432K"}, // 64 GB: beyond the old 4 GB cap
        // Results and percentages beyond 32 bits stay as written for the VM to report.
        {"-Xmx100p", 8ull * 1024 * 1024 * 1024, "-Xmx100p"},
        {"-Xmx99999999999p", 1024, "-Xmx99999999999p"},
    };
    for (const Case& c : cases) {
        std::string option = c.option;
        applyMemoryPercent(option, c.kilobytes);
        EXPECT_EQ(option, c.expected) << c.option;
    }
}

TEST(VmOptions, FindOptionEndAndRemoveQuotes)
{
    EXPECT_EQ(findOptionEnd("ab cd", 0, test::singleByteStep), 2u);
    EXPECT_EQ(findOptionEnd("a\"b c\"d e", 0, test::singleByteStep), 7u);
    EXPECT_EQ(findOptionEnd("abc", 0, test::singleByteStep), 3u);
    EXPECT_EQ(findOptionEnd("\"a b\"", 0, test::singleByteStep), 5u);

    std::string unpaired = "a\"b";
    removeQuotes(unpaired, test::singleByteStep);
    EXPECT_EQ(unpaired, "a\"b");
    // A trail byte 0x22 of a double-byte character is not a quote.
    std::string wide = "\"\x83\x22 x\"";
    removeQuotes(wide, test::doubleByteStep);
    EXPECT_EQ(wide, "\x83\x22 x");
}

TEST(VmOptions, EnvironmentReferencesExpand)
{
    SetEnvironmentVariableA("KANNE_TEST_VAR", "value");
    std::string text = "%KANNE_TEST_VAR%\\x;%KANNE_NOT_DEFINED%";
    expandEnvironment(text);
    EXPECT_EQ(text, "value\\x;%KANNE_NOT_DEFINED%");
    std::string longText(20000, 'a'); // the system expands up to 32K characters
    longText += "%KANNE_TEST_VAR%";
    expandEnvironment(longText);
    EXPECT_TRUE(longText == std::string(20000, 'a') + "value");
}

} // namespace kanne
