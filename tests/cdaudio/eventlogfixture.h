#pragma once
// The event log as the catalogue's folder holds it, with UseLog set for the test and the log
// closed after it (the open file would otherwise outlive the test's folder).
#include "core/eventlog.h"
#include "core/programsettings.h"

#include <QFile>
#include <QStringList>
#include <gtest/gtest.h>

struct LogLine {
    QString date, time, label, data;
};

inline QByteArray eventLogBytes() {
    QFile f(QString::fromLatin1(tbk::kEventLogName));
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

// The log's records, each checked to be exactly one line of the record's width in bytes.
inline std::vector<LogLine> eventLogLines() {
    std::vector<LogLine> lines;
    const QByteArray bytes = eventLogBytes();
    if (bytes.isEmpty())
        return lines;
    EXPECT_TRUE(bytes.endsWith("\r\n"));
    QList<QByteArray> rows = bytes.split('\n');
    rows.removeLast();
    for (QByteArray row : rows) {
        EXPECT_TRUE(row.endsWith('\r'));
        row.chop(1);
        EXPECT_EQ(row.size(), 102) << row.toStdString();
        const auto part = [&row](int at, int size) { return QString::fromUtf8(row.mid(at, size)).trimmed(); };
        lines.push_back({part(0, 12), part(12, 10), part(22, 30), part(52, 50)});
    }
    return lines;
}

class EventLogTest : public testing::Test {
protected:
    void SetUp() override { tbk::UseLog = 1; }
    void TearDown() override {
        tbk::CloseEventLog();
        tbk::UseLog = 0;
    }
};
