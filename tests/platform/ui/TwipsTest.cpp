#include <gtest/gtest.h>

#include "platform/ui/Twips.h"

TEST(Twips, FifteenTwipsMakeOnePixelRoundedToNearest) {
    EXPECT_EQ(ui::TwipsToPixels(1500), 100);
    EXPECT_EQ(ui::TwipsToPixels(1507), 100);
    EXPECT_EQ(ui::TwipsToPixels(1508), 101);
    EXPECT_EQ(ui::PixelsToTwips(100), 1500);
}
