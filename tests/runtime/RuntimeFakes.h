#pragma once
// Tables standing in for the registry and the file system in the runtime
// discovery tests.
#include "runtime/RuntimeRegistry.h"

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace kanne::test {

struct FakeSubkey {
    std::string name;
    RegistryValue javaHome; // ValueType::Missing: no "JavaHome"
};

inline RegistryValue text(std::string value) { return {ValueType::Text, std::move(value)}; }

class FakeRegistry final : public RuntimeRegistry {
public:
    // A key that is never added does not exist. A RuntimeKind names the old
    // JavaSoft keys under HKEY_LOCAL_MACHINE.
    void add(RuntimeKind kind, std::vector<FakeSubkey> subkeys) { add(rootOf(kind), std::move(subkeys)); }
    void add(std::size_t root, std::vector<FakeSubkey> subkeys) { keys_[root] = std::move(subkeys); }
    void addHome(RuntimeKind kind, std::string name, std::string javaHome)
    {
        addHome(rootOf(kind), std::move(name), std::move(javaHome));
    }
    void addHome(std::size_t root, std::string name, std::string home)
    {
        keys_[root].push_back({std::move(name), text(std::move(home))});
    }

    SubkeyList listSubkeys(std::size_t root) override
    {
        ++listCalls;
        SubkeyList list;
        auto key = keys_.find(root);
        if (key == keys_.end())
            return list;
        list.opened = true;
        for (const FakeSubkey& subkey : key->second)
            list.names.push_back(subkey.name);
        return list;
    }
    RegistryValue readHome(std::size_t root, const std::string& name) override
    {
        ++valueReads;
        for (const FakeSubkey& subkey : keys_[root])
            if (subkey.name == name)
                return subkey.javaHome;
        return {};
    }

    int listCalls = 0;
    int valueReads = 0;

private:
    std::map<std::size_t, std::vector<FakeSubkey>> keys_;
};

// The files that exist, for FileTest; tests replace the set as a whole.
std::set<std::string>& existingFiles();
bool fakeFileExists(const std::string& path);
// The contents of files for FileRead ("" for any other), replaced as a whole.
std::map<std::string, std::string>& fileContents();
std::string fakeFileRead(const std::string& path, std::size_t limit);

// Lays out a runtime home: "bin\java.dll" and the named flavours' jvm.dll.
void addRuntimeHome(const std::string& home, std::initializer_list<const char*> flavours);

} // namespace kanne::test
