// Whole runs of jnihost.exe against the test runtime, one process per test.
//
// The Linux VM inside the child writes straight to the child's Unix
// stdout/stderr, not through Windows handles, so the Java side reports what
// it saw through files in the scratch folder.  Java takes file names as Unix
// paths, so they are passed relative to the working folder.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "BridgeTest.h"

using namespace bridge_test;

namespace {

// Quotes one argument the way CommandLineToArgvW / the C runtime split it.
std::wstring quote(const std::wstring &arg)
{
    if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos)
        return arg;
    std::wstring out = L"\"";
    size_t slashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') {
            slashes++;
            continue;
        }
        out.append(c == L'"' ? slashes * 2 + 1 : slashes, L'\\');
        slashes = 0;
        out += c;
    }
    out.append(slashes * 2, L'\\');
    return out + L"\"";
}

struct Outcome {
    DWORD exitCode = 0;
    std::string stderrText;  // what jnihost itself printed to stderr
};

// Runs jnihost.exe <jvm.dll> <args...> in `folder` (the scratch folder by
// default) with the test classes on the class path.
Outcome jnihost(const std::vector<std::wstring> &args, std::wstring folder = {},
            std::wstring classPath = {})
{
    if (folder.empty())
        folder = paths().scratch;
    if (classPath.empty())
        classPath = paths().classes;
    std::wstring cmd = quote(paths().jnihost) + L" " + quote(jvmDll());
    cmd += L" " + quote(args.at(0));  // main class
    cmd += L" --option " + quote(L"-Djava.class.path=" + classPath);
    for (size_t i = 1; i < args.size(); i++)
        cmd += L" " + quote(args[i]);

    std::wstring errFile = paths().scratch + L"\\jnihost.stderr";
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE err = CreateFileW(errFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                             CREATE_ALWAYS, 0, nullptr);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    si.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    si.hStdError = err;
    PROCESS_INFORMATION pi{};
    Outcome run;
    run.exitCode = 0xDEADBEEF;
    if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, TRUE, 0, nullptr, folder.c_str(),
                        &si, &pi)) {
        ADD_FAILURE() << "CreateProcess failed: " << GetLastError();
        CloseHandle(err);
        return run;
    }
    CloseHandle(err);
    if (WaitForSingleObject(pi.hProcess, 60000) != WAIT_OBJECT_0) {
        ADD_FAILURE() << "jnihost did not finish within 60 s";
        TerminateProcess(pi.hProcess, 1);
        WaitForSingleObject(pi.hProcess, INFINITE);
    }
    GetExitCodeProcess(pi.hProcess, &run.exitCode);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    run.stderrText = readFile(errFile);
    return run;
}

std::wstring scratchFile(const wchar_t *name)
{
    return paths().scratch + L"\\" + name;
}

constexpr DWORD kJavaThrew = 1;
constexpr DWORD kCreateFailed = static_cast<DWORD>(-3);
constexpr DWORD kNoClass = static_cast<DWORD>(-4);

}  // namespace

TEST(Jnihost, CallsMainOnTheMainThread)
{
    Outcome run = jnihost({L"WriteArgs", L"--", L"args.txt", L"one", L"two words"});
    EXPECT_EQ(run.exitCode, 0u) << run.stderrText;
    EXPECT_EQ(readFile(scratchFile(L"args.txt")), "main\none\ntwo words\n");
}

TEST(Jnihost, CallsMainOnAnAttachedWorkerThread)
{
    Outcome run = jnihost({L"WriteArgs", L"--on-worker", L"--", L"args.txt", L"x"});
    EXPECT_EQ(run.exitCode, 0u) << run.stderrText;
    EXPECT_EQ(readFile(scratchFile(L"args.txt")), "jnihost-worker\nx\n");
}

TEST(Jnihost, PassesNonAsciiArgumentsAsUtf16)
{
    // é, Cyrillic, CJK and a character outside the BMP (a surrogate pair).
    Outcome run = jnihost({L"WriteArgs", L"--", L"args.txt", L"h\u00e9llo",
                           L"\u043f\u0440\u0438\u0432\u0435\u0442", L"\u65e5\u672c\u8a9e",
                           L"\U0001F600"});
    EXPECT_EQ(run.exitCode, 0u) << run.stderrText;
    EXPECT_EQ(readFile(scratchFile(L"args.txt")),
              "main\nh\xc3\xa9llo\n\xd0\xbf\xd1\x80\xd0\xb8\xd0\xb2\xd0\xb5\xd1\x82\n"
              "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e\n\xf0\x9f\x98\x80\n");
}

TEST(Jnihost, CallsASecondaryMethodAfterMain)
{
    Outcome run = jnihost({L"WriteArgs", L"--secondary", L"secondary", L"--", L"args.txt",
                           L"again"});
    EXPECT_EQ(run.exitCode, 0u) << run.stderrText;
    EXPECT_EQ(readFile(scratchFile(L"args.txt")), "main\nagain\n");
    EXPECT_EQ(readFile(scratchFile(L"args.txt.secondary")), "main\nagain\n");
}

