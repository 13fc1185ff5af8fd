#pragma once
#include <cstdint>

namespace kanne {

// The wanted JVM flavour, from "JVM Type".
enum class JvmType : std::int32_t {
    Default = 0,     // client first, then the others
    Server = 1,      // "server": only a server library will do
    FavorServer = 2, // "favor_server": server first, then the others
};

} // namespace kanne
