#include "runtime/threads/messagebox.h"
#include "runtime/threads/scheduler.h"
#include "runtime/threads/threadwindows.h"
#include "runtime/ui/dragdrop.h"
#include "runtime/ui/listcontrol.h"
#include "support/windows/scriptedwindow.h"
#include "support/windows/windowtesting.h"

#include <QApplication>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <gtest/gtest.h>

#include <ostream>

using namespace tbk;
using namespace tbk::windowtest;

namespace {

struct Drop {
    int thread;
    QString window;
    QString control;
    QString text;
    QString source;
    bool operator==(const Drop &) const = default;
};

void PrintTo(const Drop &d, std::ostream *os) {
    *os << "{" << d.thread << ", " << d.window.toStdString() << ", " << d.control.toStdString() << ", "
        << d.text.toStdString() << ", " << d.source.toStdString() << "}";
}

class Ids : public ListRows {
public:
    explicit Ids(int first) : first_(first) {}
    int rowCount() const override { return 3; }
    QVariant field(int row, int) const override { return QString::number(first_ + row); }

private:
    int first_;
};

class Frame : public Window {
public:
    Frame() : Window("Frame") {}
    QMdiArea *area = nullptr;

protected:
    QWidget *createWindow() override {
        auto *w = new QMainWindow;
        area = new QMdiArea(w);
        w->setCentralWidget(area);
        w->setGeometry(0, 0, 560, 380);
        Window::setMdiArea(area);
        return w;
    }
    void closeRoutine() override { Window::setMdiArea(nullptr); }
};

// A frame on the first thread; two song lists inside it and a track list in front of it, each
// on a thread of its own. The song lists drag "Songs", the track list takes them; the second
// song list takes "Songs" on its list and only "Albums" on its entry.
class DragDropTest : public ::testing::Test {
protected:
    void SetUp() override {
        frameThread = startThread([this] { frame.run(); });
        ASSERT_TRUE(runUntilIdle());
        songs = open("BrowseSongs", true, QRect(0, 0, 270, 300), 1001, {});
        other = open("XploreSongs", true, QRect(275, 0, 270, 300), 2001, {"Songs"});
        tracks = open("UpdateAlbum", false, QRect(580, 20, 200, 300), 0, {"Songs"});
    }

    void TearDown() override {
        endAllThreads();
        EXPECT_FALSE(dragging());
        EXPECT_FALSE(QApplication::overrideCursor());
    }

    int open(const QString &name, bool mdi, QRect place, int firstId, const QStringList &listTakes) {
        auto rows = std::make_shared<Ids>(firstId);
        const int t = startThread([this, name, mdi, place, firstId, listTakes, rows] {
            ScriptedWindow w(name, {"Ask", "Close"}, true);
            w.setMdiChild(mdi);
            w.onOpen = [&](ScriptedWindow &self) {
                self.frame()->setGeometry(place);
                ListControl *list = self.list();
                list->setFormat("60L(2)|M~ID~@s10@");
                if (firstId) {
                    list->setRows(rows.get());
                    makeDragSource(list, "Songs", [list](QPoint at) {
                        const int row = list->indexAt(list->viewport()->mapFrom(list, at)).row();
                        return row < 0 ? QString() : list->rowTexts(row).value(0);
                    });
                }
                acceptDrops(list, listTakes);
                acceptDrops(self.widget()->findChild<QLineEdit *>("Entry"), {"Albums"});
            };
            w.onEvent = [this, name](ScriptedWindow &, const Event &e) {
                if (e.kind == EventKind::Drop)
                    drops << Drop{currentThreadNumber(), name, e.control ? e.control->objectName() : "", e.text,
                                  e.source};
                if (e.kind == EventKind::Accepted && e.control && e.control->objectName() == "Ask")
                    message("Save the changes?", "Album", MessageIcon::Question, ButtonYes | ButtonNo);
            };
            w.run();
        });
        EXPECT_TRUE(runUntilIdle());
        return t;
    }

    ListControl *list(int thread) const { return threadWindowList(thread).front()->findChild<ListControl *>("List"); }
    QWidget *entry(int thread) const { return threadWindowList(thread).front()->findChild<QWidget *>("Entry"); }
    // The middle of a row, in the list's coordinates.
    QPoint row(int thread, int r) const {
        ListControl *l = list(thread);
        return l->viewport()->mapTo(l, l->visualRect(l->listModel()->index(r, 0)).center());
    }
    Qt::CursorShape cursor() const {
        return QApplication::overrideCursor() ? QApplication::overrideCursor()->shape() : Qt::ArrowCursor;
    }