TEST(Jnihost, RedirectedSystemOutGoesToAFileInTheWorkingFolder)
{
    Outcome run = jnihost({L"RedirectOut", L"--", L"out.txt"});
    EXPECT_EQ(run.exitCode, 0u) << run.stderrText;
    std::string out = readFile(scratchFile(L"out.txt"));
    EXPECT_EQ(out.rfind("redirected out.txt\n", 0), 0u) << out;
}

TEST(Jnihost, DestroyJavaVMWaitsForNonDaemonThreads)
{
    Outcome run = jnihost({L"LingeringThread", L"--", L"late.txt"});
    EXPECT_EQ(run.exitCode, 0u) << run.stderrText;
    EXPECT_EQ(readFile(scratchFile(L"late.txt")), "written after main returned\n");
}

TEST(Jnihost, SystemExitEndsTheProcessWithItsCode)
{
    EXPECT_EQ(jnihost({L"ExitWith", L"--", L"37"}).exitCode, 37u);
    EXPECT_EQ(jnihost({L"ExitWith", L"--on-worker", L"--", L"38"}).exitCode, 38u);
}

TEST(Jnihost, ExitHookRunsBeforeTheProcessEnds)
{
    Outcome run = jnihost({L"ExitWith", L"--exit-hook", L"--", L"41"});
    EXPECT_EQ(run.exitCode, 41u);
    EXPECT_NE(run.stderrText.find("jnihost: exit hook called with 41"), std::string::npos)
        << run.stderrText;
}

// The VM's stack guard zones must sit on the stack the thread really uses.
TEST(Jnihost, StackOverflowIsAnErrorJavaCanCatch)
{
    Outcome run = jnihost({L"DeepRecursion", L"--", L"main.txt"});
    EXPECT_EQ(run.exitCode, 0u) << run.stderrText;
    EXPECT_EQ(readFile(scratchFile(L"main.txt")), "recovered twice");
    run = jnihost({L"DeepRecursion", L"--on-worker", L"--", L"worker.txt"});
    EXPECT_EQ(run.exitCode, 0u) << run.stderrText;
    EXPECT_EQ(readFile(scratchFile(L"worker.txt")), "recovered twice");
}

TEST(Jnihost, UnrecognisedOptionFailsCreationWithoutEndingTheProcess)
{
    Outcome run = jnihost({L"WriteArgs", L"--option", L"-Xno-such-option", L"--", L"args.txt"});
    // jnihost's own exit code and message: the process outlived the failure.
    EXPECT_EQ(run.exitCode, kCreateFailed);
    EXPECT_NE(run.stderrText.find("JNI_CreateJavaVM returned -"), std::string::npos)
        << run.stderrText;
    EXPECT_FALSE(fileExists(scratchFile(L"args.txt")));
}

TEST(Jnihost, ExceptionFromMainIsDescribed)
{
    Outcome run = jnihost({L"ThrowFromMain", L"--", L"err.txt"});
    EXPECT_EQ(run.exitCode, kJavaThrew);
    std::string err = readFile(scratchFile(L"err.txt"));
    EXPECT_NE(err.find("java.lang.IllegalStateException: thrown by ThrowFromMain"),
              std::string::npos) << err;
    EXPECT_NE(err.find("at ThrowFromMain.main("), std::string::npos) << err;
}

TEST(Jnihost, MissingMainClassIsReported)
{
    Outcome run = jnihost({L"NoSuchClass"});
    EXPECT_EQ(run.exitCode, kNoClass);
    EXPECT_NE(run.stderrText.find("class NoSuchClass not found"), std::string::npos)
        << run.stderrText;
}

TEST(Jnihost, WindowsClassPathListsBecomeUnixLists)
{
    // A missing entry on C: (whose Wine path has a colon), a relative entry
    // and the classes folder, which must still be found.
    Outcome run = jnihost({L"WriteProperty", L"--", L"cp.txt", L"java.class.path", L"user.dir"},
                          {}, L"C:\\no\\such.jar;.;" + paths().classes);
    EXPECT_EQ(run.exitCode, 0u) << run.stderrText;
    std::string text = readFile(scratchFile(L"cp.txt"));
    size_t eol = text.find('\n');
    ASSERT_NE(eol, std::string::npos) << text;
    std::string cp = text.substr(0, eol);
    std::string userDir = text.substr(eol + 1, text.find('\n', eol + 1) - eol - 1);
    EXPECT_EQ(cp.find(';'), std::string::npos) << cp;
    EXPECT_EQ(cp.find('\\'), std::string::npos) << cp;
    EXPECT_EQ(cp.find("dosdevices"), std::string::npos) << cp;
    EXPECT_EQ(cp.rfind('/', 0), 0u) << cp;
    EXPECT_NE(cp.find("/drive_c/no/such.jar:" + userDir + ":/"), std::string::npos)
        << cp << " / " << userDir;
}
