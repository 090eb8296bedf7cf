#include "support/report/pagelines.h"

#include <QPainter>
#include <QProcess>
#include <gtest/gtest.h>

#include <map>

namespace tbk::report::test {

QList<QStringList> pageLines(const PreviewImageQueue &queue, int page) {
    std::map<int, std::multimap<int, QString>> byTop;
    for (const DrawItem &it : queue.page(page).items)
        if (it.kind == ElementKind::Text && !it.text.trimmed().isEmpty())
            byTop[it.rect.top()].emplace(it.rect.left(), it.text);
    QList<QStringList> lines;
    for (const auto &[top, texts] : byTop) {
        QStringList line;
        for (const auto &[x, text] : texts)
            line << text;
        lines << line;
    }
    return lines;
}

std::vector<DrawItem> pageImages(const PreviewImageQueue &queue, int page) {
    std::vector<DrawItem> images;
    for (const DrawItem &it : queue.page(page).items)
        if (it.kind == ElementKind::Image)
            images.push_back(it);
    return images;
}

bool savePicture(const QString &file, QSize pixels) {
    QImage picture(pixels, QImage::Format_RGB32);
    picture.fill(Qt::red);
    picture.setDotsPerMeterX(3780);
    picture.setDotsPerMeterY(3780);
    QPainter(&picture).fillRect(0, 0, pixels.width() / 2, pixels.height() / 2, Qt::blue);
    return picture.save(file);
}

const DrawItem *findText(const PreviewImageQueue &queue, int page, const QString &text) {
    for (const DrawItem &it : queue.page(page).items)
        if (it.kind == ElementKind::Text && it.text == text)
            return &it;
    return nullptr;
}

QStringList allLines(const PreviewImageQueue &queue) {
    QStringList out;
    for (int p = 1; p <= queue.count(); ++p)
        for (const QStringList &line : pageLines(queue, p)) {
            QStringList texts;
            for (const QString &t : line)
                texts << t.trimmed();
            out << texts.join(QLatin1String(" | "));
        }
    return out;
}

QStringList pdfPages(const QString &file) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {file, QStringLiteral("-")});
    EXPECT_TRUE(p.waitForFinished(20000)) << "pdftotext did not run";
    QStringList pages = QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\f'));
    for (QString &page : pages)
        page = page.simplified();
    if (!pages.isEmpty() && pages.back().isEmpty())
        pages.removeLast();
    return pages;
}

} // namespace tbk::report::test
