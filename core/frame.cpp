#include "core/frame.h"

#include "core/artwork.h"
#include "core/datafiles.h"
#include "core/framewindowproc.h"
#include "core/fileaccess.h"
#include "core/help.h"
#include "core/procedures.h"
#include "core/programsettings.h"
#include "core/splash.h"
#include "runtime/settings/profile.h"
#include "runtime/threads/callprotocol.h"
#include "runtime/threads/messagebox.h"
#include "runtime/threads/printersetup.h"
#include "runtime/threads/scheduler.h"
#include "runtime/ui/browsetoolbar.h"
#include "runtime/ui/window.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStatusBar>
#include <QTextEdit>
#include <QToolBar>

#include <algorithm>

namespace tbk {

FixedString<40> ProgramVersion;

namespace {

using K = CommandKind;

FrameCommand start(int id, const char *menu, const char *text, const char *procedure, int stack,
                   const char *status, const char *icon = "") {
    return {id, QString::fromUtf8(menu), QString::fromUtf8(text), K::Start, QString::fromUtf8(procedure), stack,
            QString::fromUtf8(status), QString(), QString::fromUtf8(icon)};
}

FrameCommand other(int id, const char *menu, const char *text, K kind, const char *status,
                   const char *shortcut = "", const char *procedure = "", const char *icon = "") {
    return {id, QString::fromUtf8(menu), QString::fromUtf8(text), kind, QString::fromUtf8(procedure), 0,
            QString::fromUtf8(status), QString::fromUtf8(shortcut), QString::fromUtf8(icon)};
}

FrameCommand header(int id, const char *menu, const char *text) {
    return {id, QString::fromUtf8(menu), QString::fromUtf8(text), K::Header, {}, 0, {}, {}, {}};
}

QList<FrameCommand> buildCommands() {
    return {
        header(0, "", "&File"),
        start(-1, "File", "&CD Player", "IntegratedCDPlayer", 25000, "Start the CD Player"),
        other(-2, "File", "&Setup", K::Call, "Options and settings", "", "EditPreferences"),
        start(-3, "File", "&Import", "ImportSongs", 25000, "Import from a comma-delimited file"),
        start(-4, "File", "&Export", "ExportSongs", 25000, "Export to a comma-delimited file"),
        other(-5, "File", "&Print Setup ...", K::Standard, "Choose the printer and its settings"),
        other(-6, "File", "E&xit", K::Standard, "Exit this application"),
        header(0, "", "&Edit"),
        other(-7, "Edit", "Cu&t", K::Standard, "Remove the selection and put it on the clipboard", "Ctrl+X"),
        other(-8, "Edit", "&Copy", K::Standard, "Copy the selection to the clipboard", "Ctrl+C"),
        other(-9, "Edit", "&Paste", K::Standard, "Insert the contents of the clipboard", "Ctrl+V"),
        header(0, "", "&Browse"),
        other(-10, "Browse", "&Albums", K::Albums, "Browse the albums"),
        other(-11, "Browse", "&Songs", K::Songs, "Browse the songs"),
        start(-12, "Browse", "&Both", "BrowseAlbumsAndSongs", 50000, "Browse albums with their songs"),
        start(-19, "Browse", "&Labels", "BrowseLabels", 25000, "Browse the CD and cassette labels"),
        start(-20, "Browse", "&Play Lists", "BrowsePlayLists", 25000, "Browse the play lists"),
        start(-21, "Browse", "&Categories", "BrowseCategories", 25000, "Browse the categories"),
        start(-22, "Browse", "&Media Formats", "BrowseMedia", 25000, "Browse the media formats"),
        header(-13, "", "&Wizards"),
        start(-14, "Wizards", "Add &Album", "AlbumWizard", 25000, "Add an album with its songs"),
        start(-15, "Wizards", "Add &CD using CDDB", "CDDBWizard", 25000,
              "Add the CD in the drive with titles from the CD database"),
        start(-16, "Wizards", "&Quick Compilation", "AddCompilation", 25000, "Quickly add a compilation album"),
        start(-17, "Wizards", "Quick &Single Artist Album", "AddSingleArtist", 25000,
              "Quickly add an album of one artist"),
        start(-18, "Wizards", "Add &Label", "LabelWizard", 25000, "Design a new CD or cassette label"),
        header(-23, "", "&Reports"),
        header(-24, "Reports", "&Songs"),
        start(-25, "Reports/Songs", "By &Artist", "PrintSongsByArtist", 50000, "Print the songs by artist"),
        start(-26, "Reports/Songs", "By &Title", "PrintSongsByTitle", 50000, "Print the songs by title"),
        start(-27, "Reports/Songs", "By A&lbum", "PrintSongsByAlbum", 50000, "Print ordered by Songs By Album"),
        start(-28, "Reports/Songs", "By &Media", "PrintSongsByMedia", 50000, "Print ordered by Songs By Media"),
        start(-29, "Reports/Songs", "By &Category", "PrintSongsByCategory", 25000,
              "Print ordered by Songs By Category"),
        start(-30, "Reports/Songs", "By &BPM", "PrintSongsByBPM", 25000, "Songs by Beats Per Minute"),
        header(-31, "Reports", "&Albums"),
        start(-32, "Reports/Albums", "By &Artist", "PrintAlbumsByArtist", 25000, "Print the albums by artist"),
        start(-33, "Reports/Albums", "By A&lbum", "PrintAlbums", 25000, "Print the albums by title"),
        start(-34, "Reports/Albums", "By &File Number", "PrintAlbumsByFileNumber", 25000,
              "Print the albums by file number"),
        start(-35, "Reports/Albums", "By &Category", "PrintAlbumsByCategory", 25000, "Print the albums of a category"),
        start(-36, "Reports", "CD Binder Pages", "CDBinderPages", 25000, "Print CD binder pages"),
        header(-37, "Reports", "Paper S&avers"),
        start(-38, "Reports/Paper Savers", "By &Artist", "PrintPaperSaverByArtist", 25000,
              "Print a compact song list by artist"),
        start(-39, "Reports/Paper Savers", "By &Title", "PrintPaperSaverByTitle", 25000,
              "Print a compact song list by title"),
        start(-40, "Reports", "&Labels", "BrowseLabels", 25000, "Print CD and cassette labels"),
        start(-41, "Reports", "&Playlists", "BrowsePlayLists", 25000, "Print play lists"),
        start(-42, "Reports", "DJ Log", "PrintDJLog", 25000, "Log ordered by Artist and Title"),
        header(0, "", "&Window"),
        other(-43, "Window", "T&ile", K::Standard, "Arrange the windows side by side"),
        other(-44, "Window", "&Cascade", K::Standard, "Arrange the windows overlapped"),
        other(-45, "Window", "&Arrange Icons", K::Standard, "Arrange the minimised windows"),
        header(0, "", "&Help"),
        other(-46, "Help", "&Contents", K::Standard, "Show the contents of the help", "F1"),
        other(-47, "Help", "&Search for Help On...", K::Standard, "Search the help for a subject"),
        other(-48, "Help", "&How to Use Help", K::Standard, "How to use the help"),
        other(-49, "Help", "&Tips", K::Call, "Show the tip of the day", "", "UpdateTBKTips"),
        start(-50, "Help", "&About", "ShowAboutWindow", 25000, "About this program"),
        other(-51, "Toolbar", "Albums", K::Albums, "Browse the albums", "", "", "NOTEPAGE.ICO"),
        other(-52, "Toolbar", "Songs", K::Songs, "Browse the songs", "", "", "NOTE.ICO"),
        start(-53, "Toolbar", "Labels", "BrowseLabels", 25000, "Browse the CD and cassette labels", "LABELS.ICO"),
        start(-54, "Toolbar", "Playlists", "BrowsePlayLists", 25000, "Browse the play lists", "PLAYLIST.ICO"),
        start(-55, "Toolbar", "Play CD", "IntegratedCDPlayer", 25000, "Start the CD Player", "SMCD.ICO"),
    };
}

QString withoutMnemonics(QString text) { return text.remove(QLatin1Char('&')); }

bool browseAvailable(const char *explorer, const char *plain) {
    return procedureRegistered(QString::fromLatin1(explorer)) || procedureRegistered(QString::fromLatin1(plain));
}

// Until the explorer lists exist, the plain list opens whatever the setting says.
void startBrowse(const char *explorer, const char *plain) {
    const bool explore = explorerInterface() && procedureRegistered(QString::fromLatin1(explorer));
    const QString name = QString::fromLatin1(explore ? explorer : plain);
    if (Procedure p = findProcedure(name))
        startThread(p, 25000);
}

class MainFrame : public Window {
public:
    MainFrame() : Window(QStringLiteral("Main")) {}

protected:
    QWidget *createWindow() override;
    bool openRoutine() override;
    void takeEvent(const Event &e) override;
    void closeRoutine() override;

private:
    void buildMenus(QMainWindow *w);
    QAction *makeAction(QMainWindow *w, const FrameCommand &c);
    QToolBar *addBrowseButtons(QMainWindow *w);
    void showLogo(const QString &nameOrPath);
    void offerAlbumCopy(const QString &keptVersion);
    void command(int id);
    void openMenu(int id);
    void standardAction(int id);
    void clipboard(int id);
    void refreshCommands();

