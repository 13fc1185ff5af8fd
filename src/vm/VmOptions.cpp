#include "vm/VmOptions.h"

#include <windows.h>

#include <cstdint>
#include <limits>
#include <vector>

namespace kanne {

void expandEnvironment(std::string& text)
{
    DWORD needed = ExpandEnvironmentStringsA(text.c_str(), nullptr, 0);
    if (needed == 0)
        return;
    std::vector<char> buffer(needed + 1);
    DWORD written = ExpandEnvironmentStringsA(text.c_str(), buffer.data(), needed + 1);
    if (written == 0 || written > needed + 1)
        return;
    text.assign(buffer.data());
}

std::uint64_t physicalMemoryKilobytes()
{
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    if (!GlobalMemoryStatusEx(&status))
        return 0;
    return status.ullTotalPhys >> 10;
}

std::size_t findOptionEnd(std::string_view value, std::size_t start, CharStep step)
{
    std::size_t space = findChar(value, ' ', start, step);
    std::size_t quote = findChar(value, '"', start, step);
    while (quote != npos) {
        if (space == npos)
            return value.size();
        if (space < quote)
            return space;
        std::size_t closing = findChar(value, '"', quote + 1, step);
        if (closing == npos)
            return space; // an unpaired quote protects nothing
        if (closing + 1 < value.size() && value[closing + 1] == '"')
            ++closing;
        space = findChar(value, ' ', closing + 1, step);
        quote = findChar(value, '"', closing + 1, step);
    }
    return space == npos ? value.size() : space;
}

void removeQuotes(std::string& option, CharStep step)
{
    std::size_t open = findChar(option, '"', 0, step);
    while (open != npos) {
        std::size_t close = findChar(option, '"', open + 1, step);
        if (close == npos)
            return; // an unpaired quote stays
        // A doubled quote at the end of a pair: the first one stays as text.
        if (close + 1 < option.size() && option[close + 1] == '"')
            ++close;
        std::size_t kept = close - open - 1;
        option.erase(close, 1);
        option.erase(open, 1);
        open = findChar(option, '"', open + kept, step);
    }
}

bool isMemoryPercentOption(std::string_view option)
{
    if (option.size() < 5)
        return false;
    std::string_view head = option.substr(0, 4);
    char last = option.back();
    return (head == "-Xms" || head == "-Xmx" || head == "-Xss") && (last == 'p' || last == 'P');
}

void applyMemoryPercent(std::string& option, std::uint64_t physicalKilobytes)
{
    constexpr std::int64_t int32Max = std::numeric_limits<std::int32_t>::max();
    std::size_t digit = option.find_first_of("0123456789");
    if (digit == std::string::npos)
        digit = option.size();

    std::int64_t percent = 0;
    for (std::size_t i = digit; i + 1 < option.size(); ++i) {
        char c = option[i];
        if (c < '0' || c > '9')
            continue; // "12.5" counts as 125
        percent = percent * 10 + (c - '0');
        if (percent > int32Max)
            return;
    }
    // Multiply the kilobytes by the factor, in this order: 29 % of 100700 KB is 29202.
    double factor = static_cast<double>(percent) * 0.01;
    double kilobytes = static_cast<double>(physicalKilobytes) * factor;
    if (kilobytes > static_cast<double>(int32Max))
        return;
    option = option.substr(0, digit) + std::to_string(static_cast<std::int32_t>(kilobytes)) + "K";
}

void splitVmParameters(std::string_view value, StringList& vmOptions, MemoryQuery memory, CharStep step)
{
    std::size_t pos = 0;
    auto skipBlanks = [&] {
        while (pos < value.size() && value[pos] == ' ')
            ++pos;
    };
    skipBlanks();
    while (pos < value.size()) {
        std::size_t end = findOptionEnd(value, pos, step);
        std::string option(value.substr(pos, end - pos));
        removeQuotes(option, step);
        if (isMemoryPercentOption(option))
            applyMemoryPercent(option, memory());
        vmOptions.add(option);
        pos = end;
        skipBlanks();
    }
}

} // namespace kanne
