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

inline QString eventLogText() {
    QFile f(QString::fromLatin1(tbk::kEventLogName));
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(f.readAll());
}

// The log's records, each checked to be exactly one fixed-width line.
inline std::vector<LogLine> eventLogLines() {
    std::vector<LogLine> lines;
    const QString text = eventLogText();
    if (text.isEmpty())
        return lines;
    EXPECT_TRUE(text.endsWith(QLatin1String("\r\n")));
    QStringList rows = text.split(QStringLiteral("\r\n"));
    rows.removeLast();
    for (const QString &row : rows) {
        EXPECT_EQ(row.size(), 102) << row.toStdString();
        lines.push_back({row.mid(0, 12).trimmed(), row.mid(12, 10).trimmed(), row.mid(22, 30).trimmed(),
                         row.mid(52, 50).trimmed()});
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
