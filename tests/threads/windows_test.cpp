#include "runtime/threads/dialogs.h"
#include "runtime/threads/messagebox.h"
#include "runtime/threads/threadwindows.h"
#include "runtime/values/diskwrite.h"
#include "runtime/ui/listcontrol.h"
#include "support/windows/scriptedwindow.h"
#include "threadtestfixture.h"

#include <QAction>
#include <QColorDialog>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMenuBar>
#include <QApplication>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <cerrno>
#include <csignal>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace tbk;
using namespace tbk::windowtest;

namespace {

// A browse whose Change button calls its form modally on the same thread.
void browseWithForm(const QString &tag, QStringList &log) {
    ScriptedWindow browse("Browse" + tag);
    browse.onEvent = [&, tag](ScriptedWindow &, const Event &e) {
        if (e.kind == EventKind::Accepted && e.control && e.control->objectName() == "Change") {
            log << tag + " form opens";
            ScriptedWindow form("Update" + tag, {"OK", "Cancel"});
            form.onClose = [&, tag](ScriptedWindow &) { log << tag + " form closes"; };
            form.run();
            log << tag + " browse goes on";
        }
    };
    browse.onClose = [&, tag](ScriptedWindow &) { log << tag + " browse closes"; };
    browse.run();
    log << tag + " thread ends";
}

QString title(int thread) {
    QWidget *w = activeWindow(thread);
    return w ? w->windowTitle() : QString();
}

} // namespace

TEST_F(ThreadTest, ModalChainsOfTwoThreadsCloseInAnyOrder) {
    QStringList log;
    const int a = startThread([&] { browseWithForm("A", log); });
    const int b = startThread([&] { browseWithForm("B", log); });
    ASSERT_TRUE(runUntilIdle());
    ASSERT_TRUE(pressButton(a, "Change"));
    ASSERT_TRUE(runUntilIdle());
    ASSERT_TRUE(pressButton(b, "Change"));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(title(a), "UpdateA");
    EXPECT_EQ(title(b), "UpdateB");

    // Each form is modal to its own thread only.
    QWidget *browseA = threadWindowList(a).front();
    QWidget *browseB = threadWindowList(b).front();
    EXPECT_FALSE(browseA->isEnabled());
    EXPECT_FALSE(browseB->isEnabled());
    EXPECT_TRUE(activeWindow(a)->isEnabled());
    EXPECT_TRUE(activeWindow(b)->isEnabled());
    // A click on the disabled browse reaches nothing.
    log.clear();
    QTest::mouseClick(browseA->findChild<QPushButton *>("Change"), Qt::LeftButton);
    ASSERT_TRUE(runUntilIdle());
    EXPECT_TRUE(log.isEmpty());

    // B's form first: B goes on at once while A's form stays open.
    log.clear();
    ASSERT_TRUE(pressButton(b, "Cancel"));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(log, (QStringList{"B form closes", "B browse goes on"}));
    EXPECT_TRUE(browseB->isEnabled());
    EXPECT_EQ(title(a), "UpdateA");

    // B's browse can call its form again and close before A does anything.
    ASSERT_TRUE(pressButton(b, "Change"));
    ASSERT_TRUE(runUntilIdle());
    ASSERT_TRUE(closeByUser(activeWindow(b)));
    ASSERT_TRUE(runUntilIdle());
    ASSERT_TRUE(pressButton(b, "Close"));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_FALSE(threadExists(b));

    log.clear();
    ASSERT_TRUE(pressButton(a, "Cancel"));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(log, (QStringList{"A form closes", "A browse goes on"}));
    ASSERT_TRUE(closeByUser(activeWindow(a)));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(log.mid(2), (QStringList{"A browse closes", "A thread ends"}));
    EXPECT_FALSE(threadExists(a));
}

