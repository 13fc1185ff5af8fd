#include "launcher/TextWalk.h"
#include "support/TestText.h"

#include <gtest/gtest.h>

namespace kanne {

using test::doubleByteStep;

TEST(TextWalk, TrailBytesAreNeverTakenForSeparators)
{
    // 0x95 0x5C is one double-byte character whose trail byte is "\".
    const std::string path = "C:\\a\x95\x5C" "b\\c.d\x95\x2E" "e";
    EXPECT_EQ(findLastChar(path, '\\', doubleByteStep), 7u);
    EXPECT_EQ(findLastChar(path, '.', doubleByteStep), 9u);
    EXPECT_EQ(findChar(path, '\\', 3, doubleByteStep), 7u);
    EXPECT_EQ(findChar(path, '\\', 3, test::singleByteStep), 5u);

    std::string name = "com.\x95." "x";
    replaceChar(name, '.', '/', doubleByteStep);
    EXPECT_EQ(name, "com/\x95.x");
}

TEST(TextWalk, SearchesFromBeyondTheEndFindNothing)
{
    EXPECT_EQ(findChar("abc", 'c', 3), npos);
    EXPECT_EQ(findChar("abc", 'c', 99), npos);
    EXPECT_EQ(findChar("", 'c'), npos);
    EXPECT_EQ(findLastChar("", 'c'), npos);
}

} // namespace kanne
