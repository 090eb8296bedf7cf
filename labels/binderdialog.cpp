// "CD Binder Pages": the page style and the range of file numbers, kept in PagePrintRange for
// the rest of the run, then the pages of that style.
#include "albums/quickcdcover.h"
#include "albums/selectalbum.h"
#include "core/artwork.h"
#include "core/datafiles.h"
#include "records/procedurecall.h"
#include "labels/binderpages.h"
#include "runtime/threads/callprotocol.h"
#include "runtime/ui/window.h"
#include "runtime/ui/windowbuilder.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

namespace tbk {

namespace {

const QString kStyle = QStringLiteral("PagePrintRange:Style");
const QString kFirst = QStringLiteral("PagePrintRange:FirstFileNumber");
const QString kLast = QStringLiteral("PagePrintRange:LastFileNumber");

// Moves the button out of its row of buttons to the right of the entry, in the entry's cell.
void placeBeside(QWidget *window, QLineEdit *entry, QPushButton *button) {
    for (QGridLayout *grid : window->findChildren<QGridLayout *>()) {
        const int at = grid->indexOf(entry);
        if (at < 0)
            continue;
        int row = 0, column = 0, rows = 0, columns = 0;
        grid->getItemPosition(at, &row, &column, &rows, &columns);
        grid->removeWidget(entry);
        // The button's row is left holding its stretch alone: it goes too.
        for (QGridLayout *rows : window->findChildren<QGridLayout *>())
            for (QHBoxLayout *line : rows->findChildren<QHBoxLayout *>(Qt::FindDirectChildrenOnly))
                if (line->indexOf(button) >= 0) {
                    line->removeWidget(button);
                    rows->removeItem(line);
                    delete line;
                }
        auto *both = new QHBoxLayout;
        both->setSpacing(2);
        both->addWidget(entry, 1);
        both->addWidget(button);
        grid->addLayout(both, row, column, rows, columns);
        return;
    }
}

class BinderPagesWindow : public Window {
public:
    BinderPagesWindow() : Window(QStringLiteral("CDBinderPages")) {}
    qint32 response() const { return response_; }

protected:
    QWidget *createWindow() override {
        WindowBuilder b(*this, QStringLiteral("CD Binder Pages"), {200, 60});
        b.picture(artwork(QStringLiteral("FILECAB.GIF")));
        b.column();
        b.option(QStringLiteral("Page Style"), kStyle, {QStringLiteral("Binder"), QStringLiteral("Flap")});
        QLineEdit *first = b.entry(QStringLiteral("&Starting File Number:"), kFirst, QStringLiteral("@s30"),
                                   QStringLiteral("Starting File Number"));
        QPushButton *pickFirst = b.button(QStringLiteral("..."));
        pickFirst->setObjectName(QStringLiteral("SelectFirstAlbum"));
        b.newButtonRow();
        QLineEdit *last = b.entry(QStringLiteral("&Ending File Number:"), kLast, QStringLiteral("@s30"),
                                  QStringLiteral("Ending File Number"));
        QPushButton *pickLast = b.button(QStringLiteral("..."));
        pickLast->setObjectName(QStringLiteral("SelectLastAlbum"));
        b.newButtonRow();
        QPushButton *ok = b.button(QStringLiteral("&OK"));
        QPushButton *cancel = b.button(QStringLiteral("Cancel"));
        ok->setDefault(true);
        QWidget *w = b.finish();
        for (QPushButton *pick : {pickFirst, pickLast}) {
            pick->setMinimumWidth(0);
            pick->setFixedWidth(pick->height() + 6);
        }
        placeBeside(w, first, pickFirst);
        placeBeside(w, last, pickLast);

        controls().load([](const QString &field) -> QVariant {
            if (field == kStyle)
                return clip(PagePrintRange.Style.str());
            if (field == kFirst)
                return PagePrintRange.FirstFileNumber.str();
            if (field == kLast)
                return PagePrintRange.LastFileNumber.str();
            return {};
        });
        on(pickFirst, EventKind::Accepted, [this] { pickAlbum(kFirst); });
        on(pickLast, EventKind::Accepted, [this] { pickAlbum(kLast); });
        on(ok, EventKind::Accepted, [this] {
            if (controls().validateAll())
                return;
            storeRange();
            if (clip(PagePrintRange.Style.str()) == QLatin1String("Flap"))
                PrintCDFlapPages();
            else
                PrintCDBinderPages();
            response_ = GlobalResponse;
            closeWindow();
        });
        on(cancel, EventKind::Accepted, [this] { closeWindow(); });
        return w;
    }
    void takeEvent(const Event &e) override {
        // Every accepted value is the range's at once: a later pick or OK sees it.
        if (e.kind == EventKind::Accepted)
            storeRange();
        else if (e.kind == EventKind::GainFocus)
            widget()->update();
    }

private:
    void storeRange() {
        controls().store([](const QString &field, const QVariant &v) {
            if (field == kStyle && v.isValid() && !v.isNull())
                PagePrintRange.Style = v.toString();
            else if (field == kFirst)
                PagePrintRange.FirstFileNumber = v.toString();
            else if (field == kLast)
                PagePrintRange.LastFileNumber = v.toString();
        });
    }
    void pickAlbum(const QString &field) {
        storeRange();
        if (callWithRequest(SelectRecord, SelectAlbum) != RequestCompleted)
            return;
        controls().setValue(field, ALB.FileNumber.str());
        storeRange();
    }

    qint32 response_ = RequestCancelled;
};

} // namespace

void CDBinderPages() {
    ProcedureCall call;
    BinderPagesWindow window;
    window.run();
    call.setResponse(window.response());
}

} // namespace tbk
