// Shared setup of the test runtime's tests: where the fixture runtime home,
// jnihost.exe and the compiled Java test classes are, and a scratch folder.
#pragma once

#include <string>

namespace bridge_test {

struct Paths {
    std::wstring runtimeHome;  // the folder holding bin\server\jvm.dll
    std::wstring jnihost;      // jnihost.exe
    std::wstring classes;      // compiled tests/tools/java classes
    std::wstring scratch;      // emptied for each test
};

const Paths &paths();
std::wstring jvmDll();

std::string readFile(const std::wstring &path);  // bytes; empty if missing
bool fileExists(const std::wstring &path);

}  // namespace bridge_test
