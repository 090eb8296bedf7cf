// Reading comma-delimited files: lines (empty ones, over-long ones, quoted fields over a line
// break), fields as the file holds them, and deformatting by a picture.
#include "impextest.h"

#include "impex/importreader.h"
#include "runtime/values/picture.h"

#include <QFile>

using namespace tbk;

namespace {

// A transfer reading a file of the given bytes.
class FileReader {
public:
    explicit FileReader(const QByteArray &bytes) {
        QFile f("in.csv");
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        f.close();
        t.file.setName("in.csv");
        EXPECT_TRUE(t.file.open(data::ReadOnly));
    }
    QStringList lines() {
        QStringList out;
        while (ImportReadLine(t) > 0)
            out << t.record;
        return out;
    }
    // The fields of the line in the record as kind (1 quoted, 2 unquoted) and text.
    QStringList fields() {
        QStringList out;
        while (const int kind = ImportNextField(t))
            out << QString::number(kind) + ":" + t.fieldText;
        return out;
    }
    ImportTransfer t;
};

QStringList fieldsOf(const QString &line) {
    FileReader r(line.toUtf8() + "\n");
    EXPECT_GT(ImportReadLine(r.t), 0);
    return r.fields();
}

} // namespace

TEST(ImportFields, FieldsAreTakenAsTheFileHoldsThem) {
    const struct {
        const char *line;
        QStringList fields;
    } cases[] = {
        {R"("Smith, John","He said ""yes""",3,C)", {"1:Smith, John", "1:He said \"yes\"", "2:3", "2:C"}},
        {R"("a""b",,"",7)", {"1:a\"b", "2:", "1:", "2:7"}},
        {R"(x,"He said ""hi"" twice")", {"2:x", "1:He said \"hi\" twice"}},
        // The character after a closing quote is passed over unchecked.
        {R"("a"x,b)", {"1:a", "2:", "2:b"}},
        {R"("a"xy,b)", {"1:a", "2:y", "2:b"}},
        // An unclosed quote takes the rest of the line.
        {R"(1,"no end, here)", {"2:1", "1:no end, here"}},
        // A trailing comma gives no further field; blanks are kept but end the line.
        {"a,b,", {"2:a", "2:b"}},
        {" a , b   ", {"2: a ", "2: b"}},
        {R"(a,"b"   )", {"2:a", "1:b"}},
        {"\"\"\"\"", {"1:\""}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(fieldsOf(QString::fromUtf8(c.line)), c.fields) << c.line;
}

TEST(ImportFields, AFieldIsCutTo4000Characters) {
    const QStringList fields = fieldsOf("\"" + QString(5000, 'q') + "\"," + QString(4500, 'u') + ",end");
    ASSERT_EQ(fields.size(), 3);
    EXPECT_EQ(fields[0], "1:" + QString(4000, 'q'));
    EXPECT_EQ(fields[1], "2:" + QString(4000, 'u'));
    EXPECT_EQ(fields[2], "2:end");
}

TEST(ImportLines, EmptyLinesArePassedOverWhateverTheLineEnds) {
    FileReader r("\n\r\nfirst,1\r\n   \n\nsecond,2\nthird,3");
    EXPECT_EQ(r.lines(), (QStringList{"first,1", "second,2", "third,3"}));
    EXPECT_EQ(r.t.tooLongCount, 0);
    ImportRewind(r.t, false);
    EXPECT_EQ(r.lines().size(), 3);
}

TEST(ImportLines, AQuotedFieldOpenAtItsLineEndGoesOnOverTheBreak) {
    // Blanks that end a line inside the field stay; those ending the whole line go.
    FileReader r("a,\"line one  \nline \"\"two\"\"\n \nline four\",x,\"second\nmemo\"  \n"
                 "d,\"" + QByteArray(9000, 'y') + "\n" + QByteArray(7000, 'z') + "\"\n"
                 "b,\"never closed  \nc,1\n");
    const QStringList lines = r.lines();
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(lines[0], "a,\"line one  \nline \"\"two\"\"\n \nline four\",x,\"second\nmemo\"");
    // Joined, the line would pass its size: the lines stay apart.
    EXPECT_EQ(lines[1], "d,\"" + QString(9000, 'y'));
    EXPECT_EQ(lines[2], QString(7000, 'z') + "\"");
    // A field that never closes takes the rest of its line; the next line stands by itself.
    EXPECT_EQ(lines[3], "b,\"never closed");
    EXPECT_EQ(lines[4], "c,1");
    ImportRewind(r.t, false);
    ASSERT_GT(ImportReadLine(r.t), 0);
    EXPECT_EQ(r.fields(), (QStringList{"2:a", "1:line one  \nline \"two\"\n \nline four", "2:x", "1:second\nmemo"}));
}

TEST(ImportLines, ABreakInAQuotedFieldStaysAsTheFileWroteIt) {
    FileReader r("\"one  \r\ntwo\nthree\r\n\",x\r\nnext\r\n");
    EXPECT_EQ(r.lines(), (QStringList{"\"one  \r\ntwo\nthree\r\n\",x", "next"}));
}

// What other programs write: per line UTF-8 or else Windows-1252, UTF-16 in either byte order,
// a UTF-8 byte order mark, NULs.
TEST(ImportLines, TextComesInWholeInTheEncodingsFilesHave) {
    const QString line = QString::fromUtf8("\"Caf\u00e9 M\u00fcller \u2013 \u00c6on\",\"\u20ac5\"");
    const QString memo = QString::fromUtf8("\"\u6771\u4eac\r\n\u0391\u03b8\u03ae\u03bd\u03b1\",1");
    const QString text = line + "\r\n" + memo + "\n";
    QByteArray little("\xFF\xFE"), big("\xFE\xFF");
    for (QChar c : text) {
        little += char(c.unicode() & 0xFF);
        little += char(c.unicode() >> 8);
        big += char(c.unicode() >> 8);
        big += char(c.unicode() & 0xFF);
    }
    const QStringList both{line, memo};
    EXPECT_EQ(FileReader(little).lines(), both);
    EXPECT_EQ(FileReader(big).lines(), both);
    EXPECT_EQ(FileReader("\xEF\xBB\xBF" + text.toUtf8()).lines(), both);
    // A line that is not UTF-8 beside one that is.
    const QByteArray windows = "\"Caf\xE9 M\xFCller \x96 \xC6on\",\"\x80" "5\"\r\n" + memo.toUtf8() + "\n";
    EXPECT_EQ(FileReader(windows).lines(), both);
    FileReader nuls(QByteArray("a\0b,\"c\0\",\0\n", 11));
    EXPECT_EQ(nuls.lines(), QStringList{"ab,\"c\","});
}

TEST(ImportLines, LinesOverTheSizeAreSkippedWholeAndCounted) {
    const QByteArray wide = QString(9000, QChar(0x65E5)).toUtf8();   // 27,000 bytes, 9,000 characters
    const QByteArray tooWide = QString(16001, QChar(0x65E5)).toUtf8();
    FileReader r("first\n" + QByteArray(16001, 'x') + "\n" + QByteArray(16000, 'k') + "\n" + wide + "\n" + tooWide +
                 "\nlast\n");
    const QStringList lines = r.lines();
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0], "first");
    EXPECT_EQ(lines[1], QString(16000, 'k'));
    EXPECT_EQ(lines[2], QString::fromUtf8(wide));
    EXPECT_EQ(lines[3], "last");
    EXPECT_EQ(r.t.tooLongCount, 2);
    EXPECT_EQ(r.t.tooLongLines, (QList<qint64>{2, 5}));
}

TEST(ImportFields, DeformattingByPictureHappensOncePerField) {
    FileReader r("\"10/31/1987\",\"00:03:21\",\"no date\",\"10/31/1987\"\n");
    ASSERT_GT(ImportReadLine(r.t), 0);
    ImportNextField(r.t);
    ImportDeformatField(r.t, "@d2  ");
    EXPECT_EQ(r.t.fieldText, "68242");
    ImportDeformatField(r.t, "@d2");   // a second target of the same field
    EXPECT_EQ(r.t.fieldText, "68242");
    ImportNextField(r.t);
    ImportDeformatField(r.t, "@t4");
    EXPECT_EQ(r.t.fieldText, QString::number((3 * 60 + 21) * 100 + 1));
    ImportNextField(r.t);
    ImportDeformatField(r.t, "@d2");
    EXPECT_EQ(r.t.fieldText, "0");
    for (const char *picture : {"@S1000", "@N30.9", "@s10", "@n3"}) {
        ImportRewind(r.t, false);
        ImportReadLine(r.t);
        ImportNextField(r.t);
        ImportDeformatField(r.t, picture);
        EXPECT_EQ(r.t.fieldText, "10/31/1987") << picture;
    }
}

TEST(ImportFields, ABareYearOrLowDayNumberWrittenAsADateComesBack) {
    const QList<int> days{1, 1999, 3000};
    QStringList line;
    for (int day : days)
        line << formatPicture("@d2", day);
    FileReader r(line.join(',').toUtf8() + "\n");
    ASSERT_GT(ImportReadLine(r.t), 0);
    for (int day : days) {
        ImportNextField(r.t);
        ImportDeformatField(r.t, "@d2");
        EXPECT_EQ(r.t.fieldText, QString::number(day));
    }
}
