#include "runtime/RuntimeRegistry.h"

#include <cstring>

namespace kanne {

namespace {
// Registry names and values are far below this; a larger demand is bad data.
constexpr DWORD largestRead = 1u << 20;

// The view of our own bitness, stated: a runtime of the other one cannot be loaded.
constexpr REGSAM registryRead = KEY_READ | (sizeof(void*) == 8 ? KEY_WOW64_64KEY : KEY_WOW64_32KEY);

std::string expanded(const std::string& text)
{
    std::string result(text.size() + 1, '\0');
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD needed = ExpandEnvironmentStringsA(text.c_str(), result.data(), static_cast<DWORD>(result.size()));
        if (needed == 0)
            return text;
        if (needed <= result.size()) {
            result.resize(std::strlen(result.c_str()));
            return result;
        }
        result.assign(needed, '\0');
    }
    return text;
}
} // namespace

SubkeyList listSubkeyNames(HKEY key)
{
    SubkeyList list;
    if (!key)
        return list;
    list.opened = true;

    DWORD count = 0;
    DWORD longest = 0;
    if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &count, &longest, nullptr, nullptr, nullptr, nullptr,
                         nullptr, nullptr) == ERROR_SUCCESS)
        list.names.reserve(count);
    // The longest name in characters; a double-byte name may need twice the bytes.
    std::vector<char> name(longest * 2 + 2 > MAX_PATH ? longest * 2 + 2 : MAX_PATH);

    for (DWORD index = 0;;) {
        DWORD length = static_cast<DWORD>(name.size());
        LONG result = RegEnumKeyExA(key, index, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_SUCCESS) {
            list.names.emplace_back(name.data(), length);
            ++index;
        } else if (result == ERROR_MORE_DATA && name.size() < largestRead) {
            name.resize(name.size() * 2); // the same index again, with more room
        } else if (result == ERROR_NO_MORE_ITEMS) {
            return list;
        } else {
            // One unreadable name must not hide the runtimes registered after it.
            list.complete = false;
            if (result != ERROR_MORE_DATA)
                return list;
            ++index;
        }
    }
}

RegistryValue readRegistryString(HKEY key, const char* valueName)
{
    RegistryValue value;
    if (!key)
        return value;
    // Most homes fit the first buffer, so one call usually does.
    std::vector<char> data(MAX_PATH + 2);
    DWORD type = REG_NONE;
    LONG result = ERROR_MORE_DATA;
    DWORD size = 0;
    for (int attempt = 0; attempt < 4 && result == ERROR_MORE_DATA; ++attempt) {
        // Two bytes to spare, so that data without a terminator still ends in one.
        size = static_cast<DWORD>(data.size() - 2);
        result = RegQueryValueExA(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
        if (result == ERROR_MORE_DATA) {
            if (size >= largestRead)
                return value;
            data.assign(size + 2, '\0');
        }
    }
    if (result != ERROR_SUCCESS)
        return value;
    if (type != REG_SZ && type != REG_EXPAND_SZ) {
        value.type = ValueType::NotText;
        return value;
    }
    value.type = ValueType::Text;
    const void* end = std::memchr(data.data(), '\0', size);
    value.text.assign(data.data(), end ? static_cast<const char*>(end) - data.data() : size);
    if (type == REG_EXPAND_SZ)
        value.text = expanded(value.text);
    return value;
}

SubkeyList SystemRuntimeRegistry::listSubkeys(std::size_t root)
{
    RegistryKey& key = keys_[root];
    HKEY opened = nullptr;
    if (!key && RegOpenKeyExA(isUserRoot(root) ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE, registryRoot(root).path, 0,
                              registryRead, &opened) == ERROR_SUCCESS)
        key.reset(opened);
    return listSubkeyNames(key.get());
}

RegistryValue SystemRuntimeRegistry::readHome(std::size_t root, const std::string& subkey)
{
    // Opened below the key already open: one lookup instead of the whole path.
    const RegistryKey& parent = keys_[root];
    const RegistryRoot& form = registryRoot(root);
    if (!parent || subkey.find('\0') != std::string::npos)
        return {};
    std::string_view alternatives = form.valueKeys;
    for (;;) {
        std::size_t end = alternatives.find(';');
        std::string path = subkey;
        if (!alternatives.empty())
            (path += '\\').append(alternatives.substr(0, end));
        HKEY opened = nullptr;
        if (RegOpenKeyExA(parent.get(), path.c_str(), 0, registryRead, &opened) == ERROR_SUCCESS) {
            RegistryKey key(opened);
            RegistryValue value = readRegistryString(key.get(), form.valueName);
            if (value.type != ValueType::Missing)
                return value;
        }
        if (end == std::string_view::npos)
            return {};
        alternatives.remove_prefix(end + 1);
    }
}

} // namespace kanne
