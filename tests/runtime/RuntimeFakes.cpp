#include "runtime/RuntimeFakes.h"

namespace kanne::test {

std::set<std::string>& existingFiles()
{
    static std::set<std::string> files;
    return files;
}

bool fakeFileExists(const std::string& path) { return existingFiles().count(path) > 0; }

void addRuntimeHome(const std::string& home, std::initializer_list<const char*> flavours)
{
    existingFiles().insert(home + "bin\\java.dll");
    for (const char* flavour : flavours)
        existingFiles().insert(home + "bin\\" + flavour + "\\jvm.dll");
}

} // namespace kanne::test
