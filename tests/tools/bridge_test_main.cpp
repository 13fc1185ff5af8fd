// Entry point of the test runtime's tests.
//
//   testjvm_bridge_tests.exe [gtest flags] --runtime-home <dir>
//                            --jnihost <jnihost.exe> --classes <dir>
//
// Paths may be Windows paths or Unix paths (taken as Z:\...), so a build can
// pass its own file names unchanged.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cwchar>

#include "BridgeTest.h"

namespace bridge_test {

namespace {

Paths g_paths;

std::wstring windowsPath(std::wstring p)
{
    if (!p.empty() && p[0] == L'/')
        p = L"Z:" + p;
    for (wchar_t &c : p)
        if (c == L'/')
            c = L'\\';
    while (p.size() > 3 && p.back() == L'\\')
        p.pop_back();
    return p;
}

void removeTree(const std::wstring &dir)
{
    WIN32_FIND_DATAW found;
    HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &found);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            std::wstring child = dir + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                removeTree(child);
            else
                DeleteFileW(child.c_str());
        } while (FindNextFileW(h, &found));
        FindClose(h);
    }
    RemoveDirectoryW(dir.c_str());
}

// Each test starts with an empty scratch folder.
class ScratchFolder : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo &) override
    {
        removeTree(g_paths.scratch);
        CreateDirectoryW(g_paths.scratch.c_str(), nullptr);
    }
};

}  // namespace

const Paths &paths()
{
    return g_paths;
}

std::wstring jvmDll()
{
    return g_paths.runtimeHome + L"\\bin\\server\\jvm.dll";
}

std::string readFile(const std::wstring &path)
{
    std::string data;
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return data;
    char buffer[4096];
    DWORD n = 0;
    while (ReadFile(h, buffer, sizeof buffer, &n, nullptr) && n > 0)
        data.append(buffer, n);
    CloseHandle(h);
    return data;
}

bool fileExists(const std::wstring &path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace bridge_test

int wmain(int argc, wchar_t **argv)
{
    using bridge_test::g_paths;
    testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i + 1 < argc; i += 2) {
        std::wstring flag = argv[i];
        std::wstring value = bridge_test::windowsPath(argv[i + 1]);
        if (flag == L"--runtime-home")
            g_paths.runtimeHome = value;
        else if (flag == L"--jnihost")
            g_paths.jnihost = value;
        else if (flag == L"--classes")
            g_paths.classes = value;
        else
            break;
    }
    if (g_paths.runtimeHome.empty() || g_paths.jnihost.empty() || g_paths.classes.empty()) {
        std::fprintf(stderr, "usage: %ls [gtest flags] --runtime-home <dir> --jnihost <exe> "
                             "--classes <dir>\n", argv[0]);
        return 2;
    }
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    g_paths.scratch = bridge_test::windowsPath(temp) + L"\\kanne-bridge-" +
                      std::to_wstring(GetCurrentProcessId());
    testing::UnitTest::GetInstance()->listeners().Append(new bridge_test::ScratchFolder);
    int rc = RUN_ALL_TESTS();
    bridge_test::removeTree(g_paths.scratch);
    return rc;
}
