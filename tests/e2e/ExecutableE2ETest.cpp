// What the built executables carry: only system imports, the German string
// table, the manifest, the icon and the version information.
#include "e2e/Harness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <cctype>
#include <set>

namespace kanne::e2e {

namespace {

struct ImportTables {
    std::string machine;
    std::set<std::string> imported; // loaded with the executable
    std::set<std::string> delayed;  // loaded at the first call of one of their functions
};

// The DLL names in the import and delay-import tables of a PE file, read
// from its bytes, in lower case.
bool readImportTables(const std::string& path, ImportTables& tables)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    std::string bytes(GetFileSize(file, nullptr), '\0');
    DWORD got = 0;
    ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
    CloseHandle(file);

    auto at = [&](std::size_t offset, auto value) {
        std::memcpy(&value, bytes.data() + offset, sizeof value);
        return value;
    };
    auto headers = at(0x3C, std::uint32_t{});
    auto fileHeader = headers + 4;
    tables.machine = at(fileHeader, std::uint16_t{}) == IMAGE_FILE_MACHINE_AMD64 ? "x86_64" : "i686";
    auto sections = at(fileHeader + 2, std::uint16_t{});
    auto optionalSize = at(fileHeader + 16, std::uint16_t{});
    auto optional = fileHeader + 20;
    bool pe32Plus = at(optional, std::uint16_t{}) == 0x20B;
    std::uint64_t imageBase = pe32Plus ? at(optional + 24, std::uint64_t{}) : at(optional + 28, std::uint32_t{});
    auto directories = optional + (pe32Plus ? 112 : 96);
    auto importRva = at(directories + IMAGE_DIRECTORY_ENTRY_IMPORT * 8, std::uint32_t{});
    auto delayRva = at(directories + IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT * 8, std::uint32_t{});
    auto sectionTable = optional + optionalSize;
    auto toOffset = [&](std::uint32_t rva) -> std::size_t {
        for (unsigned i = 0; i < sections; ++i) {
            auto s = sectionTable + i * 40;
            auto virtualAddress = at(s + 12, std::uint32_t{});
            auto rawSize = at(s + 16, std::uint32_t{});
            auto rawOffset = at(s + 20, std::uint32_t{});
            if (rva >= virtualAddress && rva < virtualAddress + rawSize)
                return rva - virtualAddress + rawOffset;
        }
        return 0;
    };
    auto nameAt = [&](std::uint32_t rva) {
        std::string name(bytes.data() + toOffset(rva));
        std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
        return name;
    };
    for (std::size_t entry = toOffset(importRva); entry && at(entry + 12, std::uint32_t{}); entry += 20)
        tables.imported.insert(nameAt(at(entry + 12, std::uint32_t{})));
    // A delay-import descriptor names its DLL by RVA when its first bit is
    // set, else (the old form) by address.
    for (std::size_t entry = delayRva ? toOffset(delayRva) : 0; entry && at(entry + 4, std::uint32_t{}); entry += 32) {
        std::uint32_t name = at(entry + 4, std::uint32_t{});
        tables.delayed.insert(nameAt(at(entry, std::uint32_t{}) & 1 ? name : static_cast<std::uint32_t>(name - imageBase)));
    }
    return true;
}

std::vector<std::string> builtExecutables()
{
    std::vector<std::string> exes{toolPaths().kanne};
    if (!toolPaths().otherArchKanne.empty())
        exes.push_back(toolPaths().otherArchKanne);
    return exes;
}

} // namespace

TEST(Executable, ImportsOnlySystemLibraries)
{
    const std::set<std::string> system = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll",
                                          "shell32.dll",  "ole32.dll",  "comctl32.dll", "msvcrt.dll"};
    if (toolPaths().otherArchKanne.empty())
        std::printf("note: only this build's kanne.exe is checked (the other target was not built)\n");
    for (const std::string& exe : builtExecutables()) {
        ImportTables tables;
        ASSERT_TRUE(readImportTables(exe, tables)) << exe;
        EXPECT_FALSE(tables.imported.empty()) << exe;
        for (const std::string& dll : tables.imported)
            EXPECT_TRUE(system.count(dll)) << exe << " (" << tables.machine << ") imports " << dll;
        for (const std::string& dll : tables.delayed)
            EXPECT_TRUE(system.count(dll)) << exe << " (" << tables.machine << ") delay-imports " << dll;
    }
}

