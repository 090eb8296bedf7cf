// Not a check, so disabled: run with --gtest_also_run_disabled_tests, TBK_SCREENSHOT set and a
// real display (e.g. under xvfb-run with QT_QPA_PLATFORM=xcb). Saves the preview of a short
// song list as a 2 x 2 grid of thumbnails at the path, and its second page at 100% next to it
// ("-zoom" added).
#include "runtime/report/preview.h"
#include "runtime/report/report.h"
#include "runtime/threads/scheduler.h"
#include "support/report/previewtesting.h"
#include "support/windows/controltesting.h"
#include "support/windows/windowtesting.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QWidget>
#include <gtest/gtest.h>

using namespace tbk;
using namespace tbk::report;
using namespace tbk::windowtest;

namespace {

PreviewImageQueue songList() {
    Layout l;
    l.header.height = 700;
    Element title;
    title.name = "ReportTitle";
    title.text = "Songs by Title";
    title.rect = QRect(31, 0, 0, 0);
    title.ownFont = true;
    title.font.size = 18;
    title.font.weight = 700;
    Element shade;
    shade.kind = ElementKind::Box;
    shade.filled = true;
    shade.rect = QRect(0, 400, 8000, 250);
    l.header.elements << title << shade;
    const char *headings[] = {"Title", "Artist", "Album", "Media"};
    const int xs[] = {31, 1646, 3208, 4781};
    for (int i = 0; i < 4; ++i) {
        Element h;
        h.text = headings[i];
        h.rect = QRect(xs[i], 430, 0, 0);
        h.ownFont = true;
        h.font.weight = 700;
        l.header.elements << h;
    }
    l.footer.height = 300;
    Element page;
    page.pageNumber = true;
    page.picture = "@pPage <<<#p";
    page.rect = QRect(8000, 50, 0, 0);
    page.align = Align::EndsAt;
    Element rule;
    rule.kind = ElementKind::Line;
    rule.rect = QRect(0, 20, 8000, 0);
    l.footer.elements << rule << page;
    Band d;
    d.name = "Detail";
    d.height = 200;
    for (int i = 0; i < 4; ++i) {
        Element f;
        f.name = headings[i];
        f.picture = "@s30";
        f.rect = QRect(xs[i], 0, 1500, 0);
        d.elements << f;
    }
    l.details << d;
    Report r(std::move(l));
    for (int i = 1; i <= 150; ++i) {
        r.element("Title")->value = QString("Song number %1").arg(i);
        r.element("Artist")->value = QString("Artist %1").arg(i % 7 + 1);
        r.element("Album")->value = QString("Album %1").arg(i / 12 + 1);
        r.element("Media")->value = i % 3 ? "CD" : "LP";
        r.print("Detail");
    }
    r.close();
    return r.queue();
}

} // namespace

TEST(Screenshot, DISABLED_PreviewThumbnailsAndOnePageAt100) {
    const QString path = qEnvironmentVariable("TBK_SCREENSHOT");
    if (path.isEmpty())
        GTEST_SKIP() << "TBK_SCREENSHOT not set";
    const QFileInfo file(path);
    const QString zoomed = file.path() + "/" + file.completeBaseName() + "-zoom." + file.suffix();
    const PreviewImageQueue queue = songList();
    const int t = startThread([&] { PreviewReport(queue); });
    ASSERT_TRUE(runUntilIdle());
    QWidget *w = test::previewWindow(t);
    ASSERT_TRUE(w);
    w->move(10, 10);
    w->resize(900, 740);
    ASSERT_TRUE(typeInto(t, "Across", "2"));
    ASSERT_TRUE(typeInto(t, "Down", "2"));
    runFor(500);
    EXPECT_TRUE(QGuiApplication::primaryScreen()->grabWindow(0).save(path));
    ASSERT_TRUE(test::clickPage(w, 1));
    ASSERT_TRUE(test::previewCommand(w, "MenuZoom5"));
    runFor(500);
    EXPECT_TRUE(QGuiApplication::primaryScreen()->grabWindow(0).save(zoomed));
    ASSERT_TRUE(pressButton(t, "Exit"));
    ASSERT_TRUE(runUntilIdle());
}
