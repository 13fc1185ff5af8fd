#pragma once
// The process command line turned into the Java application's arguments.
// Only blanks separate elements, a double quote counts only at the start of
// an element, and there is no escape character.
#include "launcher/StringList.h"
#include "launcher/TextWalk.h"

#include <string>
#include <string_view>

namespace kanne {

// Appends the elements of `text` to `list`, in order.
void splitCommandLine(std::string_view text, StringList& list, CharStep step = systemCharStep);

using IsSpace = bool (*)(char c);
// Removes leading and trailing characters for which `isSpace` holds.
std::string_view trimSpaces(std::string_view text, IsSpace isSpace, CharStep step = systemCharStep);

// The arguments for the application from a trimmed command line: the first
// element, the executable, is dropped. A line that starts with the
// executable's full path unquoted, followed by a blank or its end, loses that
// whole path, so "C:\Program Files\App\Start.exe x" gives only "x".
StringList argumentsFromCommandLine(std::string_view commandLine, std::string_view executablePath,
                                    CharStep step = systemCharStep);

// Reads, trims (by the character classes of the thread's locale) and splits
// the process command line.
StringList collectArguments(std::string_view executablePath);

} // namespace kanne
