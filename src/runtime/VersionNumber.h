#pragma once
// A Java version as four signed 32-bit components, most significant first,
// plus the number of digit runs its text supplied (0 to 5).
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace kanne {

struct VersionNumber {
    static constexpr std::int32_t lowestFill = 0;
    static constexpr std::int32_t highestFill = 65535;

    std::array<std::int32_t, 4> components{};
    std::int32_t count = 0;

    // The open bounds that "any" stands for.
    static VersionNumber lowest() { return {{0, 0, 0, 0}, 4}; }
    static VersionNumber highest() { return {{65535, 65535, 65535, 65535}, 4}; }

    // Reads the digit runs of `text`; every run of other characters separates
    // two components. Components the text did not supply take `fill`.
    // False (and the all-zero version) when the text holds no digit.
    bool parse(std::string_view text, std::int32_t fill);
    static VersionNumber parsed(std::string_view text, std::int32_t fill)
    {
        VersionNumber v;
        v.parse(text, fill);
        return v;
    }

    // Dotted text without trailing fillers; "0.0.0.0" when all are fillers.
    std::string format() const;
    bool equals(const VersionNumber& other) const { return components == other.components; }
    int compare(const VersionNumber& other) const;
    // The candidate `c` satisfies the preferred version `p`.
    static bool matchesPrefix(const VersionNumber& c, const VersionNumber& p);
    // All components 0 or all 65535: no bound at all.
    bool isUnbounded() const;
};

// The requirement text shown when no runtime was found (texts 217 to 221).
std::string describeVersionRequirement(const VersionNumber& minVersion,
                                       const VersionNumber& maxVersion);

} // namespace kanne
