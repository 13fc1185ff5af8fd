#pragma once
// Reading the registered runtimes from the Windows registry, read-only. The
// scan sees the registry through `RuntimeRegistry`, so tests can hand it tables.
#include "platform/Handle.h"
#include "runtime/RuntimeCandidate.h"

#include <windows.h>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kanne {

// How a registered home becomes a runtime home.
enum class HomeForm : std::uint8_t {
    OldJdk,  // its "jre\" subfolder, unless only the home itself holds "bin\java.dll"
    Own,     // the home itself
    Release, // the home itself; the version is its "release" file's JAVA_VERSION
};

// A key with one subkey per registered runtime. The value lies in the
// subkey itself or in one of the `valueKeys` below it (";" separated).
struct RegistryRoot {
    const char* path; // below the hive, ending in "\"
    const char* valueKeys;
    const char* valueName;
    RuntimeKind kind;
    HomeForm form;
};

// Searched under HKEY_LOCAL_MACHINE, then the same under HKEY_CURRENT_USER,
// where per-user installs register. The old JavaSoft keys come first: among
// equally ranked runtimes the registry order decides.
inline constexpr RegistryRoot registryRoots[] = {
    {"Software\\JavaSoft\\Java Development Kit\\", "", "JavaHome", RuntimeKind::Jdk, HomeForm::OldJdk},
    {"Software\\JavaSoft\\Java Runtime Environment\\", "", "JavaHome", RuntimeKind::Jre, HomeForm::Own},
    {"Software\\JavaSoft\\JDK\\", "", "JavaHome", RuntimeKind::Jdk, HomeForm::Own},
    {"Software\\JavaSoft\\JRE\\", "", "JavaHome", RuntimeKind::Jre, HomeForm::Own},
    {"Software\\Eclipse Adoptium\\JDK\\", "hotspot\\MSI", "Path", RuntimeKind::Jdk, HomeForm::Own},
    {"Software\\Eclipse Adoptium\\JRE\\", "hotspot\\MSI", "Path", RuntimeKind::Jre, HomeForm::Own},
    {"Software\\AdoptOpenJDK\\JDK\\", "hotspot\\MSI;openj9\\MSI", "Path", RuntimeKind::Jdk, HomeForm::Own},
    {"Software\\AdoptOpenJDK\\JRE\\", "hotspot\\MSI;openj9\\MSI", "Path", RuntimeKind::Jre, HomeForm::Own},
    {"Software\\Microsoft\\JDK\\", "hotspot\\MSI", "Path", RuntimeKind::Jdk, HomeForm::Own},
    {"Software\\Semeru\\JDK\\", "openj9\\MSI", "Path", RuntimeKind::Jdk, HomeForm::Own},
    {"Software\\Semeru\\JRE\\", "openj9\\MSI", "Path", RuntimeKind::Jre, HomeForm::Own},
    // Their subkey names ("zulu-17") carry the version only in part.
    {"Software\\Azul Systems\\Zulu\\", "", "InstallationPath", RuntimeKind::Jdk, HomeForm::Release},
    {"Software\\BellSoft\\Liberica\\", "", "InstallationPath", RuntimeKind::Jdk, HomeForm::Release},
};
inline constexpr std::size_t rootsPerHive = sizeof(registryRoots) / sizeof(registryRoots[0]);
inline constexpr std::size_t rootCount = 2 * rootsPerHive;
inline const RegistryRoot& registryRoot(std::size_t root) { return registryRoots[root % rootsPerHive]; }
inline bool isUserRoot(std::size_t root) { return root >= rootsPerHive; }
// The old keys' roots, as the earlier scan numbered them.
inline std::size_t rootOf(RuntimeKind kind) { return kind == RuntimeKind::Jdk ? 0 : 1; }

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
    // `root` indexes registryRoots, HKEY_LOCAL_MACHINE's then HKEY_CURRENT_USER's.
    virtual SubkeyList listSubkeys(std::size_t root) = 0;
    // The home value of one subkey listed by `listSubkeys`.
    virtual RegistryValue readHome(std::size_t root, const std::string& subkey) = 0;

protected:
    ~RuntimeRegistry() = default;
};

// The system's registry in the view of the launcher's own bitness.
class SystemRuntimeRegistry final : public RuntimeRegistry {
public:
    SubkeyList listSubkeys(std::size_t root) override;
    RegistryValue readHome(std::size_t root, const std::string& subkey) override;

private:
    RegistryKey keys_[rootCount]; // open while the scan runs
};

// Every subkey name of `key`, of any length; a name that cannot be read is
// left out rather than ending the list.
SubkeyList listSubkeyNames(HKEY key);
// A string value of any length, terminated or not. Values of other types
// (binary, numbers, string lists) are NotText.
RegistryValue readRegistryString(HKEY key, const char* valueName);

} // namespace kanne
