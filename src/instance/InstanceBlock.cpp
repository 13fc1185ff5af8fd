#include "instance/InstanceBlock.h"

#include <cstring>

namespace kanne {

std::string instanceNameFor(std::string_view executablePath)
{
    // Byte by byte on purpose: the name must be the same in every process,
    // whatever double-byte characters the path holds.
    std::string name(executablePath);
    for (char& c : name)
        if (c == '\\')
            c = '_';
    return name;
}

bool packArguments(const StringList& arguments, char (&area)[InstanceBlock::argumentAreaSize])
{
    std::size_t packed = 1;
    for (const std::string& argument : arguments)
        packed += argument.size() + 1;
    if (packed > InstanceBlock::argumentAreaSize)
        return false;
    std::memset(area, 0, sizeof area);
    std::size_t at = 0;
    for (const std::string& argument : arguments) {
        std::memcpy(area + at, argument.data(), argument.size());
        at += argument.size() + 1;
    }
    return true;
}

StringList unpackArguments(const char (&area)[InstanceBlock::argumentAreaSize])
{
    StringList list;
    std::string current;
    for (std::size_t i = 0; i + 1 < InstanceBlock::argumentAreaSize; ++i) {
        if (area[i] != '\0') {
            current += area[i];
            continue;
        }
        list.add(current);
        if (area[i + 1] == '\0')
            break;
        current.clear();
    }
    return list;
}

} // namespace kanne
