// Fonts as the settings files keep them, to Qt and back.
#include "runtime/ui/fontnumbers.h"

#include <gtest/gtest.h>

using namespace tbk;

TEST(FontNumbers, ColourAndStyleNumbersReadAsTheDesktopWritesThem) {
    EXPECT_EQ(colourOfNumber(255), QColor(255, 0, 0));
    EXPECT_EQ(colourOfNumber(0xFF0000), QColor(0, 0, 255));
    EXPECT_EQ(colourOfNumber(0x00336699), QColor(0x99, 0x66, 0x33));
    EXPECT_EQ(numberOfColour(QColor(0x99, 0x66, 0x33)), 0x336699);

    struct Case {
        int style;
        int weight;
        bool italic, underline, strikeOut;
    };
    for (const Case &c : {Case{0, 400, false, false, false}, Case{700, 700, false, false, false},
                          Case{400 + kFontItalic, 400, true, false, false},
                          Case{700 + kFontUnderline + kFontStrikeOut, 700, false, true, true},
                          Case{900 + kFontItalic + kFontUnderline + kFontStrikeOut, 900, true, true, true}}) {
        const QFont f = fontOfNumbers({"Arial", 12, 0, c.style});
        EXPECT_EQ(int(f.weight()), c.weight) << c.style;
        EXPECT_EQ(f.italic(), c.italic) << c.style;
        EXPECT_EQ(f.underline(), c.underline) << c.style;
        EXPECT_EQ(f.strikeOut(), c.strikeOut) << c.style;
        const FontNumbers back = numbersOfFont(f, colourOfNumber(255));
        EXPECT_EQ(back.style, c.style == 0 ? 400 : c.style);
        EXPECT_EQ(back.size, 12);
        EXPECT_EQ(back.colour, 255);
    }
}

TEST(FontNumbers, EmptyEntriesKeepTheFallbacksFaceAndSize) {
    QFont fallback("Times", 9);
    const QFont f = fontOfNumbers({"", 0, 0, 0}, fallback);
    EXPECT_EQ(f.family(), fallback.family());
    EXPECT_EQ(f.pointSize(), 9);
    EXPECT_EQ(fontOfNumbers({"  DejaVu Sans ", 14, 0, 0}, fallback).family(), "DejaVu Sans");
}
