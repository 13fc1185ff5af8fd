#include "launcher/TextWalk.h"

#include <windows.h>

namespace kanne {

// CharNextA's step, on the kernel's lead-byte table of the ANSI code page:
// walking text then needs no window-manager library in the process.
const char* systemCharStep(const char* current)
{
    if (*current == '\0')
        return current;
    if (IsDBCSLeadByte(static_cast<BYTE>(*current)) && current[1] != '\0')
        return current + 2;
    return current + 1;
}

namespace {
// Walks [begin, end) character by character; a step that does not advance
// (CharNextA at a terminator inside the string) still moves one byte.
template <typename Visit>
void walk(std::string_view text, std::size_t from, CharStep step, Visit visit)
{
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    for (const char* p = begin + from; p < end;) {
        if (!visit(static_cast<std::size_t>(p - begin)))
            return;
        const char* next = step(p);
        p = next > p ? next : p + 1;
    }
}
} // namespace

std::size_t findChar(std::string_view text, char ch, std::size_t from, CharStep step)
{
    std::size_t found = npos;
    if (from >= text.size())
        return found;
    walk(text, from, step, [&](std::size_t pos) {
        if (text[pos] != ch)
            return true;
        found = pos;
        return false;
    });
    return found;
}

std::size_t findLastChar(std::string_view text, char ch, CharStep step)
{
    std::size_t found = npos;
    walk(text, 0, step, [&](std::size_t pos) {
        if (text[pos] == ch)
            found = pos;
        return true;
    });
    return found;
}

void replaceChar(std::string& text, char from, char to, CharStep step)
{
    walk(text, 0, step, [&](std::size_t pos) {
        if (text[pos] == from)
            text[pos] = to;
        return true;
    });
}

} // namespace kanne
