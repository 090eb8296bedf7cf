#include "impextest.h"

#include "runtime/data/transaction.h"
#include "runtime/threads/scheduler.h"

#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QTest>

using namespace tbk;

namespace impextest {

void makeCatalogue(const std::function<void()> &fill) {
    for (data::DataFile *f : {static_cast<data::DataFile *>(&MUS), static_cast<data::DataFile *>(&CAT)}) {
        ASSERT_TRUE(f->create());
        ASSERT_TRUE(f->open());
    }
    // One transaction: a commit per song would wait for the disk each time.
    ASSERT_TRUE(data::beginTransaction(5, {&MUS, &CAT}));
    if (fill)
        fill();
    ASSERT_TRUE(data::commitTransaction());
    MUS.close();
    CAT.close();
}

void prepareSong(int id, const QString &artist, const QString &title, int category) {
    MUS.clear();
    MUS.ID = id;
    MUS.Artist = artist;
    MUS.Title = title;
    MUS.CategoryID = category;
}

void makeSongs(int count) {
    makeCatalogue([count] {
        addCategory(1, "Rock");
        for (int i = 1; i <= count; ++i) {
            prepareSong(i, QStringLiteral("Artist %1").arg(i, 4, 10, QLatin1Char('0')), QStringLiteral("Song %1").arg(i));
            ASSERT_TRUE(MUS.add());
        }
    });
}

QByteArray fileBytes(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList fileLines(const QString &path) {
    QStringList lines = QString::fromUtf8(fileBytes(path)).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

bool chooseFile(int thread, const QString &name) {
    if (!windowtest::runUntil([thread] { return qobject_cast<QFileDialog *>(windowtest::activeWindow(thread)); }))
        return false;
    auto *dialog = qobject_cast<QFileDialog *>(windowtest::activeWindow(thread));
    auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
    if (!edit)
        return false;
    edit->clear();
    QTest::keyClicks(edit, name);
    QTest::keyClick(edit, Qt::Key_Return);
    return true;
}

bool waitForEnd(int thread) { return windowtest::runUntil([thread] { return !threadExists(thread); }, 20000); }

} // namespace impextest
