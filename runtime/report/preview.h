#pragma once
// The page preview: the pages of one run as a grid of thumbnails or as one page at a zoom,
// ended by Print or Exit. It runs modally on its caller's thread.
#include "runtime/report/pagemodel.h"

#include <QSize>
#include <QString>

class QWidget;

namespace tbk::report {

// The zoom choices in the order of the Zoom menu.
enum class Zoom { None = 1, PageWidth, Percent50, Percent75, Percent100, Percent200, Percent300 };

// Shows the pages and returns 1 when the user chose Print, 2 otherwise (also left in the shared
// response). An empty page list answers 2 at once.
int PreviewReport(const PreviewImageQueue &queue);
// The window "Jump to a Report Page": the chosen page on OK, the current page on Cancel.
int JumpToReportPage(int currentPage, int pageCount);
// The window "Change the Report Display", editing the preview's across and down directly.
void SelectPreviewDisplay(int &across, int &down);

// The preview as the report frame calls it: opened at the zoom in percent (0: thumbnails), its
// place kept in the settings file. 1 when the user chose Print.
int PRINTPREVIEW(const PreviewImageQueue &queue, int zoomPercent, const QString &settingsFile);

// The pages the preview window shows; null for a window that is no preview.
const PreviewImageQueue *previewedPages(const QWidget *window);

// The runtime's preview with its start and place, for the two calls above.
int runPreview(const PreviewImageQueue &queue, Zoom zoom, const QString &settingsFile);

// The thumbnail grid in dialog units: each cell's size for a page area of width x height units
// (never below 1), with the page's aspect (height / width) kept.
QSize thumbnailUnits(int width, int height, int across, int down, double aspect);

} // namespace tbk::report
