#include "launcher/CommandLine.h"

#include <windows.h>

namespace kanne {

void splitCommandLine(std::string_view text, StringList& list, CharStep step)
{
    std::size_t pos = 0;
    const std::size_t n = text.size();
    while (pos < n) {
        if (text[pos] == '"') {
            ++pos;
            std::size_t closing = findChar(text, '"', pos, step);
            if (closing == npos) {
                list.add(text.substr(pos));
                return;
            }
            list.add(text.substr(pos, closing - pos));
            pos = closing + 1;
        } else {
            std::size_t blank = findChar(text, ' ', pos, step);
            if (blank == npos) {
                list.add(text.substr(pos));
                return;
            }
            list.add(text.substr(pos, blank - pos));
            pos = blank;
        }
        while (pos < n && text[pos] == ' ')
            ++pos;
    }
}

std::string_view trimSpaces(std::string_view text, IsSpace isSpace, CharStep step)
{
    std::size_t first = npos;
    std::size_t endOfLast = 0;
    const char* const begin = text.data();
    for (const char* p = begin; p < begin + text.size();) {
        const char* next = step(p);
        if (next <= p)
            next = p + 1;
        if (!isSpace(*p)) {
            if (first == npos)
                first = static_cast<std::size_t>(p - begin);
            endOfLast = static_cast<std::size_t>(next - begin);
        }
        p = next;
    }
    if (first == npos)
        return {};
    return text.substr(first, endOfLast - first);
}

namespace {
bool sameAsciiCaseless(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

bool isThreadLocaleSpace(char c)
{
    WORD type = 0;
    GetStringTypeExA(GetThreadLocale(), CT_CTYPE1, &c, 1, &type);
    return (type & C1_SPACE) != 0;
}
} // namespace

StringList argumentsFromCommandLine(std::string_view commandLine, std::string_view executablePath,
                                    CharStep step)
{
    StringList arguments;
    std::size_t pathLength = executablePath.size();
    if (pathLength > 0 && commandLine.size() >= pathLength && commandLine[0] != '"' &&
        sameAsciiCaseless(commandLine.substr(0, pathLength), executablePath) &&
        (commandLine.size() == pathLength || commandLine[pathLength] == ' ')) {
        std::size_t pos = pathLength;
        while (pos < commandLine.size() && commandLine[pos] == ' ')
            ++pos;
        splitCommandLine(commandLine.substr(pos), arguments, step);
        return arguments;
    }
    splitCommandLine(commandLine, arguments, step);
    arguments.removeAt(0);
    return arguments;
}

StringList collectArguments(std::string_view executablePath)
{
    const char* line = GetCommandLineA();
    return argumentsFromCommandLine(trimSpaces(line ? line : "", isThreadLocaleSpace), executablePath);
}

} // namespace kanne
