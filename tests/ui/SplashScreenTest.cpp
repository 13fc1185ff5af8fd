#include "ui/SplashScreen.h"

#include <gtest/gtest.h>

namespace kanne {

TEST(SplashShadow, OnlyTheExactTextTrueAsksForIt)
{
    struct Case {
        const char* value;
        bool shadow;
    };
    const Case cases[] = {{"true", true}, {"", false},   {"True", false}, {"TRUE", false},
                          {"yes", false}, {"1", false},  {"true ", false}, {" true", false}};
    for (const Case& c : cases)
        EXPECT_EQ(wantsShadow(c.value), c.shadow) << "\"" << c.value << "\"";
}

TEST(SplashShadow, ClassStyleCarriesTheDropShadowOnlyWhenWanted)
{
    EXPECT_EQ(splashClassStyle(false), 0x0808u);
    EXPECT_EQ(splashClassStyle(true), 0x00020808u);
}

} // namespace kanne
