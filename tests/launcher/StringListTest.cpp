#include "launcher/StringList.h"

#include <gtest/gtest.h>

namespace kanne {

TEST(StringList, FindIsExactAndCaseSensitiveAndFindsTheFirst)
{
    StringList list;
    for (const char* item : {"-nosplash", "x", "", "x"})
        list.add(item);
    EXPECT_EQ(list.find("-nosplash"), 0);
    EXPECT_EQ(list.find("x"), 1);
    EXPECT_EQ(list.find(""), 2);
    EXPECT_EQ(list.find("-NoSplash"), -1);
    EXPECT_EQ(list.find("-nosplash "), -1);
}

TEST(StringList, RemoveAtClosesTheGapAndRefusesIndexesOutside)
{
    StringList list;
    for (const char* item : {"a", "b", "c"})
        list.add(item);
    EXPECT_FALSE(list.removeAt(-1));
    EXPECT_FALSE(list.removeAt(3));
    ASSERT_TRUE(list.removeAt(1));
    ASSERT_EQ(list.count(), 2);
    EXPECT_EQ(list[0], "a");
    EXPECT_EQ(list[1], "c");

    StringList empty;
    EXPECT_FALSE(empty.removeAt(0));
}

} // namespace kanne
