#pragma once
// Reading and working the page preview of a thread from a test.
#include "runtime/report/pagemodel.h"

#include <QList>
#include <QString>

class QWidget;

namespace tbk::report::test {

// A run of that many pages, each showing "Page n" near its top.
PreviewImageQueue numberedPages(int count);

struct PreviewState {
    QString pageText;
    QString zoomText;
    QList<int> thumbnails;   // the page each visible thumbnail shows, in order; 0 for a hidden one
    int zoomedPage = 0;      // the page the zoomed image shows, 0 in thumbnail mode
    bool nextEnabled = false;
    bool previousEnabled = false;
    bool viewEnabled = false;
};

// The preview window the thread shows, or null.
QWidget *previewWindow(int thread);
PreviewState previewState(QWidget *preview);
// Runs the command of the preview's menus by its object name ("MenuNext", "MenuZoom2" ...).
bool previewCommand(QWidget *preview, const QString &action);
// Clicks the page shown by thumbnail k, or the zoomed page for k < 0.
bool clickPage(QWidget *preview, int k);

} // namespace tbk::report::test
