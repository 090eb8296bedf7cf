#include "core/splash.h"

#include "core/artwork.h"
#include "core/frame.h"
#include "core/procedures.h"
#include "core/programsettings.h"
#include "runtime/threads/callprotocol.h"
#include "runtime/threads/messagebox.h"
#include "runtime/threads/scheduler.h"
#include "runtime/ui/window.h"
#include "runtime/values/picture.h"

#include <QEvent>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <QWidget>

namespace tbk {

namespace {

const QString kPicture = QStringLiteral("tbk98-3.gif");

QPointer<QWidget> &splashWidget() {
    static QPointer<QWidget> w;
    return w;
}

QLabel *versionLabel(QWidget *parent) {
    auto *version = new QLabel(ProgramVersion.str(), parent);
    version->setObjectName(QStringLiteral("VersionText"));
    version->setAlignment(Qt::AlignCenter);
    QFont f = version->font();
    f.setBold(true);
    version->setFont(f);
    return version;
}

// Where a window goes when it has no place of its own yet: over the middle of the frame, or of
// the screen while there is no frame.
void centre(QWidget *w) {
    QRect area;
    if (QWidget *frame = frameTable().window)
        area = frame->geometry();
    else if (QScreen *screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    if (area.isValid())
        w->move(area.center() - w->rect().center());
}

// Clicks anywhere on the splash close it, as its timer does.
class SplashClicks : public QObject {
public:
    explicit SplashClicks(QWidget *window) : QObject(window), window_(window) {}

protected:
    bool eventFilter(QObject *, QEvent *event) override {
        const QEvent::Type t = event->type();
        if (t != QEvent::MouseButtonPress && t != QEvent::MouseButtonDblClick)
            return false;
        const Qt::MouseButton b = static_cast<QMouseEvent *>(event)->button();
        if (b == Qt::LeftButton || (b == Qt::RightButton && t == QEvent::MouseButtonPress))
            postToWindow(window_, Event::of(EventKind::CloseWindow, window_));
        return true;
    }

private:
    QWidget *window_;
};

class SplashWindow : public Window {
public:
    SplashWindow() : Window(QStringLiteral("ShowSplashWindow")) {}

protected:
    QWidget *createWindow() override {
        auto *w = new QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
        w->setObjectName(QStringLiteral("ShowSplashWindow"));
        w->setWindowTitle(QString());
        auto *layout = new QVBoxLayout(w);
        layout->setContentsMargins(0, 0, 0, 8);
        auto *picture = new QLabel(w);
        picture->setObjectName(QStringLiteral("Picture"));
        picture->setPixmap(artwork(kPicture));
        layout->addWidget(picture);
        layout->addWidget(versionLabel(w));
        w->setStyleSheet(QStringLiteral("QWidget#ShowSplashWindow { background: #141f54; } "
                                        "QLabel#VersionText { color: #fcf6e2; }"));
        w->setFixedSize(w->sizeHint());
        centre(w);
        auto *clicks = new SplashClicks(w);
        w->installEventFilter(clicks);
        for (QWidget *child : w->findChildren<QWidget *>())
            child->installEventFilter(clicks);
        return w;
    }
    bool openRoutine() override {
        splashWidget() = widget();
        setTimer(100);
        return true;
    }
    void takeEvent(const Event &e) override {
        if (e.kind == EventKind::Timer)
            closeWindow();
        else
            Window::takeEvent(e);
    }
    void closeRoutine() override { splashWidget() = nullptr; }
};

void finishStartup() {
    if (SetupWizardComplete == 0)
        runProcedure(QStringLiteral("SetupWizard"));
    if (ShowTips) {
        if (DbgMode) {
            if (procedureRegistered(QStringLiteral("BrowseTBKTips"))) {
                message(QStringLiteral("Add Tips"), QStringLiteral("Introduction"));
                runProcedure(QStringLiteral("BrowseTBKTips"));
            }
        } else if (procedureRegistered(QStringLiteral("UpdateTBKTips"))) {
            GlobalRequest = ChangeRecord;
            runProcedure(QStringLiteral("UpdateTBKTips"));
        }
    }
    const FrameTable &frame = frameTable();
    if (frame.thread == 0)
        return;
    const std::pair<quint8, int> lists[] = {
        {SU_Songs, frame.songs}, {SU_Albums, frame.albums}, {SU_Playlists, frame.playLists}, {SU_Labels, frame.labels}};
    for (const auto &[on, id] : lists)
        if (on)
            postFrameCommand(id);
}

class AboutWindow : public Window {
public:
    AboutWindow() : Window(QStringLiteral("ShowAboutWindow")) { setKeepsPlace(false); }

protected:
    QWidget *createWindow() override {
        auto *w = new QWidget;
        w->setObjectName(QStringLiteral("ShowAboutWindow"));
        w->setWindowTitle(QStringLiteral("About"));
        auto *layout = new QVBoxLayout(w);
        auto *picture = new QLabel(w);
        picture->setObjectName(QStringLiteral("Picture"));
        picture->setPixmap(artwork(kPicture));
        picture->setFixedSize(picture->sizeHint());
        layout->addWidget(picture, 0, Qt::AlignHCenter);
        // An invisible button over the picture makes the picture clickable.
        region_ = new QPushButton(picture);
        region_->setObjectName(QStringLiteral("PictureRegion"));
        region_->setFlat(true);
        region_->setCursor(Qt::PointingHandCursor);
        region_->setStyleSheet(QStringLiteral("QPushButton { background: transparent; border: none; }"));
        region_->setGeometry(picture->rect());
        region_->setFocusPolicy(Qt::NoFocus);
        layout->addWidget(versionLabel(w));
        back_ = new QPushButton(QStringLiteral("&Return to TuneBank Pro"), w);
        back_->setObjectName(QStringLiteral("ReturnButton"));
        back_->setDefault(true);
        layout->addWidget(back_, 0, Qt::AlignHCenter);
        w->setFixedSize(w->sizeHint());
        centre(w);
        return w;
    }
    void takeEvent(const Event &e) override {
        if (e.kind == EventKind::Accepted && e.control == region_)
            callWithRequest(NoRequest, CompileDate);
        else if (e.kind == EventKind::Accepted && e.control == back_)
            closeWindow();
        else
            Window::takeEvent(e);
    }

private:
    QPushButton *region_ = nullptr;
    QPushButton *back_ = nullptr;
};

class CompileDateWindow : public Window {
public:
    CompileDateWindow() : Window(QStringLiteral("CompileDate")) {}

protected:
    QWidget *createWindow() override {
        const BuildInformation &b = buildInformation();
        auto *w = new QWidget;
        w->setObjectName(QStringLiteral("CompileDate"));
        w->setWindowTitle(QStringLiteral("Compile Information"));
        auto *form = new QFormLayout;
        const auto field = [&](const char *prompt, const char *name, const QString &value) {
            auto *entry = new QLineEdit(value, w);
            entry->setObjectName(QString::fromLatin1(name));
            entry->setReadOnly(true);
            form->addRow(QString::fromLatin1(prompt), entry);
        };
        field("Version", "Version", ProgramVersion.str());
        field("Application", "Application", b.program);
        field("Creation Date:", "CreationDate", formatPicture(QStringLiteral("@d17-"), b.creationDate));
        field("Creation Time:", "CreationTime", formatPicture(QStringLiteral("@t3"), b.creationTime));
        field("Change Date:", "ChangeDate", formatPicture(QStringLiteral("@d17-"), b.changeDate));
        field("Change Time:", "ChangeTime", formatPicture(QStringLiteral("@t3"), b.changeTime));
        field("32-bit", "Flag32", formatPicture(QStringLiteral("@n3"), b.flag32));
        auto *layout = new QVBoxLayout(w);
        layout->addLayout(form);
        close_ = new QPushButton(QStringLiteral("Cl&ose"), w);
        close_->setObjectName(QStringLiteral("CloseButton"));
        close_->setDefault(true);
        layout->addWidget(close_, 0, Qt::AlignRight);
        w->setFixedSize(w->sizeHint().expandedTo(QSize(300, 0)));
        centre(w);
        return w;
    }
    void takeEvent(const Event &e) override {
        if (e.kind == EventKind::Accepted && e.control == close_)
            closeWindow();
        else
            Window::takeEvent(e);
    }

private:
    QPushButton *close_ = nullptr;
};

} // namespace

const BuildInformation &buildInformation() {
    static const BuildInformation info{QStringLiteral("tbk98r"), 71266, 7755738, 72199, 8179192, 1};
    return info;
}

void ShowSplashWindow() {
    takeGlobalRequest();
    {
        SplashWindow splash;
        splash.run();
    }
    finishStartup();
    storeGlobalResponse(RequestCancelled);
}

void closeSplashWindow() {
    if (QWidget *w = splashWidget())
        postToWindow(w, Event::of(EventKind::CloseWindow, w));
}

bool splashWindowOpen() { return !splashWidget().isNull(); }

void ShowAboutWindow() {
    takeGlobalRequest();
    {
        AboutWindow about;
        about.run();
    }
    storeGlobalResponse(RequestCancelled);
}

void CompileDate() {
    takeGlobalRequest();
    {
        CompileDateWindow window;
        window.run();
    }
    storeGlobalResponse(RequestCancelled);
}

} // namespace tbk
