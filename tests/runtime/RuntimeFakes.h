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
    // A key that is never added does not exist.
    void add(RuntimeKind kind, std::vector<FakeSubkey> subkeys) { keys_[kind] = std::move(subkeys); }
    void addHome(RuntimeKind kind, std::string name, std::string javaHome)
    {
        keys_[kind].push_back({std::move(name), text(std::move(javaHome))});
    }

    SubkeyList listSubkeys(RuntimeKind kind) override
    {
        ++listCalls;
        SubkeyList list;
        auto key = keys_.find(kind);
        if (key == keys_.end())
            return list;
        list.opened = true;
        for (const FakeSubkey& subkey : key->second)
            list.names.push_back(subkey.name);
        return list;
    }
    RegistryValue readJavaHome(RuntimeKind kind, const std::string& name) override
    {
        ++valueReads;
        for (const FakeSubkey& subkey : keys_[kind])
            if (subkey.name == name)
                return subkey.javaHome;
        return {};
    }

    int listCalls = 0;
    int valueReads = 0;

private:
    std::map<RuntimeKind, std::vector<FakeSubkey>> keys_;
};

// The files that exist, for FileTest; tests replace the set as a whole.
std::set<std::string>& existingFiles();
bool fakeFileExists(const std::string& path);

// Lays out a runtime home: "bin\java.dll" and the named flavours' jvm.dll.
void addRuntimeHome(const std::string& home, std::initializer_list<const char*> flavours);

} // namespace kanne::test