TEST_F(ThreadTest, AWindowUnderAModalOneCannotBeClosed) {
    QStringList log;
    const int a = startThread([&] { browseWithForm("A", log); });
    ASSERT_TRUE(runUntilIdle());
    ASSERT_TRUE(pressButton(a, "Change"));
    ASSERT_TRUE(runUntilIdle());
    QWidget *browse = threadWindowList(a).front();
    ASSERT_TRUE(closeByUser(browse));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(title(a), "UpdateA");
    EXPECT_FALSE(log.contains("A browse closes"));
    ASSERT_TRUE(pressButton(a, "Cancel"));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(title(a), "BrowseA");
    ASSERT_TRUE(closeByUser(browse));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_TRUE(log.contains("A browse closes"));
}

// What reaches a window while a later window of its thread is open is dropped: an Escape the
// window manager let through does not cancel it once the later window has closed.
TEST_F(ThreadTest, AKeyOrClickOnAWindowUnderALaterOneIsDroppedNotKept) {
    ScriptedWindow *browse = nullptr;
    const int a = startThread([&] {
        ScriptedWindow w("BrowseA", {"Change", "Close"}, true);
        browse = &w;
        w.onOpen = [](ScriptedWindow &self) { self.alertKey(nullptr, Qt::Key_Escape); };
        w.onEvent = [](ScriptedWindow &self, const Event &e) {
            if (e.kind == EventKind::AlertKey)
                self.closeWindow();
            if (e.kind == EventKind::Accepted && e.control && e.control->objectName() == "Change")
                ScriptedWindow("UpdateA", {"OK", "Cancel"}).run();
        };
        w.run();
    });
    ASSERT_TRUE(runUntilIdle());
    ASSERT_TRUE(pressButton(a, "Change"));
    ASSERT_TRUE(runUntilIdle());
    QWidget *under = threadWindowList(a).front();
    browse->seen.clear();
    QTest::keyClick(under, Qt::Key_Escape);
    QTest::mouseClick(browse->list()->viewport(), Qt::LeftButton);
    ASSERT_TRUE(runUntilIdle());
    ASSERT_TRUE(pressButton(a, "Cancel"));
    ASSERT_TRUE(runUntilIdle());
    ASSERT_EQ(title(a), "BrowseA");
    for (EventKind kind : {EventKind::AlertKey, EventKind::MouseLeftDown, EventKind::MouseLeftUp})
        EXPECT_FALSE(browse->seen.contains(kind)) << int(kind);
}

TEST_F(ThreadTest, AMessageBoxWaitsWhileAnotherThreadsTimerFires) {
    int ticks = 0;
    int answer = -1;
    const int timed = startThread([&] {
        ScriptedWindow w("Player");
        w.onOpen = [](ScriptedWindow &self) { self.setTimer(1); };
        w.onEvent = [&](ScriptedWindow &, const Event &e) {
            if (e.kind == EventKind::Timer)
                ++ticks;
        };
        w.run();
    });
    const int asking = startThread([&] {
        answer = message("Save changes?", "Attention!", MessageIcon::Question,
                         ButtonYes | ButtonNo | ButtonCancel, ButtonNo);
    });
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(messageText(asking), "Save changes?");
    auto *box = qobject_cast<QMessageBox *>(activeWindow(asking));
    ASSERT_TRUE(box);
    EXPECT_EQ(box->windowTitle(), "Attention!");
    EXPECT_EQ(box->icon(), QMessageBox::Question);
    EXPECT_EQ(static_cast<QAbstractButton *>(box->defaultButton()), box->button(QMessageBox::No));
    EXPECT_FALSE(box->isModal());

    const int before = ticks;
    ASSERT_TRUE(runUntil([&] { return ticks >= before + 5; }, 3000));
    EXPECT_EQ(answer, -1);

    ASSERT_TRUE(answerMessage(asking, ButtonCancel));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(answer, ButtonCancel);
    EXPECT_FALSE(threadExists(asking));
    EXPECT_TRUE(threadExists(timed));
    endAllThreads();   // before the counters it uses go
}

