#include "support/report/previewtesting.h"

#include "runtime/report/report.h"
#include "support/windows/windowtesting.h"

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QTest>

namespace tbk::report::test {

PreviewImageQueue numberedPages(int count) {
    Layout l;
    Band b;
    b.name = "Number";
    b.height = 500;
    Element e;
    e.name = "Text";
    e.rect = QRect(500, 500, 0, 0);
    e.ownFont = true;
    e.font.size = 36;
    b.elements << e;
    l.details << b;
    Report r(std::move(l));
    for (int n = 1; n <= count; ++n) {
        r.element("Text")->text = QStringLiteral("Page %1").arg(n);
        r.print(QStringLiteral("Number"));
        r.endPage();
    }
    r.close();
    return r.queue();
}

QWidget *previewWindow(int thread) {
    QWidget *w = windowtest::activeWindow(thread);
    return w && w->objectName() == QLatin1String("PreviewReport") ? w : nullptr;
}

PreviewState previewState(QWidget *preview) {
    PreviewState s;
    if (!preview)
        return s;
    s.pageText = preview->findChild<QLabel *>(QStringLiteral("PageText"))->text();
    s.zoomText = preview->findChild<QLabel *>(QStringLiteral("ZoomText"))->text();
    for (int k = 0;; ++k) {
        auto *t = preview->findChild<QLabel *>(QStringLiteral("Thumbnail%1").arg(k));
        if (!t)
            break;
        s.thumbnails << (t->isVisible() ? t->property("tbkPage").toInt() : 0);
    }
    if (auto *z = preview->findChild<QLabel *>(QStringLiteral("ZoomImage")))
        s.zoomedPage = z->property("tbkPage").toInt();
    s.nextEnabled = preview->findChild<QAction *>(QStringLiteral("MenuNext"))->isEnabled();
    s.previousEnabled = preview->findChild<QAction *>(QStringLiteral("MenuPrevious"))->isEnabled();
    s.viewEnabled = preview->findChild<QMenu *>(QStringLiteral("ViewMenu"))->isEnabled();
    return s;
}

bool previewCommand(QWidget *preview, const QString &action) {
    auto *a = preview ? preview->findChild<QAction *>(action) : nullptr;
    if (!a || !a->isEnabled())
        return false;
    a->trigger();
    return windowtest::runUntilIdle();
}

bool clickPage(QWidget *preview, int k) {
    auto *page = preview ? preview->findChild<QLabel *>(k < 0 ? QStringLiteral("ZoomImage")
                                                              : QStringLiteral("Thumbnail%1").arg(k))
                         : nullptr;
    if (!page || !page->isVisible())
        return false;
    QTest::mouseClick(page, Qt::LeftButton, {}, QPoint(2, 2));
    return windowtest::runUntilIdle();
}

} // namespace tbk::report::test
