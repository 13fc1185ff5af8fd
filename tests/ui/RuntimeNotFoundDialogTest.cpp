#include "ui/RuntimeNotFoundDialog.h"

#include <gtest/gtest.h>

namespace kanne {

TEST(RuntimeNotFoundText, ServerOnlyAsksForAServerJvmAndEveryOtherTypeForAJre)
{
    const std::string server = "Die Java Runtime Environment (JRE) wurde nicht gefunden. Bitte laden eine JRE mit "
                               "einer Server JVM (%s) herunter und installiern Sie beide von:";
    const std::string other = "Die Java Runtime Environment (JRE) wurde nicht gefunden. Bitte laden Sie eine JRE "
                              "(%s) herunter und installieren Sie sie von:";
    auto filled = [](std::string format, const std::string& requirement) {
        return format.replace(format.find("%s"), 2, requirement);
    };
    struct Case {
        JvmType type;
        const char* minimum; // "" for no bound
        const char* maximum;
        std::string expected;
    };
    const Case cases[] = {
        {JvmType::Server, "", "", filled(server, "Neueste Version")},
        {JvmType::Default, "", "", filled(other, "Neueste Version")},
        {JvmType::FavorServer, "", "", filled(other, "Neueste Version")},
        {JvmType::Default, "1.6", "", filled(other, "Minimum Version 1.6")},
        {JvmType::Server, "", "1.8.0.200", filled(server, "Maximum Version 1.8.0.200")},
        {JvmType::Default, "1.6.0.20", "1.6.0.20", filled(other, "Version 1.6.0.20 erforderlich")},
        {JvmType::Default, "1.6", "1.8", filled(other, "Version zwischen 1.6 und 1.8")},
    };
    for (const Case& c : cases) {
        VersionNumber minimum = *c.minimum ? VersionNumber::parsed(c.minimum, VersionNumber::lowestFill)
                                           : VersionNumber::lowest();
        VersionNumber maximum = *c.maximum ? VersionNumber::parsed(c.maximum, VersionNumber::highestFill)
                                           : VersionNumber::highest();
        EXPECT_EQ(runtimeNotFoundText(c.type, minimum, maximum), c.expected)
            << static_cast<int>(c.type) << " " << c.minimum << " " << c.maximum;
    }
}

} // namespace kanne