TEST_F(ThreadTest, MessageButtonsGiveTheirCodes) {
    const struct {
        int buttons;
        int press;
    } cases[] = {
        {ButtonOK, ButtonOK},
        {ButtonYes | ButtonNo, ButtonYes},
        {ButtonYes | ButtonNo, ButtonNo},
        {ButtonRetry | ButtonCancel, ButtonRetry},
        {ButtonYes | ButtonNo | ButtonCancel, ButtonCancel},
    };
    for (const auto &c : cases) {
        int answer = -1;
        const int t = startThread([&] { answer = message("?", "T", MessageIcon::Exclamation, c.buttons); });
        ASSERT_TRUE(runUntilIdle());
        ASSERT_TRUE(answerMessage(t, c.press));
        ASSERT_TRUE(runUntilIdle());
        EXPECT_EQ(answer, c.press) << c.buttons;
    }
}

TEST_F(ThreadTest, APostedEventReachesTheOtherThreadsWindow) {
    QList<int> received;
    const int frame = startThread([&] {
        ScriptedWindow w("Main");
        w.onEvent = [&](ScriptedWindow &, const Event &e) {
            if (e.kind == EventKind::User)
                received << e.value;
        };
        w.run();
    });
    startThread([&] {
        Event e;
        e.kind = EventKind::User;
        e.value = 1027;
        postEvent(frame, e);
        waitTimer(1);
        postEvent(frame, Event::of(EventKind::CloseDown));
    });
    ASSERT_TRUE(runUntil([&] { return !threadExists(frame); }));
    EXPECT_EQ(received, QList<int>{1027});
}

TEST_F(ThreadTest, HaltRunsTheCloseRoutineOfEveryOpenWindow) {
    QStringList closed;
    bool afterMessage = false;
    auto closing = [&](ScriptedWindow &w) { closed << w.procedureName(); };
    const int a = startThread([&] {
        ScriptedWindow browse("BrowseSongs");
        browse.onClose = closing;
        browse.onEvent = [&](ScriptedWindow &, const Event &e) {
            if (e.kind == EventKind::OpenWindow) {
                ScriptedWindow form("UpdateSong");
                form.onClose = closing;
                form.run();
            }
        };
        browse.run();
    });
    const int b = startThread([&] {
        ScriptedWindow w("CDPlayer");
        w.onClose = closing;
        w.onEvent = [&](ScriptedWindow &, const Event &e) {
            if (e.kind == EventKind::OpenWindow) {
                message("Still there?", "Question", MessageIcon::Question, ButtonYes | ButtonNo);
                afterMessage = true;
            }
        };
        w.run();
    });
    const int c = startThread([&] {
        ScriptedWindow w("FileManager", {"Halt"});
        w.onClose = closing;
        w.onEvent = [&](ScriptedWindow &, const Event &e) {
            if (e.kind == EventKind::Accepted)
                halt("Invalid File!", 3);
        };
        w.run();
    });
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(title(a), "UpdateSong");
    ASSERT_FALSE(messageText(b).isEmpty());
    ASSERT_TRUE(pressButton(c, "Halt"));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(messageText(c), "Invalid File!");
    EXPECT_TRUE(exitCodes.empty());
    ASSERT_TRUE(answerMessage(c, ButtonOK));
    ASSERT_TRUE(runUntilIdle());

    EXPECT_EQ(exitCodes, std::vector<int>{3});
    EXPECT_TRUE(closed.contains("UpdateSong"));
    EXPECT_TRUE(closed.contains("CDPlayer"));
    EXPECT_TRUE(closed.contains("FileManager"));
    // The form closes before the browse that called it.
    EXPECT_LT(closed.indexOf("UpdateSong"), closed.indexOf("BrowseSongs"));
    EXPECT_EQ(closed.size(), 4);
    EXPECT_FALSE(afterMessage);
    EXPECT_TRUE(threadNumbers().empty());
    EXPECT_FALSE(halting());
    for (QWidget *w : QApplication::topLevelWidgets())
        EXPECT_FALSE(w->isVisible()) << w->windowTitle().toStdString();
}

