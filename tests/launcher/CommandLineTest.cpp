#include "launcher/CommandLine.h"
#include "support/TestText.h"

#include <gtest/gtest.h>

#include <vector>

namespace kanne {

namespace {
std::vector<std::string> items(const StringList& list) { return {list.begin(), list.end()}; }
bool isBlankOrTab(char c) { return c == ' ' || c == '\t'; }
const std::string P = "\"C:\\Program Files\\App\\Start.exe\"";
const std::string executable = "C:\\Program Files\\App\\Start.exe";
} // namespace

struct SplitCase {
    std::string commandLine;
    std::vector<std::string> expected;
};

TEST(CommandLine, ArgumentsFollowTheLaunchersOwnSplitRule)
{
    const SplitCase cases[] = {
        {P, {}},
        {P + "\t", {}},
        {P + " a\tb", {"a\tb"}},
        {P + " a \"b c\" d", {"a", "b c", "d"}},
        {P + " a\"b c\"", {"a\"b", "c\""}},
        {P + " \"a\"b", {"a", "b"}},
        {P + " \"\" x", {"", "x"}},
        {P + " \"abc", {"abc"}},
        {P + " \"a\\\"b\"", {"a\\", "b\""}},
        {P + " -nosplash x", {"-nosplash", "x"}},
        {P + " -NoSplash", {"-NoSplash"}},
        {P + "   a    b  ", {"a", "b"}},
        {P + " \xE4rger \"\xFC ber\"", {"\xE4rger", "\xFC ber"}},
        {"Start.exe x", {"x"}},
        {"", {}},
    };
    for (const SplitCase& c : cases) {
        std::string_view trimmed = trimSpaces(c.commandLine, isBlankOrTab, test::singleByteStep);
        EXPECT_EQ(items(argumentsFromCommandLine(trimmed, executable, test::singleByteStep)), c.expected)
            << c.commandLine;
    }
}

TEST(CommandLine, UnquotedOwnPathIsTheExecutableWhole)
{
    const SplitCase cases[] = {
        {executable + " x", {"x"}},
        {executable, {}},
        {"c:\\program files\\app\\start.exe  \"a b\"", {"a b"}},
        // Only the whole path followed by a blank or the end counts.
        {executable + "x y", {"Files\\App\\Start.exex", "y"}},
        {"C:\\Program Files\\Other\\Start.exe x", {"Files\\Other\\Start.exe", "x"}},
    };
    for (const SplitCase& c : cases)
        EXPECT_EQ(items(argumentsFromCommandLine(c.commandLine, executable, test::singleByteStep)), c.expected)
            << c.commandLine;
}

TEST(CommandLine, TrimmingRemovesOnlyTheEnds)
{
    EXPECT_EQ(trimSpaces(" \t a\tb \t", isBlankOrTab, test::singleByteStep), "a\tb");
    EXPECT_EQ(trimSpaces(" \t ", isBlankOrTab, test::singleByteStep), "");
    EXPECT_EQ(trimSpaces("", isBlankOrTab, test::singleByteStep), "");
}

TEST(CommandLine, DoubleByteTrailQuoteDoesNotCloseAnElement)
{
    // 0x83 0x22 is one double-byte character whose trail byte is a quote.
    StringList list;
    splitCommandLine("\"a\x83\x22 b\" c", list, test::doubleByteStep);
    EXPECT_EQ(items(list), (std::vector<std::string>{"a\x83\x22 b", "c"}));
}

} // namespace kanne
