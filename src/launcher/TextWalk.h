#pragma once
// Text is 8-bit in the system's ANSI code page. Searches step character by
// character, so that the trail byte of a double-byte character is never taken
// for a separator. The step is a parameter: the system's CharNextA in the
// launcher, a scripted double-byte step in tests.
#include <cstddef>
#include <string>
#include <string_view>

namespace kanne {

using CharStep = const char* (*)(const char* current);

// CharNextA of the system's ANSI code page.
const char* systemCharStep(const char* current);

inline constexpr std::size_t npos = std::string::npos;

// Position of the first `ch` at or after `from`, or npos.
std::size_t findChar(std::string_view text, char ch, std::size_t from = 0,
                     CharStep step = systemCharStep);
// Position of the last `ch`, or npos.
std::size_t findLastChar(std::string_view text, char ch, CharStep step = systemCharStep);
// Replaces every `from` character by `to`, leaving trail bytes alone.
void replaceChar(std::string& text, char from, char to, CharStep step = systemCharStep);

} // namespace kanne