TEST_F(ThreadTest, PopupMenuGivesTheChosenItemAndGreysTildeItems) {
    int chosen = -1;
    const int t = startThread([&] { chosen = popupMenu("&Insert|~&Change|-|&Delete"); });
    ASSERT_TRUE(runUntilIdle());
    EXPECT_FALSE(chooseMenuItem(t, "Change"));   // greyed
    EXPECT_FALSE(chooseMenuItem(t, "Missing"));
    ASSERT_TRUE(chooseMenuItem(t, "Delete"));    // the separator takes no number
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(chosen, 3);
    EXPECT_FALSE(chooseMenuItem(t, "Insert"));   // the menu is gone

    const int u = startThread([&] { chosen = popupMenu("&Insert|&Delete"); });
    ASSERT_TRUE(runUntilIdle());
    ASSERT_TRUE(dismissMenu(u));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(chosen, 0);
}

TEST_F(ThreadTest, PopupMenuTicksPlusItemsAndShowsTheirTextsWithoutTheMark) {
    int chosen = -1;
    const int t = startThread([&] { chosen = popupMenu("-No Zoom|-|+Page Width|-50%"); });
    ASSERT_TRUE(runUntilIdle());
    EXPECT_FALSE(menuItemTicked(t, "No Zoom"));
    EXPECT_TRUE(menuItemTicked(t, "Page Width"));
    EXPECT_FALSE(menuItemTicked(t, "-50%"));   // no such text: the mark is not shown
    ASSERT_TRUE(chooseMenuItem(t, "50%"));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(chosen, 3);
}

