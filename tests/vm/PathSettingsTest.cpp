#include "vm/PathSettings.h"

#include <gtest/gtest.h>

namespace kanne {

TEST(PathSettings, RuntimeHomeLiesTwoFoldersAboveTheLibrarysFolder)
{
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\Java\\jre\\bin\\client\\jvm.dll", "C:\\Java\\jre\\"},
        {"C:\\jdk-21\\bin\\server\\jvm.dll", "C:\\jdk-21\\"},
        {"bin\\client\\jvm.dll", ""},
        {"jvm.dll", ""},
        {"", ""},
    };
    for (const auto& [library, home] : cases)
        EXPECT_EQ(runtimeHomeOf(library), home) << library;
}

TEST(PathSettings, LibraryPathJoinsItsPartsWithSemicolonsAndSkipsEmptyOnes)
{
    struct Case {
        const char* libraryPath;
        const char* executableFolder;
        const char* runtimeHome;
        const char* expected;
    };
    const Case cases[] = {
        {"lib", "C:\\App\\", "C:\\Java\\jre\\", "lib;C:\\App\\;.;%Path%;C:\\Java\\jre\\lib"},
        {"lib;", "C:\\App\\", "C:\\Java\\jre\\", "lib;C:\\App\\;.;%Path%;C:\\Java\\jre\\lib"},
        {"lib", "", "", "lib;.;%Path%"},
        {"a;b", "C:\\App\\", "", "a;b;C:\\App\\;.;%Path%"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(composeLibraryPath(c.libraryPath, c.executableFolder, c.runtimeHome), c.expected) << c.libraryPath;
}

} // namespace kanne
