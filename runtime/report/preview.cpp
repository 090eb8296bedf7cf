#include "runtime/report/preview.h"

#include "runtime/report/render.h"
#include "runtime/threads/callprotocol.h"
#include "runtime/threads/dialogs.h"
#include "runtime/threads/scheduler.h"
#include "runtime/ui/dialogunits.h"
#include "runtime/ui/window.h"
#include "runtime/ui/windowbuilder.h"
#include "runtime/ui/windowplace.h"

#include <QAction>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>
#include <vector>

namespace tbk::report {

QSize thumbnailUnits(int width, int height, int across, int down, double aspect) {
    across = std::max(1, across);
    down = std::max(1, down);
    // A short or narrow window would leave no room: every cell keeps at least one unit.
    int w = std::max(1, (width - (across * 3 - 1)) / across);
    int h = std::max(1, (height - 18 - (down * 3 - 1)) / down);
    if (aspect > double(h) / w)
        w = std::max(1, int(h / aspect));
    else
        h = std::max(1, int(w * aspect));
    return {w, h};
}

namespace {

// Commands of the menus and toolbar, as the values of their Accepted events.
enum Command {
    CmdPrint = 1,
    CmdExit,
    CmdNext,
    CmdPrevious,
    CmdJump,
    CmdChangeDisplay,
    CmdZoomMenu,
    CmdZoomFirst = 100,   // + the zoom's number
};

const char *const kZoomMenuTexts[] = {"No &Zoom", "Page &Width", "&50 Percent", "&75 Percent",
                                      "&100 Percent", "&200 Percent", "&300 Percent"};
const char *const kZoomPopup[] = {"No Zoom", "Page Width", "50%", "75%", "100%", "200%", "300%"};
const char *const kZoomStatus[] = {"No Zoom", "Zoom (Page Width)", "Zoom (50%)", "Zoom (75%)",
                                   "Zoom (100%)", "Zoom (200%)", "Zoom (300%)"};
const double kZoomFactors[] = {0, 0, 0.5, 0.75, 1.0, 2.0, 3.0};

// A spin box that takes any number of its digits and puts one beyond its range back at the
// nearest limit, where a plain one would refuse the keys.
class LimitedSpin : public QSpinBox {
public:
    LimitedSpin(int digits, QWidget *parent) : QSpinBox(parent), digits_(digits) {
        setKeyboardTracking(false);
        setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    }

protected:
    QValidator::State validate(QString &text, int &) const override {
        const QString t = text.trimmed();
        if (t.isEmpty())
            return QValidator::Intermediate;
        if (t.size() > digits_)
            return QValidator::Invalid;
        for (QChar c : t)
            if (!c.isDigit())
                return QValidator::Invalid;
        return QValidator::Acceptable;
    }
    int valueFromText(const QString &text) const override {
        return std::clamp(text.trimmed().toInt(), minimum(), maximum());
    }
    void fixup(QString &text) const override {
        if (text.trimmed().isEmpty())
            text = QString::number(minimum());
    }

private:
    int digits_;
};

// Turns a left click on a page into an event of the preview's thread.
class PageClicks : public QObject {
public:
    PageClicks(QWidget *frame, QObject *parent) : QObject(parent), frame_(frame) {}
    void watch(QWidget *page, int k) {
        page->setProperty("tbkThumbnail", k);
        page->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::MouseButtonPress &&
            static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton && frame_) {
            Event e = Event::of(EventKind::MouseLeftDown, frame_, watched);
            e.value = watched->property("tbkThumbnail").toInt();
            postToWindow(frame_, std::move(e));
            return true;
        }
        return false;
    }

private:
    QPointer<QWidget> frame_;
};

class PreviewWindow : public Window {
public:
    PreviewWindow(const PreviewImageQueue &queue, Zoom zoom, QString settingsFile)
        : Window(QStringLiteral("PreviewReport")), queue_(queue), zoom_(zoom), settingsFile_(std::move(settingsFile)) {
        setLaidOut(true);
        setKeepsPlace(settingsFile_.isEmpty());
        openPreviews().append(this);
    }
    ~PreviewWindow() override { openPreviews().removeAll(this); }
    int response() const { return response_; }
    const PreviewImageQueue &queue() const { return queue_; }