    Frame frame;
    int frameThread = 0, songs = 0, other = 0, tracks = 0;
    QList<Drop> drops;
};

} // namespace

TEST_F(DragDropTest, ADraggedSongArrivesOnTheThreadOfTheWindowDroppedOn) {
    ASSERT_TRUE(frame.area->isAncestorOf(list(songs)));
    ASSERT_FALSE(frame.area->isAncestorOf(list(tracks)));
    // Between two documents of the frame, and from a document to a window in front of the frame.
    ASSERT_TRUE(dragAndDrop(list(songs), list(other), row(songs, 1), row(other, 0)));
    ASSERT_TRUE(dragAndDrop(list(songs), list(tracks), row(songs, 2)));
    ASSERT_TRUE(dragAndDrop(list(other), list(tracks), row(other, 0)));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(drops, (QList<Drop>{{other, "XploreSongs", "List", "1002", "Songs"},
                                  {tracks, "UpdateAlbum", "List", "1003", "Songs"},
                                  {tracks, "UpdateAlbum", "List", "2001", "Songs"}}));
    EXPECT_FALSE(QWidget::mouseGrabber());
    EXPECT_FALSE(QWidget::keyboardGrabber());
}

TEST_F(DragDropTest, TheCursorTellsWhereTheDragIsTakenAndARefusedDropPostsNothing) {
    ASSERT_TRUE(beginDrag(list(songs), row(songs, 0)));
    EXPECT_EQ(cursor(), Qt::ForbiddenCursor) << "the song list does not take songs";
    dragOver(list(other), row(other, 1));
    EXPECT_EQ(cursor(), Qt::DragCopyCursor);
    dragOver(entry(other));
    EXPECT_EQ(cursor(), Qt::ForbiddenCursor) << "the entry takes albums only";
    dropOn(entry(other));
    EXPECT_FALSE(dragging());

    // Dropped on the list it came from, and on the frame's empty document area.
    EXPECT_TRUE(dragAndDrop(list(songs), list(songs), row(songs, 0), row(songs, 2)));
    EXPECT_TRUE(dragAndDrop(list(songs), frame.area, row(songs, 0), QPoint(frame.area->width() - 5, frame.area->height() - 5)));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_TRUE(drops.isEmpty());
    EXPECT_FALSE(QApplication::overrideCursor());
}

TEST_F(DragDropTest, EscapeCancelsAndAShortMoveOrAnEmptyPlaceDragsNothing) {
    ASSERT_TRUE(beginDrag(list(songs), row(songs, 0)));
    dragOver(list(tracks));
    EXPECT_EQ(cursor(), Qt::DragCopyCursor);
    pressEscape();
    EXPECT_FALSE(dragging());
    EXPECT_FALSE(QApplication::overrideCursor());
    dropOn(list(tracks));

    // Below the last row there is no song to drag.
    const QPoint below(20, list(songs)->height() - 10);
    EXPECT_FALSE(dragAndDrop(list(songs), list(tracks), below));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_TRUE(drops.isEmpty());
}

TEST_F(DragDropTest, AWindowWaitingForItsThreadsQuestionTakesNoDrop) {
    ASSERT_TRUE(pressButton(tracks, "Ask"));
    ASSERT_TRUE(runUntilIdle());
    ASSERT_FALSE(messageText(tracks).isEmpty());
    activeWindow(tracks)->move(300, 400);   // not over the list it covers in its thread
    const QPoint middle = list(tracks)->mapToGlobal(list(tracks)->rect().center());
    ASSERT_TRUE(list(tracks)->isAncestorOf(QApplication::widgetAt(middle)));
    ASSERT_TRUE(beginDrag(list(songs), row(songs, 1)));
    dragOver(list(tracks));
    EXPECT_EQ(cursor(), Qt::ForbiddenCursor);
    dropOn(list(tracks));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_TRUE(drops.isEmpty());

    ASSERT_TRUE(answerMessage(tracks, ButtonNo));
    ASSERT_TRUE(runUntilIdle());
    ASSERT_TRUE(dragAndDrop(list(songs), list(tracks), row(songs, 1)));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(drops, (QList<Drop>{{tracks, "UpdateAlbum", "List", "1002", "Songs"}}));
}
