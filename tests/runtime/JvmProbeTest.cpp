#include "runtime/JvmProbe.h"

#include "runtime/RuntimeFakes.h"
#include "support/TestText.h"

#include <gtest/gtest.h>

namespace kanne {

using test::addRuntimeHome;
using test::existingFiles;

TEST(JvmProbe, TheJvmTypeSelectsTheProbeOrder)
{
    struct Case {
        std::initializer_list<const char*> flavours;
        JvmType jvmType;
        const char* found; // the flavour found, "" for none
    };
    const Case cases[] = {
        {{"client", "server"}, JvmType::Default, "client"},
        {{"client", "server"}, JvmType::FavorServer, "server"},
        {{"client", "server"}, JvmType::Server, "server"},
        {{"client"}, JvmType::Server, ""},
        {{"client"}, JvmType::FavorServer, "client"},
        {{"server"}, JvmType::Default, "server"},
        {{"hotspot"}, JvmType::Default, "hotspot"},
        {{"hotspot"}, JvmType::FavorServer, "hotspot"},
        {{"hotspot"}, JvmType::Server, ""},
        {{"classic", "hotspot"}, JvmType::Default, "classic"},
        {{}, JvmType::Default, ""},
    };
    for (const Case& c : cases) {
        existingFiles().clear();
        addRuntimeHome("C:\\jre\\", c.flavours);
        bool isServer = false;
        std::string library = probeJvmLibrary("C:\\jre\\", c.jvmType, isServer, test::fakeFileExists);
        std::string expected = *c.found ? std::string("C:\\jre\\bin\\") + c.found + "\\jvm.dll" : "";
        EXPECT_EQ(library, expected) << static_cast<int>(c.jvmType) << " " << c.found;
        EXPECT_EQ(isServer, std::string(c.found) == "server") << static_cast<int>(c.jvmType) << " " << c.found;
    }
}

TEST(JvmProbe, ABackslashIsAppendedUnlessTheLastCharacterIsOne)
{
    struct Case {
        const char* folder;
        CharStep step;
        const char* expected;
    };
    const Case cases[] = {
        {"C:\\jre", test::singleByteStep, "C:\\jre\\"},
        {"C:\\jre\\", test::singleByteStep, "C:\\jre\\"},
        {"C:\\", test::singleByteStep, "C:\\"},
        {"", test::singleByteStep, "\\"},
        {"C:\\\x95\\", test::doubleByteStep, "C:\\\x95\\\\"},     // the "\" is a trail byte
        {"C:\\\x95\\", test::singleByteStep, "C:\\\x95\\"},       // in a single-byte code page it is a "\"
        {"C:\\\x95\\\\", test::doubleByteStep, "C:\\\x95\\\\"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(withTrailingBackslash(c.folder, c.step), c.expected) << c.folder;
}

TEST(JvmProbe, OnlyFullPathsAreFullPaths)
{
    struct Case {
        const char* path;
        bool full;
    };
    const Case cases[] = {
        {"C:\\Java\\", true},  {"z:\\", true},       {"\\\\server\\share\\", true}, {"\\\\?\\C:\\Java\\", true},
        {"C:Java\\", false},   {"\\Java\\", false},  {"Java\\", false},             {"\\", false},
        {"", false},           {"\\\\\\x\\", false}, {"1:\\", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(isFullPath(c.path), c.full) << c.path;
}

TEST(JvmProbe, TheMarkerDecidesTheRuntimeBesideTheExecutable)
{
    struct Case {
        std::initializer_list<const char*> javaDlls;
        const char* home;
    };
    const Case cases[] = {
        {{"C:\\App\\"}, "C:\\App\\"},
        {{"C:\\App\\jre\\"}, "C:\\App\\jre\\"},
        {{"C:\\App\\", "C:\\App\\jre\\"}, "C:\\App\\"},
        {{}, ""},
    };
    for (const Case& c : cases) {
        existingFiles().clear();
        for (const char* home : c.javaDlls)
            existingFiles().insert(std::string(home) + "bin\\java.dll");
        EXPECT_EQ(runtimeBeside("C:\\App\\", test::fakeFileExists), c.home);
    }
    EXPECT_EQ(runtimeBeside("", test::fakeFileExists), "");
}

} // namespace kanne
