#pragma once
// Reading the registered runtimes from the Windows registry, read-only. The
// scan sees the registry through `RuntimeRegistry`, so tests can hand it tables.
#include "platform/Handle.h"
#include "runtime/RuntimeCandidate.h"

#include <windows.h>
#include <string>
#include <vector>

namespace kanne {

// The keys under HKEY_LOCAL_MACHINE, one subkey per registered version.
inline constexpr const char* jdkRegistryKey = "Software\\JavaSoft\\Java Development Kit\\";
inline constexpr const char* jreRegistryKey = "Software\\JavaSoft\\Java Runtime Environment\\";
inline const char* registryKeyOf(RuntimeKind kind)
{
    return kind == RuntimeKind::Jdk ? jdkRegistryKey : jreRegistryKey;
}

struct SubkeyList {
    bool opened = false;   // the key exists and could be read
    bool complete = true;  // the enumeration reached its normal end
    std::vector<std::string> names; // in the registry's enumeration order
};

enum class ValueType : unsigned char { Missing, Text, NotText };
struct RegistryValue {
    ValueType type = ValueType::Missing;
    std::string text; // up to the first zero byte; REG_EXPAND_SZ expanded
};

class RuntimeRegistry {
public:
    virtual SubkeyList listSubkeys(RuntimeKind kind) = 0;
    // The "JavaHome" value of one subkey listed by `listSubkeys`.
    virtual RegistryValue readJavaHome(RuntimeKind kind, const std::string& subkey) = 0;

protected:
    ~RuntimeRegistry() = default;
};

// HKEY_LOCAL_MACHINE in the process's own registry view.
class SystemRuntimeRegistry final : public RuntimeRegistry {
public:
    SubkeyList listSubkeys(RuntimeKind kind) override;
    RegistryValue readJavaHome(RuntimeKind kind, const std::string& subkey) override;

private:
    RegistryKey keys_[2]; // indexed by RuntimeKind, open while the scan runs
};

// Every subkey name of `key`, of any length; a name that cannot be read is
// left out rather than ending the list.
SubkeyList listSubkeyNames(HKEY key);
// A string value of any length, terminated or not. Values of other types
// (binary, numbers, string lists) are NotText.
RegistryValue readRegistryString(HKEY key, const char* valueName);

} // namespace kanne
