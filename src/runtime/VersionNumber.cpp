#include "runtime/VersionNumber.h"

#include "launcher/Messages.h"

namespace kanne {

namespace {
bool isDigit(char c) { return c >= '0' && c <= '9'; }
} // namespace

bool VersionNumber::parse(std::string_view text, std::int32_t fill)
{
    *this = VersionNumber{};
    std::size_t pos = 0;
    auto skipToDigit = [&] {
        while (pos < text.size() && !isDigit(text[pos]))
            ++pos;
        return pos < text.size();
    };
    if (!skipToDigit())
        return false;

    int j = 0;
    for (;;) {
        // Unsigned arithmetic: a run of ten or more digits wraps, as 32-bit integers do.
        std::uint32_t value = 0;
        while (pos < text.size() && isDigit(text[pos]))
            value = value * 10u + static_cast<std::uint32_t>(text[pos++] - '0');
        components[static_cast<std::size_t>(j)] = static_cast<std::int32_t>(value);
        if (!skipToDigit())
            break;
        if (++j == 4)
            break; // a fifth run only counts
    }
    count = j + 1;
    for (int k = count; k < 4; ++k)
        components[static_cast<std::size_t>(k)] = fill;
    return true;
}

std::string VersionNumber::format() const
{
    int last = 3;
    while (last >= 0 && (components[static_cast<std::size_t>(last)] == lowestFill ||
                         components[static_cast<std::size_t>(last)] == highestFill))
        --last;
    if (last < 0)
        return "0.0.0.0";
    std::string text;
    for (int k = 0; k <= last; ++k) {
        if (k > 0)
            text += '.';
        text += std::to_string(components[static_cast<std::size_t>(k)]);
    }
    return text;
}

int VersionNumber::compare(const VersionNumber& other) const
{
    for (std::size_t k = 0; k < 4; ++k) {
        if (components[k] < other.components[k])
            return -1;
        if (components[k] > other.components[k])
            return 1;
    }
    return 0;
}

bool VersionNumber::matchesPrefix(const VersionNumber& c, const VersionNumber& p)
{
    if (c.equals(p))
        return true;
    if (p.count <= 0 || p.count > c.count)
        return false;
    std::size_t n = p.count < 4 ? static_cast<std::size_t>(p.count) : 4;
    for (std::size_t k = 0; k < n; ++k)
        if (c.components[k] != p.components[k])
            return false;
    return true;
}

bool VersionNumber::isUnbounded() const
{
    return components == lowest().components || components == highest().components;
}

std::string describeVersionRequirement(const VersionNumber& minVersion,
                                       const VersionNumber& maxVersion)
{
    bool noMin = minVersion.isUnbounded();
    bool noMax = maxVersion.isUnbounded();
    if (noMin && noMax)
        return loadText(TextId::NewestVersion);
    if (noMin)
        return formatText(TextId::MaximumVersion, {maxVersion.format()});
    if (noMax)
        return formatText(TextId::MinimumVersion, {minVersion.format()});
    if (minVersion.equals(maxVersion))
        return formatText(TextId::VersionRequired, {minVersion.format()});
    return formatText(TextId::VersionBetween, {minVersion.format(), maxVersion.format()});
}

} // namespace kanne
