#include "eventlogfixture.h"

#include <QDir>
#include <QRegularExpression>

using namespace tbk;

namespace {

TEST_F(EventLogTest, RecordIsOneFixedWidthLine) {
    AddEventLogEntry(QStringLiteral("open cdaudio:  Error:266"), QStringLiteral("CDPlayer"));
    const auto lines = eventLogLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^[A-Z]{3} +\\d{1,2},\\d{4}$")).match(lines[0].date).hasMatch())
        << lines[0].date.toStdString();
    EXPECT_TRUE(lines[0].time.contains(QRegularExpression(QStringLiteral("\\d"))));
    EXPECT_EQ(lines[0].label, "CDPlayer");
    EXPECT_EQ(lines[0].data, "open cdaudio:  Error:266");
}

TEST_F(EventLogTest, LongAndMultiLineValuesStayInTheirFields) {
    AddEventLogEntry(QString(60, QLatin1Char('d')) + QStringLiteral("\nX"),
                     QStringLiteral("a label\r\nlonger than thirty characters"));
    AddEventLogEntry(QStringLiteral("second"), QStringLiteral("Next"));
    const auto lines = eventLogLines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].label, "a label  longer than thirty ch");
    EXPECT_EQ(lines[0].data, QString(50, QLatin1Char('d')));
    EXPECT_EQ(lines[1].data, "second");
}

TEST_F(EventLogTest, TextBeyondAsciiIsCutByBytesNeverInsideACharacter) {
    const QString e = QString::fromUtf8("\xc3\xa9");             // 2 bytes
    const QString face = QString::fromUtf8("\xf0\x9f\x98\x80");  // 4 bytes, two halves in memory
    // 26 two-byte letters are 52 bytes: the 50 bytes of the field hold 25 of them. The label's
    // face would end at byte 31 of 30: it is left out whole.
    AddEventLogEntry(e.repeated(26), QStringLiteral("x").repeated(27) + face);
    AddEventLogEntry(QStringLiteral("a") + face.repeated(13), QStringLiteral("Caf") + e);
    AddEventLogEntry(QStringLiteral("plain"), QStringLiteral("Next"));
    const auto lines = eventLogLines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].data, e.repeated(25));
    EXPECT_EQ(lines[0].label, QStringLiteral("x").repeated(27));
    EXPECT_EQ(lines[1].data, QStringLiteral("a") + face.repeated(12));
    EXPECT_EQ(lines[1].label, QStringLiteral("Caf") + e);
    EXPECT_EQ(lines[2].data, "plain");
}

TEST_F(EventLogTest, NothingWrittenWithUseLogOff) {
    UseLog = 0;
    AddEventLogEntry(QStringLiteral("data"), QStringLiteral("label"));
    EXPECT_FALSE(QFile::exists(QString::fromLatin1(kEventLogName)));
}

TEST_F(EventLogTest, AppendsToAnExistingLogFoundWithoutCase) {
    QFile old(QStringLiteral("tbkevent.log"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(102, 'x') + "\r\n");
    old.close();
    AddEventLogEntry(QStringLiteral("new"), QStringLiteral("Entry"));
    CloseEventLog();
    EXPECT_FALSE(QFile::exists(QString::fromLatin1(kEventLogName)));
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    const QList<QByteArray> rows = old.readAll().split('\n');
    ASSERT_EQ(rows.size(), 3);
    EXPECT_TRUE(rows[1].contains("Entry"));
}

TEST_F(EventLogTest, ClosedAfterThe101stEntryAndOpenedAgainByTheNext) {
    for (int i = 1; i <= 100; ++i)
        AddEventLogEntry(QString::number(i), QStringLiteral("Count"));
    // While the file is open, entries follow it to its new name.
    ASSERT_TRUE(QFile::rename(QString::fromLatin1(kEventLogName), QStringLiteral("first.log")));
    AddEventLogEntry(QStringLiteral("101"), QStringLiteral("Count"));
    AddEventLogEntry(QStringLiteral("102"), QStringLiteral("Count"));
    const auto lines = eventLogLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].data, "102");
    QFile first(QStringLiteral("first.log"));
    ASSERT_TRUE(first.open(QIODevice::ReadOnly));
    const QByteArray text = first.readAll();
    EXPECT_EQ(text.count('\n'), 101);
    EXPECT_TRUE(text.contains("101"));
}

} // namespace
