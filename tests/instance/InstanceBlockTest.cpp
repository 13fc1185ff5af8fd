#include "instance/InstanceBlock.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace kanne {

namespace {
StringList listOf(const std::vector<std::string>& items)
{
    StringList list;
    for (const std::string& item : items)
        list.add(item);
    return list;
}
std::vector<std::string> items(const StringList& list) { return {list.begin(), list.end()}; }
} // namespace

TEST(InstanceBlock, ArgumentsSurvivePackingAsTheEncodingAllows)
{
    struct Case {
        std::vector<std::string> sent;
        bool fits;
        std::vector<std::string> received;
    };
    const Case cases[] = {
        {{"a", "b c", "\xE4"}, true, {"a", "b c", "\xE4"}},
        {{}, true, {""}},
        {{"a", "", "b"}, true, {"a"}},
        {{"", "b"}, true, {"", "b"}},
        {{std::string(1038, 'x')}, true, {std::string(1038, 'x')}},
        {{std::string(1039, 'x')}, false, {}},
        {{std::string(518, 'a'), std::string(518, 'b')}, true, {std::string(518, 'a'), std::string(518, 'b')}},
        {{std::string(519, 'a'), std::string(519, 'b')}, false, {}},
    };
    for (const Case& c : cases) {
        char area[InstanceBlock::argumentAreaSize];
        std::memset(area, 'q', sizeof area);
        ASSERT_EQ(packArguments(listOf(c.sent), area), c.fits) << c.sent.size();
        if (!c.fits) {
            EXPECT_EQ(area[0], 'q') << "a list that does not fit leaves the area alone";
            continue;
        }
        EXPECT_EQ(items(unpackArguments(area)), c.received);
    }
}

TEST(InstanceBlock, GarbageIsReadWithinTheArea)
{
    char area[InstanceBlock::argumentAreaSize];
    std::memset(area, 'g', sizeof area);
    EXPECT_TRUE(unpackArguments(area).empty()) << "no terminator: nothing complete to read";
    area[10] = '\0';
    EXPECT_EQ(items(unpackArguments(area)), (std::vector<std::string>{std::string(10, 'g')}));
}

TEST(InstanceBlock, NameReplacesEveryBackslash)
{
    EXPECT_EQ(instanceNameFor("C:\\Program Files\\Tool\\run.exe"), "C:_Program Files_Tool_run.exe");
    EXPECT_EQ(instanceNameFor("C:\\x\x95\\y"), "C:_x\x95_y");
}

} // namespace kanne