    static QList<PreviewWindow *> &openPreviews() {
        static QList<PreviewWindow *> previews;
        return previews;
    }

protected:
    QWidget *createWindow() override;
    bool openRoutine() override;
    void takeEvent(const Event &e) override;
    void closeRoutine() override;

private:
    QAction *command(QMenu *menu, const QString &text, int id, const QString &name);
    QToolButton *toolButton(QToolBar *bar, const QString &text, const QString &tip, QStyle::StandardPixmap icon,
                            int id, const QString &name);
    LimitedSpin *spin(QToolBar *bar, const QString &prompt, const QString &name, int digits, int maximum);
    void runCommand(int id);
    void refresh();
    void showThumbnails();
    void removeThumbnails();
    void showZoom();
    void removeZoom();
    void next();
    void previous();
    void chooseZoom(Zoom z);
    void spinChanged(QObject *spin);
    void setSpin(QSpinBox *s, int value);
    double pixelsPerMil(double factor) const;
    int shownPerScreen() const { return across_ * down_; }

    const PreviewImageQueue &queue_;
    Zoom zoom_;
    QString settingsFile_;
    int response_ = RequestCancelled;
    int current_ = 1;
    int count_ = 0;
    int across_ = 1;
    int down_ = 1;
    int builtAcross_ = 0;
    int builtDown_ = 0;
    double aspect_ = 1.0;
    double factor_ = 0;

