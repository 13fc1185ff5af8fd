#include "runtime/RuntimeFakes.h"

namespace kanne::test {

std::set<std::string>& existingFiles()
{
    static std::set<std::string> files;
    return files;
}

bool fakeFileExists(const std::string& path) { return existingFiles().count(path) > 0; }

std::map<std::string, std::string>& fileContents()
{
    static std::map<std::string, std::string> contents;
    return contents;
}

std::string fakeFileRead(const std::string& path, std::size_t limit)
{
    auto file = fileContents().find(path);
    return file == fileContents().end() ? std::string() : file->second.substr(0, limit);
}

void addRuntimeHome(const std::string& home, std::initializer_list<const char*> flavours)
{
    existingFiles().insert(home + "bin\\java.dll");
    for (const char* flavour : flavours)
        existingFiles().insert(home + "bin\\" + flavour + "\\jvm.dll");
}

} // namespace kanne::test
