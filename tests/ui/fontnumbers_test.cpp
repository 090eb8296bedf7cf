// Fonts as the settings files keep them, to Qt and back.
#include "runtime/ui/fontnumbers.h"

#include <gtest/gtest.h>

using namespace tbk;

TEST(FontNumbers, ColoursAndStylesReadAsTheDesktopWritesThemAndEmptyEntriesKeepTheFallback) {
    EXPECT_EQ(colourOfNumber(255), QColor(255, 0, 0));
    EXPECT_EQ(colourOfNumber(0x336699), QColor(0x99, 0x66, 0x33));
    EXPECT_EQ(numberOfColour(QColor(0x99, 0x66, 0x33)), 0x336699);
    for (int style : {400, 700 + kFontItalic, 900 + kFontUnderline + kFontStrikeOut, 300 + kFontItalic + kFontStrikeOut}) {
        const QFont f = fontOfNumbers({"Arial", 12, 0, style});
        EXPECT_EQ(int(f.weight()), style % 4096) << style;
        EXPECT_EQ(f.italic(), bool(style & kFontItalic)) << style;
        EXPECT_EQ(f.underline(), bool(style & kFontUnderline)) << style;
        EXPECT_EQ(f.strikeOut(), bool(style & kFontStrikeOut)) << style;
        EXPECT_EQ(numbersOfFont(f, colourOfNumber(255)), (FontNumbers{"Arial", 12, 255, style}));
    }
    const QFont blank = fontOfNumbers({"", 0, 0, 0}, QFont("Times", 9));
    EXPECT_TRUE(blank.family() == QFont("Times").family() && blank.pointSize() == 9 && int(blank.weight()) == 400);
}