    bool filesCounted_ = false;
    int splashThread_ = 0;
    QLabel *logo_ = nullptr;
    QMdiArea *area_ = nullptr;
    std::unique_ptr<FrameWindowProc> windowProc_;
};

QWidget *MainFrame::createWindow() {
    openForUse(ALB);
    openForUse(MED);
    openForUse(MUS);
    filesCounted_ = true;
    if (MED.records() == 0) {
        static const char *const formats[] = {
            "CD", "LP", "EP", "7\" Single", "CD Single", "Cassette (Dolby B)", "Cassette (Dolby C)",
            "Cassette (Dolby S)", "Cassette (DBX)", "Cassette (HX Pro)", "Cassette (Prerecorded)", "Other"};
        for (const char *f : formats) {
            MED.clear();
            MED.Media = f;
            MED.add();
        }
    }

    auto *w = new QMainWindow;
    w->setObjectName(QStringLiteral("Main"));
    w->setWindowTitle(QString::fromLatin1(kFrameTitle));
    w->setWindowIcon(artworkIcon(QStringLiteral("WINPYR.ICO")));
    area_ = new QMdiArea(w);
    area_->setObjectName(QStringLiteral("ClientArea"));
    w->setCentralWidget(area_);
    Window::setMdiArea(area_);
    buildMenus(w);
    w->statusBar()->setObjectName(QStringLiteral("StatusBar"));
    w->resize(900, 640);
    return w;
}

QAction *MainFrame::makeAction(QMainWindow *w, const FrameCommand &c) {
    auto *a = new QAction(c.text, w);
    a->setObjectName(QStringLiteral("Command%1").arg(c.id));
    a->setProperty("tbkId", c.id);
    a->setStatusTip(c.statusText);
    a->setToolTip(c.menu == QLatin1String("Toolbar") ? c.text : c.statusText);
    if (!c.shortcut.isEmpty())
        a->setShortcut(QKeySequence(c.shortcut));
    if (!c.icon.isEmpty())
        a->setIcon(artworkIcon(c.icon));
    a->setEnabled(commandAvailable(c));
    QObject::connect(a, &QAction::triggered, w, [w, id = c.id] {
        Event e = Event::of(EventKind::Accepted, w);
        e.value = id;
        postToWindow(w, std::move(e));
    });
    return a;
}

void MainFrame::buildMenus(QMainWindow *w) {
    QHash<QString, QMenu *> menus;
    auto *toolbar = new QToolBar(QStringLiteral("Toolbar"), w);
    toolbar->setObjectName(QStringLiteral("Toolbar"));
    toolbar->setMovable(false);
    toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    w->addToolBar(toolbar);
    for (const FrameCommand &c : frameCommands()) {
        if (c.kind == K::Header) {
            QMenu *menu = c.menu.isEmpty() ? w->menuBar()->addMenu(c.text)
                                           : menus.value(withoutMnemonics(c.menu))->addMenu(c.text);
            const QString path = withoutMnemonics(c.menu.isEmpty() ? c.text : c.menu + QLatin1Char('/') + c.text);
            menu->setObjectName(QStringLiteral("Menu ") + path);
            menu->menuAction()->setProperty("tbkId", c.id);
            menus.insert(path, menu);
            continue;
        }
        QAction *a = makeAction(w, c);
        if (c.menu == QLatin1String("Toolbar")) {
            toolbar->addAction(a);
            continue;
        }
        QMenu *menu = menus.value(withoutMnemonics(c.menu));
        Q_ASSERT(menu);
        if (c.id == -6 || c.id == -5 || c.id == -49 || c.id == -36 || c.id == -40)
            menu->addSeparator();
        menu->addAction(a);
    }
    QToolBar *browse = addBrowseButtons(w);
    browse->addSeparator();
    logo_ = new QLabel(browse);
    logo_->setObjectName(QStringLiteral("Control-56"));
    logo_->setPixmap(artwork(QStringLiteral("tbk98nte.gif")));
    logo_->setContentsMargins(8, 0, 8, 0);
    browse->addWidget(logo_);
}

// The buttons act for the focused window, whatever its thread; the router sees to that. They sit
// beside the frame's own buttons as small pictures only: thirteen captions would not fit there.
QToolBar *MainFrame::addBrowseButtons(QMainWindow *w) {
    auto *toolbar = new QToolBar(QStringLiteral("Browse"), w);
    toolbar->setObjectName(QStringLiteral("BrowseToolbar"));
    toolbar->setMovable(false);
    toolbar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    toolbar->setIconSize(QSize(kBrowseIconSize, kBrowseIconSize));
    w->addToolBar(toolbar);
    auto *router = new ToolbarRouter(w, area_);
    for (const BrowseButtonInfo &b : browseButtons()) {
        if (b.groupStart && !toolbar->actions().isEmpty())
            toolbar->addSeparator();
        auto *a = new QAction(artworkIcon(QString::fromLatin1(b.icon)), QString::fromLatin1(b.text), w);
        a->setObjectName(QStringLiteral("Browse ") + a->text());
        toolbar->addAction(a);
        router->addButton(b.id, a);
    }
    return toolbar;
}

void MainFrame::showLogo(const QString &nameOrPath) {
    if (clip(nameOrPath).isEmpty() || !logo_)
        return;
    const QPixmap p = pictureFromSetting(nameOrPath);
    logo_->setPixmap(p);
    logo_->setToolTip(clip(nameOrPath));
}

bool MainFrame::openRoutine() {
    // The frame's layout places its bars and client area itself.
    resizer().free();
    ProgramVersion = kProgramVersion;
    // Open for the rest of the run, without a count.
    if (!CF.isOpen())
        OpenDataFile(CF);
    const QString global = QString::fromLatin1(kGlobalSettingsSection);
    showLogo(getIni(global, QStringLiteral("FrameLogo"), QString(), ProgramIniFile));
    const QString keptVersion = fit(getIni(global, QStringLiteral("Version"), QString(), ProgramIniFile), 20);
    putIni(global, QStringLiteral("Version"), ProgramVersion, ProgramIniFile);
    ProgramVersion = QStringLiteral("Version ") + ProgramVersion.str();
    LoadProgramSettings();
    offerAlbumCopy(keptVersion);
    if (frameTable().thread == 0) {
        frameTable().thread = currentThreadNumber();
        frameTable().window = widget();
    }
    showLogo(Logo);
    showLogo(getIni(QString::fromLatin1(kSettingsSection), QStringLiteral("MainLogo"), QString(), ProgramIniFile));
    windowProc_ = std::make_unique<FrameWindowProc>(widget());
    return true;
}

void MainFrame::offerAlbumCopy(const QString &keptVersion) {
    if (ALB.records() != 0 || MUS.records() <= 0 || numericValue(keptVersion) >= 1.5)
        return;
    // Without the copy procedure the question would promise what cannot be done.
    const QString copy = QStringLiteral("CreateAlbumDatabase");
    if (!procedureRegistered(copy))
        return;
    const int answer = message(QStringLiteral("Do you want to copy your album information from the general music "
                                              "database into the album database? (Recommended)"),
                               QStringLiteral("Album Database Empty"), MessageIcon::None, ButtonYes | ButtonNo,
                               ButtonYes);
    if (answer != ButtonYes)
        return;
    runProcedure(copy);
    AutoAddToAlbums = "1";
    putIni(QString::fromLatin1(kSettingsSection), QStringLiteral("AutoAddToAlbums"), AutoAddToAlbums, ProgramIniFile);
}

void MainFrame::takeEvent(const Event &e) {
    switch (e.kind) {
    case EventKind::OpenWindow:
        splashThread_ = startThread(ShowSplashWindow, kMinimumThreadStack);
        widget()->update();
        return;
    case EventKind::GainFocus:
        refreshCommands();
        return;
    case EventKind::Accepted:
        if (splashThread_) {
            closeSplashWindow();
            splashThread_ = 0;
        }
        if (e.value)
            command(e.value);
        return;
    default:
        Window::takeEvent(e);
    }
}

// Procedures registered while the program runs become available at once.
void MainFrame::refreshCommands() {
    for (QAction *a : widget()->findChildren<QAction *>())
        if (const FrameCommand *c = frameCommand(a->property("tbkId").toInt()))
            a->setEnabled(commandAvailable(*c));
}

void MainFrame::command(int id) {
    const FrameCommand *c = frameCommand(id);
    if (!c) {
        openMenu(id);
        return;
    }
    if (!commandAvailable(*c))
        return;
    switch (c->kind) {
    case K::Start:
        startThread(findProcedure(c->procedure), size_t(c->stack));
        break;
    case K::Call:
        if (id == -49)
            GlobalRequest = ChangeRecord;
        runProcedure(c->procedure);
        break;
    case K::Songs:
        StartSongsBrowse();
        break;
    case K::Albums:
        StartAlbumsBrowse();
        break;
    case K::Standard:
        standardAction(id);
        break;
    case K::Header:
        break;
    }
}

void MainFrame::openMenu(int id) {
    auto *w = qobject_cast<QMainWindow *>(widget());
    if (!w)
        return;
    for (QAction *a : w->menuBar()->actions())
        if (a->property("tbkId").toInt() == id && a->isEnabled()) {
            w->menuBar()->setActiveAction(a);
            return;
        }
}

void MainFrame::standardAction(int id) {
    switch (id) {
    case -5:
        printerSetupDialog(QStringLiteral("Print Setup"));
        break;
    case -6:
        closeWindow();
        break;
    case -7:
    case -8:
    case -9:
        clipboard(id);
        break;
    case -43: {
        // Qt grows the frame until the windows' smallest sizes fit in their tiles; the screen
        // is as far as it may go either way (the area scrolls beyond).
        QWidget *frame = area_->window();
        const QSize most = frame->maximumSize();
        if (const QScreen *screen = frame->screen()) {
            const QSize decoration = frame->frameGeometry().size() - frame->size();
            const QSize room = screen->availableGeometry().size() - decoration;
            frame->setMaximumSize(most.boundedTo(frame->size().expandedTo(room)));
        }
        area_->tileSubWindows();
        frame->setMaximumSize(most);
        break;
    }
    case -44:
        area_->cascadeSubWindows();
        break;
    case -45: {
        // Minimised windows in a row along the bottom of the client area.
        int x = 0;
        for (QMdiSubWindow *s : area_->subWindowList()) {
            if (!s->isMinimized())
                continue;
            s->move(x, area_->viewport()->height() - s->height());
            x += s->width();
        }
        break;
    }
    case -46:
    case -47:
    case -48:
        tbk::showHelp();
        break;
    default:
        break;
    }
}

void MainFrame::clipboard(int id) {
    QWidget *focus = QApplication::focusWidget();
    const auto act = [id](auto *edit) {
        if (id == -7)
            edit->cut();
        else if (id == -8)
            edit->copy();
        else
            edit->paste();
    };
    if (auto *line = qobject_cast<QLineEdit *>(focus))
        act(line);
    else if (auto *text = qobject_cast<QTextEdit *>(focus))
        act(text);
    else if (auto *plain = qobject_cast<QPlainTextEdit *>(focus))
        act(plain);
}

void MainFrame::closeRoutine() {
    if (filesCounted_) {
        closeAfterUse(ALB);
        closeAfterUse(MED);
        closeAfterUse(MUS);
        filesCounted_ = false;
    }
    if (frameTable().thread == currentThreadNumber())
        frameTable() = FrameTable{};
    windowProc_.reset();
    Window::setMdiArea(nullptr);
}

} // namespace

FrameTable &frameTable() {
    static FrameTable table;
    return table;
}

bool postFrameCommand(int id) {
    const FrameTable &t = frameTable();
    if (t.thread == 0 || !t.window)
        return false;
    Event e = Event::of(EventKind::Accepted, t.window);
    e.value = id;
    return postToWindow(t.window, std::move(e));
}

const QList<FrameCommand> &frameCommands() {
    static const QList<FrameCommand> commands = buildCommands();
    return commands;
}

const FrameCommand *frameCommand(int id) {
    for (const FrameCommand &c : frameCommands())
        if (c.id == id && c.kind != K::Header)
            return &c;
    return nullptr;
}

bool commandAvailable(const FrameCommand &c) {
    switch (c.kind) {
    case K::Start:
    case K::Call:
        return procedureRegistered(c.procedure);
    case K::Songs:
        return browseAvailable("XploreSongs", "BrowseSongs");
    case K::Albums:
        return browseAvailable("XploreAlbums", "BrowseAlbums");
    default:
        return true;
    }
}

void StartSongsBrowse() { startBrowse("XploreSongs", "BrowseSongs"); }
void StartAlbumsBrowse() { startBrowse("XploreAlbums", "BrowseAlbums"); }

void Main() {
    ProgramIniFile = kProgramIniName;
    takeGlobalRequest();
    {
        MainFrame frame;
        frame.run();
    }
    storeGlobalResponse(RequestCancelled);
}

} // namespace tbk
