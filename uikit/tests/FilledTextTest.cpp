#include <gtest/gtest.h>

#include "FilledText.h"

namespace uikit {
namespace {

TEST(FilledTextTest, CodesTakeTheValuesInOrderWhateverTheirLetter) {
    EXPECT_EQ(FillByPosition("%d x %d pixels", {"120", "90"}), "120 x 90 pixels");
    EXPECT_EQ(FillByPosition("%-08.3ls|%5lld|%n|%ZZ", {"a", "b", "c", "d"}), "a|b|c|dZ");
    EXPECT_EQ(FillByPosition("100%% sure: %s", {"yes"}), "100% sure: yes");
    EXPECT_EQ(FillByPosition("no codes here", {"unused"}), "no codes here");
}

// What a library of other codes cannot do: a code without a value, a lone '%'
// and one at the end stay text; nothing is read or written beyond the values.
TEST(FilledTextTest, CodesBeyondTheValuesAndLonePercentsStayAsWritten) {
    EXPECT_EQ(FillByPosition("%s%s%n", {"C:\\P\\a.bmp"}), "C:\\P\\a.bmp%s%n");
    EXPECT_EQ(FillByPosition("%s%s%n", {}), "%s%s%n");
    EXPECT_EQ(FillByPosition("50%, or %", {"x"}), "50%, or %");
    EXPECT_EQ(FillByPosition("%5", {"x"}), "%5");
    EXPECT_EQ(FillByPosition("%l", {"x"}), "x");
    EXPECT_EQ(FillByPosition("", {"x"}), "");
}

}  // namespace
}  // namespace uikit
