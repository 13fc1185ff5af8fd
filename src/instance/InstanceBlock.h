#pragma once
// The shared block through which later starts of an executable hand their
// arguments to the first one. Its layout is shared between processes.
#include "launcher/StringList.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kanne {

struct InstanceBlock {
    static constexpr std::size_t argumentAreaSize = 1040;

    std::uint32_t listenerThreadId; // where later starts post their message
    std::uint32_t messageId;        // the registered message announcing a start
    // Each argument's bytes and a zero byte; one more zero byte ends the list.
    char argumentArea[argumentAreaSize];
};
static_assert(sizeof(InstanceBlock) == 1048, "the block's layout is shared between processes");

// The name of the block and of the message: the executable's path with every
// "\" byte replaced by "_".
std::string instanceNameFor(std::string_view executablePath);

// Writes the arguments into the area; false, leaving it untouched, when they
// do not fit.
bool packArguments(const StringList& arguments, char (&area)[InstanceBlock::argumentAreaSize]);

// Reads an area, whatever it holds: the list ends at the first empty string,
// and bytes after the last zero byte are dropped.
StringList unpackArguments(const char (&area)[InstanceBlock::argumentAreaSize]);

} // namespace kanne