    QMainWindow *main_ = nullptr;
    QWidget *area_ = nullptr;
    QMenu *view_ = nullptr;
    QAction *next_ = nullptr;
    QAction *previous_ = nullptr;
    QList<QAction *> zoomActions_;
    QSpinBox *page_ = nullptr;
    QSpinBox *acrossSpin_ = nullptr;
    QSpinBox *downSpin_ = nullptr;
    QLabel *pageText_ = nullptr;
    QLabel *zoomText_ = nullptr;
    PageClicks *clicks_ = nullptr;
    std::vector<QFrame *> boxes_;
    std::vector<QLabel *> thumbnails_;
    QScrollArea *zoomArea_ = nullptr;
    QLabel *zoomImage_ = nullptr;
};

QAction *PreviewWindow::command(QMenu *menu, const QString &text, int id, const QString &name) {
    QAction *a = menu->addAction(text);
    a->setObjectName(name);
    QObject::connect(a, &QAction::triggered, main_, [this, id] {
        Event e = Event::of(EventKind::Accepted, main_);
        e.value = id;
        postToWindow(main_, std::move(e));
    });
    return a;
}

QToolButton *PreviewWindow::toolButton(QToolBar *bar, const QString &text, const QString &tip,
                                       QStyle::StandardPixmap icon, int id, const QString &name) {
    auto *b = new QToolButton(bar);
    b->setObjectName(name);
    b->setText(text);
    b->setToolTip(tip);
    b->setIcon(main_->style()->standardIcon(icon));
    b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    b->setProperty("tbkCommand", id);
    bar->addWidget(b);
    return b;
}

LimitedSpin *PreviewWindow::spin(QToolBar *bar, const QString &prompt, const QString &name, int digits, int maximum) {
    auto *label = new QLabel(prompt, bar);
    label->setContentsMargins(8, 0, 2, 0);
    auto *s = new LimitedSpin(digits, bar);
    s->setObjectName(name);
    s->setRange(1, maximum);
    label->setBuddy(s);
    bar->addWidget(label);
    bar->addWidget(s);
    QObject::connect(s, &QSpinBox::valueChanged, main_, [this, s] {
        postToWindow(main_, Event::of(EventKind::Accepted, main_, s));
    });
    return s;
}

QWidget *PreviewWindow::createWindow() {
    main_ = new QMainWindow;
    main_->setObjectName(QStringLiteral("PreviewReport"));
    main_->setWindowTitle(QStringLiteral("Report Preview"));

    QMenu *file = main_->menuBar()->addMenu(QStringLiteral("&File"));
    command(file, QStringLiteral("&Print"), CmdPrint, QStringLiteral("MenuPrint"));
    command(file, QStringLiteral("E&xit"), CmdExit, QStringLiteral("MenuExit"));
    view_ = main_->menuBar()->addMenu(QStringLiteral("&View"));
    view_->setObjectName(QStringLiteral("ViewMenu"));
    next_ = command(view_, QStringLiteral("&Next Page(s)"), CmdNext, QStringLiteral("MenuNext"));
    next_->setShortcutVisibleInContextMenu(true);
    previous_ = command(view_, QStringLiteral("&Previous Page(s)"), CmdPrevious, QStringLiteral("MenuPrevious"));
    command(view_, QStringLiteral("&Jump to a page"), CmdJump, QStringLiteral("MenuJump"));
    command(view_, QStringLiteral("&Change Display"), CmdChangeDisplay, QStringLiteral("MenuChangeDisplay"));
    QMenu *zoom = main_->menuBar()->addMenu(QStringLiteral("&Zoom"));
    for (int z = 0; z < 7; ++z) {
        QAction *a = command(zoom, QString::fromLatin1(kZoomMenuTexts[z]), CmdZoomFirst + z + 1,
                             QStringLiteral("MenuZoom%1").arg(z + 1));
        a->setCheckable(true);
        zoomActions_ << a;
    }

    auto *bar = new QToolBar(QStringLiteral("Toolbar"), main_);
    bar->setObjectName(QStringLiteral("Toolbar"));
    bar->setMovable(false);
    main_->addToolBar(bar);
    toolButton(bar, QStringLiteral("Print"), QStringLiteral("Print this report"), QStyle::SP_DialogSaveButton,
               CmdPrint, QStringLiteral("Print"));
    toolButton(bar, QStringLiteral("Exit"), QStringLiteral("Exit without printing the report"),
               QStyle::SP_DialogCloseButton, CmdExit, QStringLiteral("Exit"));
    toolButton(bar, QStringLiteral("Zoom"), QStringLiteral("Zoom in on a page of the report"),
               QStyle::SP_FileDialogContentsView, CmdZoomMenu, QStringLiteral("Zoom"));
    page_ = spin(bar, QStringLiteral("&Page:"), QStringLiteral("Page"), 4, 9999);
    acrossSpin_ = spin(bar, QStringLiteral("&Across:"), QStringLiteral("Across"), 2, 10);
    acrossSpin_->setToolTip(QStringLiteral("Select the number of thumbnails in a row"));
    downSpin_ = spin(bar, QStringLiteral("&Down:"), QStringLiteral("Down"), 2, 10);
    downSpin_->setToolTip(QStringLiteral("Select the number of thumbnails in a column"));

    auto *status = main_->statusBar();
    status->setObjectName(QStringLiteral("StatusBar"));
    auto *first = new QLabel(status);
    pageText_ = new QLabel(status);
    pageText_->setObjectName(QStringLiteral("PageText"));
    zoomText_ = new QLabel(status);
    zoomText_->setObjectName(QStringLiteral("ZoomText"));
    status->addWidget(first, 1);
    status->addWidget(pageText_, 1);
    status->addWidget(zoomText_, 1);

    area_ = new QWidget(main_);
    area_->setObjectName(QStringLiteral("PageArea"));
    area_->setAutoFillBackground(true);
    QPalette pal = area_->palette();
    pal.setColor(QPalette::Window, QColor(128, 128, 128));
    area_->setPalette(pal);
    main_->setCentralWidget(area_);
    clicks_ = new PageClicks(main_, main_);

    const DialogUnits du(main_);
    main_->setMinimumWidth(du.x(315));
    main_->resize(du.size(420, 330));
    return main_;
}

bool PreviewWindow::openRoutine() {
    if (!settingsFile_.isEmpty())
        RestoreWindowPosition(frame(), settingsFile_, procedureName());
    const Page &first = queue_.page(1);
    aspect_ = double(first.paper.height()) / std::max(1, first.paper.width());
    count_ = queue_.count();
    current_ = across_ = down_ = 1;
    setSpin(acrossSpin_, 1);
    setSpin(downSpin_, 1);
    if (count_ == 1) {
        view_->setEnabled(false);
        page_->setEnabled(false);
        acrossSpin_->setEnabled(false);
        downSpin_->setEnabled(false);
    } else {
        page_->setMaximum(count_);
        page_->setToolTip(QStringLiteral("Enter a page number from 1 to %1").arg(count_));
    }
    alertKey(nullptr, Qt::Key_PageDown);
    alertKey(nullptr, Qt::Key_PageUp);
    refresh();
    return true;
}

void PreviewWindow::closeRoutine() {
    if (!settingsFile_.isEmpty())
        SaveWindowPosition(frame(), settingsFile_, procedureName());
}

void PreviewWindow::takeEvent(const Event &e) {
    switch (e.kind) {
    case EventKind::Accepted:
        if (e.control == page_ || e.control == acrossSpin_ || e.control == downSpin_) {
            spinChanged(e.control);
        } else if (e.control && e.control->property("tbkCommand").isValid()) {
            runCommand(e.control->property("tbkCommand").toInt());
        } else if (e.value) {
            runCommand(e.value);
        }
        return;
    case EventKind::AlertKey:
        runCommand(e.key == Qt::Key_PageDown ? CmdNext : CmdPrevious);
        return;
    case EventKind::MouseLeftDown:
        if (e.control == zoomImage_ && zoomImage_) {
            chooseZoom(Zoom::None);
        } else if (zoom_ == Zoom::None) {
            current_ = std::min(count_, current_ + e.value);
            chooseZoom(Zoom::PageWidth);
        }
        return;
    case EventKind::Sized:
        refresh();
        return;
    case EventKind::CloseWindow:
    case EventKind::CloseDown:
        response_ = RequestCancelled;
        closeWindow();
        return;
    default:
        Window::takeEvent(e);
    }
}

void PreviewWindow::runCommand(int id) {
    switch (id) {
    case CmdPrint:
        response_ = RequestCompleted;
        closeWindow();
        return;
    case CmdExit:
        response_ = RequestCancelled;
        closeWindow();
        return;
    case CmdNext:
        if (view_->isEnabled())
            next();
        break;
    case CmdPrevious:
        if (view_->isEnabled())
            previous();
        break;
    case CmdJump:
        current_ = JumpToReportPage(current_, count_);
        break;
    case CmdChangeDisplay:
        SelectPreviewDisplay(across_, down_);
        setSpin(acrossSpin_, across_);
        setSpin(downSpin_, down_);
        break;
    case CmdZoomMenu: {
        QStringList items;
        for (int z = 0; z < 7; ++z) {
            items << QLatin1String(int(zoom_) == z + 1 ? "+" : "-") + QLatin1String(kZoomPopup[z]);
            if (z == 0)
                items << QStringLiteral("-");
        }
        const int chosen = popupMenu(items.join(QLatin1Char('|')));
        if (chosen == 0)
            return;
        zoom_ = Zoom(chosen);
        break;
    }
    default:
        if (id > CmdZoomFirst && id <= CmdZoomFirst + 7)
            zoom_ = Zoom(id - CmdZoomFirst);
        break;
    }
    if (!closing())
        refresh();
}

void PreviewWindow::chooseZoom(Zoom z) {
    zoom_ = z;
    refresh();
}

void PreviewWindow::spinChanged(QObject *spin) {
    auto *s = static_cast<QSpinBox *>(spin);
    if (s == page_) {
        if (s->value() == current_)
            return;
        current_ = std::clamp(s->value(), 1, count_);
    } else {
        int &kept = s == acrossSpin_ ? across_ : down_;
        if (s->value() == kept)
            return;
        kept = s->value();
        zoom_ = Zoom::None;
    }
    refresh();
}

void PreviewWindow::setSpin(QSpinBox *s, int value) {
    const QSignalBlocker quiet(s);
    s->setValue(value);
}

void PreviewWindow::next() {
    if (zoom_ == Zoom::None) {
        if (current_ + shownPerScreen() <= count_)
            current_ += shownPerScreen();
    } else if (current_ < count_) {
        ++current_;
    }
}

void PreviewWindow::previous() {
    if (zoom_ == Zoom::None)
        current_ = std::max(1, current_ - shownPerScreen());
    else if (current_ > 1)
        --current_;
}

double PreviewWindow::pixelsPerMil(double factor) const { return main_->logicalDpiX() / 1000.0 * factor; }

void PreviewWindow::refresh() {
    if (!main_)
        return;
    for (int z = 0; z < zoomActions_.size(); ++z)
        zoomActions_[z]->setChecked(int(zoom_) == z + 1);
    if (zoom_ == Zoom::None)
        showThumbnails();
    else
        showZoom();
    setSpin(page_, current_);
    zoomText_->setText(QString::fromLatin1(kZoomStatus[int(zoom_) - 1]));
}

void PreviewWindow::removeThumbnails() {
    for (QFrame *b : boxes_)
        delete b;
    for (QLabel *t : thumbnails_)
        delete t;
    boxes_.clear();
    thumbnails_.clear();
    builtAcross_ = builtDown_ = 0;
}

void PreviewWindow::removeZoom() {
    delete zoomArea_;
    zoomArea_ = nullptr;
    zoomImage_ = nullptr;
}

void PreviewWindow::showThumbnails() {
    removeZoom();
    if (across_ != builtAcross_ || down_ != builtDown_) {
        removeThumbnails();
        for (int k = 0; k < shownPerScreen(); ++k) {
            auto *box = new QFrame(area_);
            box->setObjectName(QStringLiteral("Box%1").arg(k));
            box->setAutoFillBackground(true);
            QPalette pal = box->palette();
            pal.setColor(QPalette::Window, Qt::white);
            box->setPalette(pal);
            auto *image = new QLabel(area_);
            image->setObjectName(QStringLiteral("Thumbnail%1").arg(k));
            clicks_->watch(image, k);
            boxes_.push_back(box);
            thumbnails_.push_back(image);
        }
        builtAcross_ = across_;
        builtDown_ = down_;
    }
    const DialogUnits du(main_);
    const double perX = du.x(1000) / 1000.0;
    const double perY = du.y(1000) / 1000.0;
    const QSize cell = thumbnailUnits(int(area_->width() / perX), int(area_->height() / perY), across_, down_, aspect_);
    const QSize pixels(std::max(1, du.x(cell.width())), std::max(1, du.y(cell.height())));
    for (int k = 0; k < shownPerScreen(); ++k) {
        const int row = k / across_;
        const int col = k % across_;
        const QRect r(du.x(1 + col * (cell.width() + 3)), du.y(1 + row * (cell.height() + 3)), pixels.width(),
                      pixels.height());
        boxes_[k]->setGeometry(r);
        thumbnails_[k]->setGeometry(r);
        const int page = current_ + k;
        if (page > count_) {
            boxes_[k]->hide();
            thumbnails_[k]->hide();
            continue;
        }
        const Page &p = queue_.page(page);
        thumbnails_[k]->setPixmap(QPixmap::fromImage(pageImage(p, double(pixels.width()) / p.paper.width())));
        thumbnails_[k]->setProperty("tbkPage", page);
        boxes_[k]->show();
        thumbnails_[k]->show();
        boxes_[k]->lower();
    }
    if (count_ > 1) {
        previous_->setEnabled(current_ != 1);
        next_->setEnabled(current_ + shownPerScreen() <= count_);
    }
    const int last = std::min(current_ + shownPerScreen() - 1, count_);
    if (shownPerScreen() == 1 || current_ == count_)
        pageText_->setText(QStringLiteral("Page %1 of %2").arg(current_).arg(count_));
    else
        pageText_->setText(QStringLiteral("Pages %1-%2 of %3").arg(current_).arg(last).arg(count_));
}

void PreviewWindow::showZoom() {
    removeThumbnails();
    if (!zoomArea_) {
        zoomArea_ = new QScrollArea(area_);
        zoomArea_->setObjectName(QStringLiteral("ZoomArea"));
        zoomArea_->setBackgroundRole(QPalette::Base);
        zoomArea_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        zoomImage_ = new QLabel;
        zoomImage_->setObjectName(QStringLiteral("ZoomImage"));
        zoomImage_->setAutoFillBackground(true);
        QPalette pal = zoomImage_->palette();
        pal.setColor(QPalette::Window, Qt::white);
        zoomImage_->setPalette(pal);
        zoomArea_->setWidget(zoomImage_);
        clicks_->watch(zoomImage_, 0);
        zoomArea_->show();
    }
    zoomArea_->setGeometry(area_->rect());
    zoomArea_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    const Page &p = queue_.page(current_);
    if (zoom_ == Zoom::PageWidth) {
        zoomArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        const int room = zoomArea_->width() - zoomArea_->verticalScrollBar()->sizeHint().width() -
                         2 * zoomArea_->frameWidth();
        factor_ = room / (p.paper.width() * pixelsPerMil(1.0));
    } else {
        zoomArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        factor_ = kZoomFactors[int(zoom_) - 1];
    }
    const QImage img = pageImage(p, pixelsPerMil(factor_));
    zoomImage_->setPixmap(QPixmap::fromImage(img));
    zoomImage_->resize(img.size());
    zoomImage_->setProperty("tbkPage", current_);
    pageText_->setText(QStringLiteral("Page %1 of %2").arg(current_).arg(count_));
}

class JumpWindow : public Window {
public:
    JumpWindow(int current, int count) : Window(QStringLiteral("JumpToReportPage")), page_(current), count_(count) {}
    int page() const { return page_; }

protected:
    QWidget *createWindow() override {
        WindowBuilder b(*this, QStringLiteral("Jump to a Report Page"));
        spin_ = b.spin(QStringLiteral("&Page:"), QStringLiteral("Page"), 1, std::max(1, count_),
                       QStringLiteral("Select a page of the report"), new LimitedSpin(5, nullptr));
        spin_->setValue(std::clamp(page_, 1, std::max(1, count_)));
        QPushButton *ok = b.button(QStringLiteral("OK"), QStringLiteral("Jump to the selected page"));
        QPushButton *cancel = b.button(QStringLiteral("Cancel"), QStringLiteral("Cancel this selection"));
        on(ok, EventKind::Accepted, [this] {
            spin_->interpretText();
            page_ = spin_->value();
            closeWindow();
        });
        on(cancel, EventKind::Accepted, [this] { closeWindow(); });
        return b.finish();
    }

private:
    int page_;
    int count_;
    QSpinBox *spin_ = nullptr;
};

class DisplayWindow : public Window {
public:
    DisplayWindow(int &across, int &down) : Window(QStringLiteral("SelectPreviewDisplay")), across_(across), down_(down) {}

protected:
    QWidget *createWindow() override {
        WindowBuilder b(*this, QStringLiteral("Change the Report Display"));
        b.group(QStringLiteral("Pages Displayed"));
        acrossSpin_ = b.spin(QStringLiteral("Across"), QStringLiteral("Across"), 1, 10);
        downSpin_ = b.spin(QStringLiteral("Down"), QStringLiteral("Down"), 1, 10);
        b.endGroup();
        acrossSpin_->setValue(std::clamp(across_, 1, 10));
        downSpin_->setValue(std::clamp(down_, 1, 10));
        // Bound to the preview's values: each change is kept as it is made.
        QObject::connect(acrossSpin_, &QSpinBox::valueChanged, acrossSpin_, [this](int v) { across_ = v; });
        QObject::connect(downSpin_, &QSpinBox::valueChanged, downSpin_, [this](int v) { down_ = v; });
        QPushButton *ok = b.button(QStringLiteral("OK"));
        on(ok, EventKind::Accepted, [this] {
            acrossSpin_->interpretText();
            downSpin_->interpretText();
            closeWindow();
        });
        return b.finish();
    }

private:
    int &across_;
    int &down_;
    QSpinBox *acrossSpin_ = nullptr;
    QSpinBox *downSpin_ = nullptr;
};

} // namespace

