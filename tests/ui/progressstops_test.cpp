#include "runtime/values/progressstops.h"
#include "runtime/ui/progresswindow.h"

#include <QStringList>
#include <gtest/gtest.h>

using namespace tbk;

TEST(RealStops, HundredStopsFromLowToHighAndOnBeyond) {
    SetupRealStops(0, 99);
    for (int i = 0; i < 10; ++i)
        EXPECT_DOUBLE_EQ(GetNextRealStop(), i);
    for (int i = 10; i < 99; ++i)
        GetNextRealStop();
    EXPECT_DOUBLE_EQ(GetNextRealStop(), 99);
    EXPECT_DOUBLE_EQ(GetNextRealStop(), 100);

    RealStops s;
    s.setup(1000, 1990);
    EXPECT_DOUBLE_EQ(s.next(), 1000);
    EXPECT_DOUBLE_EQ(s.next(), 1010);
}

TEST(StringStops, AlphabetFollowsTheFlags) {
    StringStops s;
    s.setup(20, StopLetters, false, "A", "Z");
    EXPECT_TRUE(s.alphabet().startsWith("ABCDEFGHIJKLMNOPQRSTUVWXYZ"));
    for (QChar c : s.alphabet())
        EXPECT_TRUE(c.isUpper()) << int(c.unicode());
    s.setup(20, StopLetters | StopPunctuation | StopDigits, false, "A", "Z");
    EXPECT_TRUE(s.alphabet().startsWith(" !\"#$%&'()*+,-./0123456789:;=?@ABC"));
    EXPECT_TRUE(s.alphabet().contains(QChar(0xA3)));
    EXPECT_FALSE(s.alphabet().contains('a'));
    s.setup(20, StopLetters | StopLowerCase, false, "A", "Z");
    EXPECT_TRUE(s.alphabet().contains('a'));
    s.setup(20, StopLetters | StopDigits, true, "A", "Z");   // letters only
    EXPECT_FALSE(s.alphabet().contains('0'));
}

TEST(StringStops, SharedFirstLetterIsThePrefixOfEveryStop) {
    StringStops s;
    s.setup(30, StopLetters, false, "Abba", "Aztec Camera");
    EXPECT_EQ(s.prefix(), "A");
    QStringList stops;
    for (int i = 0; i < 100; ++i)
        stops << s.next();
    EXPECT_EQ(stops.front(), "ABBA");
    EXPECT_EQ(stops.back(), "AZTEC");
    for (int i = 1; i < stops.size(); ++i) {
        EXPECT_TRUE(stops[i].startsWith('A'));
        EXPECT_LE(stops[i - 1], stops[i]) << i;
    }
    // The middle stop lies between the two keys.
    EXPECT_GT(stops[50], "ABBA");
    EXPECT_LT(stops[50], "AZTEC");
}

TEST(StringStops, AShortHighKeyReachesTheEndOfTheAlphabet) {
    StringStops s;
    s.setup(9, StopLetters | StopDigits, false, "100", "5");
    EXPECT_EQ(s.prefix(), "");
    s.next();
    for (int i = 2; i < 100; ++i)
        s.next();
    EXPECT_EQ(s.next(), "5" + QString(3, s.alphabet().back()));
    EXPECT_TRUE(s.alphabet().contains('Z'));
}

TEST(ProgressWindow, TheBarFollowsTheKeyThroughTheStops) {
    ProgressWindow w("Working", "Reading songs", true);
    w.useRealStops(0, 990);
    w.passKey(0.0);
    EXPECT_EQ(w.percent(), 1);
    w.passKey(55.0);   // stops lie 10 apart
    EXPECT_EQ(w.percent(), 6);
    w.passKey(55.0);
    EXPECT_EQ(w.percent(), 6);
    w.passKey(990.0);
    EXPECT_EQ(w.percent(), 100);
    w.passKey(5000.0);
    EXPECT_EQ(w.percent(), 100);

    w.useStringStops(20, StopLetters, "ADAMS", "ZAPPA");
    EXPECT_EQ(w.percent(), 0);
    w.passKey(QString("adams"));
    EXPECT_EQ(w.percent(), 1);
    w.passKey(QString("Morrison"));
    EXPECT_GT(w.percent(), 40);
    EXPECT_LT(w.percent(), 60);
    EXPECT_FALSE(w.cancelled());
}