TEST(Executable, LoadsOnlyKernel32AndMsvcrtAtStart)
{
    // Every other DLL costs start-up time, under Wine 25 to 80 ms each: the
    // window manager, GDI, the shell, COM and the registry are delay-loaded.
    for (const std::string& exe : builtExecutables()) {
        ImportTables tables;
        ASSERT_TRUE(readImportTables(exe, tables)) << exe;
        EXPECT_EQ(tables.imported, (std::set<std::string>{"kernel32.dll", "msvcrt.dll"}))
            << exe << " (" << tables.machine << ")";
        EXPECT_TRUE(tables.delayed.count("user32.dll")) << exe << " (" << tables.machine << ")";
    }
}

TEST(Executable, StaysSmall)
{
    // The launcher carries no C++ exception machinery; a change that pulls it
    // in (a throwing library call, a guarded static) shows here first.
    for (const std::string& exe : builtExecutables()) {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        ASSERT_TRUE(GetFileAttributesExA(exe.c_str(), GetFileExInfoStandard, &data)) << exe;
        EXPECT_LT(data.nFileSizeLow, 100u * 1024u) << exe;
        EXPECT_EQ(data.nFileSizeHigh, 0u) << exe;
    }
}

TEST(Executable, CarriesGermanTextsManifestIconAndVersion)
{
    for (const std::string& exe : builtExecutables()) {
        SCOPED_TRACE(exe);
        HMODULE image = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(image, nullptr);
        char text[512];
        ASSERT_GT(LoadStringA(image, 209, text, sizeof text), 0);
        EXPECT_STREQ(text, "Java Class Pfad in der INI-Datei nicht spezifiziert.");
        ASSERT_GT(LoadStringA(image, 222, text, sizeof text), 0);
        EXPECT_STREQ(text, "Laden der Java VM Bibliothek: %s (errno = %d).\n fehlgeschlagen");
        EXPECT_NE(FindResourceExA(image, RT_STRING, MAKEINTRESOURCEA(209 / 16 + 1),
                                  MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN)),
                  nullptr);

        HRSRC manifest = FindResourceA(image, MAKEINTRESOURCEA(1), RT_MANIFEST);
        ASSERT_NE(manifest, nullptr);
        std::string xml(static_cast<const char*>(LockResource(LoadResource(image, manifest))),
                        SizeofResource(image, manifest));
        EXPECT_NE(xml.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos);
        EXPECT_NE(xml.find("level=\"asInvoker\""), std::string::npos);

        EXPECT_NE(FindResourceA(image, MAKEINTRESOURCEA(1), RT_GROUP_ICON), nullptr);

        FreeLibrary(image);

        DWORD size = GetFileVersionInfoSizeA(exe.c_str(), nullptr);
        ASSERT_GT(size, 0u);
        std::string info(size, '\0');
        ASSERT_TRUE(GetFileVersionInfoA(exe.c_str(), 0, size, info.data()));
        for (const auto& [key, expected] : {std::pair{"ProductName", "Kanne"},
                                            std::pair{"FileDescription", "Kanne Java application launcher"},
                                            std::pair{"OriginalFilename", "kanne.exe"}}) {
            char* value = nullptr;
            UINT length = 0;
            std::string path = std::string("\\StringFileInfo\\040704E4\\") + key;
            ASSERT_TRUE(VerQueryValueA(info.data(), path.c_str(), reinterpret_cast<void**>(&value), &length)) << key;
            EXPECT_STREQ(value, expected);
        }
    }
}

} // namespace kanne::e2e