int runPreview(const PreviewImageQueue &queue, Zoom zoom, const QString &settingsFile) {
    // Without a first page there is no page size to show any page by.
    if (queue.isEmpty()) {
        storeGlobalResponse(RequestCancelled);
        return RequestCancelled;
    }
    PreviewWindow w(queue, zoom, settingsFile);
    w.run();
    storeGlobalResponse(w.response());
    return w.response();
}

const PreviewImageQueue *previewedPages(const QWidget *window) {
    for (const PreviewWindow *w : PreviewWindow::openPreviews())
        if (window && (w->frame() == window || w->widget() == window))
            return &w->queue();
    return nullptr;
}

int PreviewReport(const PreviewImageQueue &queue) { return runPreview(queue, Zoom::None, QString()); }

int PRINTPREVIEW(const PreviewImageQueue &queue, int zoomPercent, const QString &settingsFile) {
    Zoom z = Zoom::None;
    switch (zoomPercent) {
    case 50: z = Zoom::Percent50; break;
    case 75: z = Zoom::Percent75; break;
    case 100: z = Zoom::Percent100; break;
    case 200: z = Zoom::Percent200; break;
    case 300: z = Zoom::Percent300; break;
    default: break;
    }
    return runPreview(queue, z, settingsFile);
}

int JumpToReportPage(int currentPage, int pageCount) {
    JumpWindow w(currentPage, pageCount);
    w.run();
    return w.page();
}

void SelectPreviewDisplay(int &across, int &down) {
    DisplayWindow w(across, down);
    w.run();
}

} // namespace tbk::report