TEST_F(ThreadTest, TheProgramEndsWhenItsBodyReturnsClosingTheOtherThreadsWindows) {
    QStringList log;
    setExitHook([](int code) { QCoreApplication::exit(code); });
    const int code = runProgram([&] {
        log << QString("body on thread %1").arg(currentThreadNumber());
        startThread([&] {
            ScriptedWindow w("BrowseSongs");
            w.onClose = [&](ScriptedWindow &) { log << "browse closes"; };
            w.run();
        });
        waitTimer(2);
        log << "body returns";
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(log, (QStringList{"body on thread 1", "body returns", "browse closes"}));
    EXPECT_TRUE(threadNumbers().empty());
}

TEST_F(ThreadTest, AWritePastTheFileSizeLimitFailsInsteadOfEndingTheProgram) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // As a shell under "ulimit -f" starts the program: the signal at its default action.
        std::signal(SIGXFSZ, SIG_DFL);
        const rlimit limit{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &limit);
        setExitHook([](int code) { QCoreApplication::exit(code); });
        int error = -1;
        runProgram([&] {
            QFile f("big");
            if (f.open(QIODevice::WriteOnly))
                error = writeAllAt(f.handle(), QByteArray(3 * 4096, 'x'), 0);
        });
        _exit(error == EFBIG ? 0 : 2);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST_F(ThreadTest, CommonDialogsAnswerWithoutANestedLoop) {
    QString file = "unset";
    std::optional<QColor> colour;
    const int t = startThread([&] {
        file = fileDialog("Import", ".", "Text files|*.txt|All files|*.*", FileDialogMode::Save);
        colour = colorDialog(Qt::red, "Label colour");
        file += "|" + fileDialog("Import", ".", "All files|*.*");
    });
    ASSERT_TRUE(runUntilIdle());
    auto *files = qobject_cast<QFileDialog *>(activeWindow(t));
    ASSERT_TRUE(files);
    EXPECT_EQ(files->nameFilters(), (QStringList{"Text files (*.txt)", "All files (*.*)"}));
    auto *name = files->findChild<QLineEdit *>("fileNameEdit");
    ASSERT_TRUE(name);
    QTest::keyClicks(name, "songs.txt");
    QTest::keyClick(name, Qt::Key_Return);
    ASSERT_TRUE(runUntilIdle());
    EXPECT_TRUE(file.endsWith("songs.txt")) << file.toStdString();

    auto *colours = qobject_cast<QColorDialog *>(activeWindow(t));
    ASSERT_TRUE(colours);
    EXPECT_EQ(colours->windowTitle(), "Label colour");
    colours->setCurrentColor(Qt::blue);
    colours->accept();
    ASSERT_TRUE(runUntilIdle());
    ASSERT_TRUE(colour.has_value());
    EXPECT_EQ(*colour, QColor(Qt::blue));

    ASSERT_TRUE(qobject_cast<QFileDialog *>(activeWindow(t)));
    activeWindow(t)->close();   // the close box cancels
    ASSERT_TRUE(runUntilIdle());
    EXPECT_TRUE(file.endsWith("songs.txt|")) << file.toStdString();
    EXPECT_FALSE(threadExists(t));
}

TEST_F(ThreadTest, SavingOverAFileAsksOnTheCallersThreadAndNoChoosesAgain) {
    {
        QFile existing("songs.txt");
        ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    }
    QString file = "unset";
    const int t = startThread([&] { file = fileDialog("Export File", ".", "All files|*.*", FileDialogMode::Save); });
    auto choose = [&](const char *name) {
        ASSERT_TRUE(runUntilIdle());
        auto *files = qobject_cast<QFileDialog *>(activeWindow(t));
        ASSERT_TRUE(files);
        auto *edit = files->findChild<QLineEdit *>("fileNameEdit");
        ASSERT_TRUE(edit);
        edit->setText(QString::fromLatin1(name));
        QMetaObject::invokeMethod(files, "accept");
        ASSERT_TRUE(runUntilIdle());
    };
    choose("songs.txt");
    EXPECT_TRUE(messageText(t).contains("songs.txt already exists")) << messageText(t).toStdString();
    ASSERT_TRUE(answerMessage(t, ButtonNo));
    choose("songs.txt");
    ASSERT_TRUE(answerMessage(t, ButtonYes));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_TRUE(file.endsWith("songs.txt")) << file.toStdString();
    EXPECT_FALSE(threadExists(t));
}

namespace {
// A frame with a menu bar and a document area; any accepted event makes it ask a question.
class FrameWindow : public Window {
public:
    FrameWindow() : Window("Frame") {}
    QMdiArea *area = nullptr;
    QMenuBar *menus = nullptr;
    int answer = -1;

protected:
    QWidget *createWindow() override {
        auto *w = new QMainWindow;
        menus = w->menuBar();
        menus->addMenu("&File");
        area = new QMdiArea(w);
        w->setCentralWidget(area);
        Window::setMdiArea(area);
        return w;
    }
    void takeEvent(const Event &e) override {
        if (e.kind == EventKind::Accepted)
            answer = message("Preferences?", "Setup", MessageIcon::None, ButtonOK);
        else
            Window::takeEvent(e);
    }
};
} // namespace

TEST_F(ThreadTest, AQuestionOnTheFramesThreadLeavesOtherThreadsWindowsInTheFrameUsable) {
    FrameWindow frame;
    const int frameThread = startThread([&] { frame.run(); });
    ASSERT_TRUE(runUntilIdle());
    const int listThread = startThread([&] {
        ScriptedWindow list("BrowseSongs");
        list.setMdiChild(true);
        list.run();
    });
    ASSERT_TRUE(runUntilIdle());
    QWidget *listWindow = activeWindow(listThread);
    ASSERT_TRUE(listWindow && frame.area->isAncestorOf(listWindow));

    ASSERT_TRUE(postEvent(frameThread, Event::of(EventKind::Accepted)));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(messageText(frameThread), "Preferences?");
    EXPECT_FALSE(frame.menus->isEnabled()) << "the frame's own controls wait for the answer";
    EXPECT_TRUE(listWindow->isEnabled()) << "another thread's window in the frame goes on";
    EXPECT_TRUE(frame.area->isEnabled());
    EXPECT_TRUE(pressButton(listThread, "Change"));

    ASSERT_TRUE(answerMessage(frameThread, ButtonOK));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(frame.answer, ButtonOK);
    EXPECT_TRUE(frame.menus->isEnabled());
    endAllThreads();
    Window::setMdiArea(nullptr);
}
