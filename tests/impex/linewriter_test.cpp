// The line writer, field by field.
#include "impex/transfer.h"
#include "runtime/values/picture.h"

#include <gtest/gtest.h>

using namespace tbk;

namespace {

QString lineOf(const std::vector<std::pair<QVariant, const char *>> &fields, bool header = false) {
    Transfer t;
    ExportStartLine(t);
    for (const auto &[value, picture] : fields)
        ExportWriteField(t, value, QString::fromLatin1(picture), header);
    EXPECT_EQ(t.linePosition, t.record.size() + 1);
    EXPECT_FALSE(t.firstField);
    return t.record;
}

} // namespace

TEST(LineWriter, TextsAreQuotedWithTheirQuotesDoubledWhateverTheWidth) {
    EXPECT_EQ(lineOf({{QString("Say \"Hi\""), "@s50"}, {QString(), "@s30"}, {QString("  lead"), "@s2"}}),
              "\"Say \"\"Hi\"\"\",\"\",\"  lead\"");
    // "@s10" cuts nothing; a number under a text picture is its text.
    EXPECT_EQ(lineOf({{QString("A title longer than ten"), "@s10"}, {qint64(42), "@s5"}}),
              "\"A title longer than ten\",\"42\"");
    // A memo's line breaks stay inside its quotes.
    EXPECT_EQ(lineOf({{QString("first\nsecond"), "@s255"}}), "\"first\nsecond\"");
}

TEST(LineWriter, NumbersAreBareAndOtherPicturesQuotedAtFullWidth) {
    // Chart number 0 and BPM 0: no blank-when-zero, no width, no grouping.
    EXPECT_EQ(lineOf({{qint64(0), "@n3"}, {qint64(0), "@n_4b"}, {qint64(1234567), "@n-13"}, {qint64(-5), "@n3"}}),
              "0,0,1234567,-5");
    EXPECT_EQ(lineOf({{qint64(68242), "@d2"}, {qint64((1 * 3600 + 2 * 60 + 3) * 100 + 1), "@t4"}}),
              "\"10/31/1987\",\"01:02:03\"");
    // A bare year is a day number to a date picture and the year to a number picture.
    const QString day1987 = formatPicture("@d2", qint64(1987));
    EXPECT_TRUE(day1987.endsWith("/1806")) << day1987.toStdString();
    EXPECT_EQ(lineOf({{qint64(1987), "@d2"}, {qint64(1987), "@n4"}}), "\"" + day1987 + "\",1987");
    // A text field under a number picture is written as its number, so its commas cannot
    // split the line.
    EXPECT_EQ(lineOf({{QString(" 12abc, x"), "@n6"}}), "12");
}

TEST(LineWriter, HeaderNamesAreQuotedAndMadeSafe) {
    EXPECT_EQ(lineOf({{QString("MUS:Artist"), "@s50"}, {QString("MUS:Title"), "@s50"}}, true),
              "\"MUS:Artist\",\"MUS:Title\"");
    EXPECT_EQ(QuoteFieldText("LIST[1],X", true), "LIST_1 _X");
    EXPECT_EQ(QuoteFieldText("Say \"x\"", true), "Say \"x\"");
}
