#pragma once
// Reading a report's pages back: the texts of a page by line, as a reader would see them.
#include "runtime/report/pagemodel.h"

#include <QList>
#include <QStringList>

#include <vector>

namespace tbk::report::test {

// The page's texts grouped by the top of their line, lines from the top down, each line's
// texts from left to right; blank texts are left out.
QList<QStringList> pageLines(const PreviewImageQueue &queue, int page);
// The first text item of the page that shows the text, or null.
const DrawItem *findText(const PreviewImageQueue &queue, int page, const QString &text);
// Every line of every page, its texts trimmed and joined by " | ".
QStringList allLines(const PreviewImageQueue &queue);
// The page's pictures in the order drawn.
std::vector<DrawItem> pageImages(const PreviewImageQueue &queue, int page);
// Saves a picture of that many pixels at 96 dots an inch, its top left quarter blue and the
// rest red; false when it could not be saved.
bool savePicture(const QString &file, QSize pixels);

// The pages of a PDF file as pdftotext reads them, blanks simplified.
QStringList pdfPages(const QString &file);

} // namespace tbk::report::test
