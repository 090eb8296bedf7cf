// Not checks, so disabled: run with --gtest_also_run_disabled_tests, TBK_SCREENSHOT set and a
// real display (e.g. under xvfb-run with QT_QPA_PLATFORM=xcb); each saves a picture of the
// screen: the agent's form with matches listed, or a list with sort arrows and header images
// ("-list" added to the path).
#include "agent/extlistview.h"
#include "agent/fmcddb.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

using namespace tbk::agent;

namespace {

QString shotPath(const char *suffix) {
    const QString path = qEnvironmentVariable("TBK_SCREENSHOT");
    if (path.isEmpty())
        return {};
    const QFileInfo f(path);
    return f.path() + QLatin1Char('/') + f.completeBaseName() + QLatin1String(suffix) +
           QStringLiteral(".png");
}

void saveScreen(const QString &path) {
    QTest::qWait(400);
    EXPECT_TRUE(QGuiApplication::primaryScreen()->grabWindow(0).save(path));
}

QPixmap disc(QColor colour) {
    QPixmap p(12, 12);
    p.fill(Qt::transparent);
    QPainter q(&p);
    q.setRenderHint(QPainter::Antialiasing);
    q.setBrush(colour);
    q.setPen(Qt::black);
    q.drawEllipse(QRectF(0.5, 0.5, 11, 11));
    q.setBrush(Qt::white);
    q.drawEllipse(QRectF(4.5, 4.5, 3, 3));
    return p;
}

} // namespace

TEST(Screenshot, DISABLED_AgentForm) {
    const QString path = shotPath("");
    if (path.isEmpty())
        GTEST_SKIP() << "TBK_SCREENSHOT not set";
    TfmCDDB f;
    f.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
    f.Results->addRow("rock", {"0801f802", "The Artist / The Album"});
    f.Results->addRow("blues", {"0801f802", "Second Artist / Second Album"});
    f.Results->addRow("misc", {"12345678", "Third"});
    f.Results->selectRow(1);
    f.Results->setFocus();
    saveScreen(path);
}

TEST(Screenshot, DISABLED_ListWithArrowsAndHeaderImages) {
    const QString path = shotPath("-list");
    if (path.isEmpty())
        GTEST_SKIP() << "TBK_SCREENSHOT not set";
    ImageList images;
    images.add(disc(Qt::red));
    images.add(disc(Qt::blue));
    ExtendedListView l;
    l.setWindowTitle("Sorted list");
    l.setLocale(QLocale("en_US"));   // the dates below are written month first
    l.setColumns({{"Title", 150, Qt::AlignLeft},
                  {"Released", 110, Qt::AlignLeft},
                  {"Length", 80, Qt::AlignRight},
                  {"Tracks", 70, Qt::AlignRight}});
    l.setSmallImages(&images);
    l.ColumnsFormat().Add().setImageIndex(0);
    l.ColumnsFormat().Add().setImageIndex(1);
    l.ColumnsFormat().Items(1).setImageAlignment(ciaLeftOfText);
    l.setExtendedStyles(lvxGridLines | lvxFullRowSelect | lvxHeaderDragDrop);
    l.setAutoColumnSort(acsSortToggle);
    l.setShowSortArrows(true);
    const char *rows[][4] = {{"Blue Monday", "3/7/1983", "7:29", "2"},
                             {"Heart of Glass", "1/3/1979", "3:54", "10"},
                             {"Le Freak", "9/21/1978", "5:29", "9"},
                             {"Sweet Dreams", "1/21/1983", "3:36", "1"},
                             {"I Feel Love", "7/2/1977", "5:53", "100"}};
    for (auto &r : rows)
        l.addRow(QLatin1String(r[0]), {QLatin1String(r[1]), QLatin1String(r[2]), QLatin1String(r[3])});
    l.Loaded();
    l.SortColumn(1, true);
    l.move(30, 30);
    l.resize(440, 170);
    l.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&l));
    l.selectRow(2);
    l.setFocus();
    saveScreen(path);
}
