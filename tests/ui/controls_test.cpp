#include "runtime/threads/scheduler.h"
#include "runtime/ui/dialogunits.h"
#include "runtime/ui/feedback.h"
#include "runtime/ui/fieldcontrol.h"
#include "runtime/ui/handlertable.h"
#include "runtime/ui/windowbuilder.h"
#include "runtime/values/dates.h"
#include "support/windows/controltesting.h"
#include "support/windows/windowtesting.h"
#include "testform.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

using namespace tbk;
using namespace tbk::windowtest;

namespace {

class FormTest : public ::testing::Test {
protected:
    void SetUp() override {
        thread = startThread([this] {
            TestForm f;
            form = &f;
            f.onOpen = [this](TestForm &self) {
                if (onOpen)
                    onOpen(self);
            };
            f.run();
            form = nullptr;
        });
        ASSERT_TRUE(runUntilIdle());
        ASSERT_TRUE(form);
        window = form->widget();
        ASSERT_TRUE(activate(window));
        form->events.clear();
    }
    void TearDown() override { endAllThreads(); }

    template <typename T = QWidget>
    T *control(const QString &name) const {
        return qobject_cast<T *>(findControl(window, name));
    }
    int accepted(const QString &name) const { return form->accepted(name); }

    std::function<void(TestForm &)> onOpen;
    int thread = 0;
    TestForm *form = nullptr;
    QWidget *window = nullptr;
};

} // namespace

TEST_F(FormTest, AValueThatDoesNotFitItsPictureIsRejected) {
    const int beeps = beepCount();
    ASSERT_TRUE(typeInto(thread, "MUS:Side", "abc"));
    EXPECT_EQ(beepCount(), beeps + 1);
    EXPECT_EQ(focusedName(), "MUS:Side");
    EXPECT_EQ(control<QLineEdit>("MUS:Side")->selectedText(), "abc");
    EXPECT_EQ(accepted("MUS:Side"), 0);
    EXPECT_EQ(controlValue(thread, "MUS:Side"), QVariant());

    // Enter on a number too wide for "@n2b" rejects it too, and the entry keeps the focus.
    QTest::keyClick(control("MUS:Side"), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(control("MUS:Side"), "123");
    QTest::keyClick(control("MUS:Side"), Qt::Key_Return);
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(beepCount(), beeps + 2);
    EXPECT_EQ(control<QLineEdit>("MUS:Side")->selectedText(), "123");
    EXPECT_EQ(focusedName(), "MUS:Side");

    ASSERT_TRUE(typeInto(thread, "MUS:Side", "2"));
    EXPECT_EQ(beepCount(), beeps + 2);
    EXPECT_EQ(accepted("MUS:Side"), 1);
    EXPECT_EQ(controlValue(thread, "MUS:Side").toLongLong(), 2);
    EXPECT_EQ(controlText(thread, "MUS:Side"), " 2");
    EXPECT_EQ(focusedName(), "MUS:BeatsPerMinute");

    // Showing another page leaves the entry too: it comes back with its page.
    ASSERT_TRUE(clickInto(thread, "MUS:Side"));
    QTest::keyClicks(control("MUS:Side"), "x");
    EXPECT_FALSE(chooseTab(thread, "Notes"));
    EXPECT_EQ(beepCount(), beeps + 3);
    EXPECT_EQ(controlValue(thread, "Tabs"), "General");
    EXPECT_EQ(focusedName(), "MUS:Side");
    EXPECT_EQ(accepted("MUS:Side"), 1);
}

TEST_F(FormTest, ALookupIsCheckedWhenLeftChangedOrChosenFrom) {
    ASSERT_TRUE(typeInto(thread, "MUS:Media", "LP"));
    EXPECT_EQ(accepted("MUS:Media"), 1);
    ASSERT_TRUE(passThrough(thread, "MUS:Media"));
    ASSERT_TRUE(chooseFromList(thread, "MUS:Media", "LP"));
    EXPECT_EQ(accepted("MUS:Media"), 1);
    EXPECT_EQ(controlValue(thread, "MUS:Media"), "LP");

    // Choosing another item is a change; leaving afterwards is not another one.
    ASSERT_TRUE(chooseFromList(thread, "MUS:Media", "Cassette"));
    EXPECT_EQ(accepted("MUS:Media"), 2);
    ASSERT_TRUE(pressTab());
    EXPECT_EQ(accepted("MUS:Media"), 2);
    EXPECT_EQ(controlValue(thread, "MUS:Media"), "Cassette");

    // A name the list does not hold is the window's to check; one too long for "@s20" takes
    // what the picture holds.
    ASSERT_TRUE(typeInto(thread, "MUS:Media", "Wax cylinder"));
    EXPECT_EQ(accepted("MUS:Media"), 3);
    const int beeps = beepCount();
    ASSERT_TRUE(typeInto(thread, "MUS:Media", "A name of twenty-one."));
    EXPECT_EQ(beepCount(), beeps);
    EXPECT_EQ(accepted("MUS:Media"), 4);
    EXPECT_EQ(controlValue(thread, "MUS:Media"), "A name of twenty-one");
    EXPECT_NE(focusedName(), "MUS:Media");
}

TEST_F(FormTest, EveryKindReportsEachRealChangeOnce) {
    ASSERT_TRUE(typeInto(thread, "MUS:Artist", "Chic"));
    ASSERT_TRUE(typeInto(thread, "MUS:Artist", "Chic"));
    ASSERT_TRUE(passThrough(thread, "MUS:Artist"));
    EXPECT_EQ(accepted("MUS:Artist"), 1);

    // A date typed as another text of the same day is no change.
    ASSERT_TRUE(typeInto(thread, "MUS:ReleaseDate", "10/02/1996"));
    ASSERT_TRUE(typeInto(thread, "MUS:ReleaseDate", "10/2/1996"));
    EXPECT_EQ(accepted("MUS:ReleaseDate"), 1);
    EXPECT_EQ(controlValue(thread, "MUS:ReleaseDate").toLongLong(), 71266);

    ASSERT_TRUE(typeInto(thread, "MUS:TrackNumber", "12"));
    ASSERT_TRUE(passThrough(thread, "MUS:TrackNumber"));
    EXPECT_EQ(accepted("MUS:TrackNumber"), 1);
    EXPECT_EQ(controlValue(thread, "MUS:TrackNumber").toLongLong(), 12);

    ASSERT_TRUE(clickCheck(thread, "MUS:Live"));
    ASSERT_TRUE(clickCheck(thread, "MUS:Live"));
    EXPECT_EQ(accepted("MUS:Live"), 2);
    EXPECT_EQ(controlValue(thread, "MUS:Live").toInt(), 0);
    ASSERT_TRUE(clickCheck(thread, "MUS:Skips"));
    EXPECT_EQ(controlValue(thread, "MUS:Skips").toInt(), 1);

    ASSERT_TRUE(chooseOption(thread, "MUS:EndType", "Fast"));
    ASSERT_TRUE(chooseOption(thread, "MUS:EndType", "Fast"));
    EXPECT_EQ(accepted("MUS:EndType"), 1);
    ASSERT_TRUE(chooseOption(thread, "MUS:EndType", "Abrupt"));
    EXPECT_EQ(accepted("MUS:EndType"), 2);
    EXPECT_EQ(controlValue(thread, "MUS:EndType"), "Abrupt");

    ASSERT_TRUE(chooseTab(thread, "Notes"));
    EXPECT_EQ(controlValue(thread, "Tabs"), "Notes");
    ASSERT_TRUE(typeInto(thread, "MUS:Notes", "Remixed\nin 1996"));
    ASSERT_TRUE(passThrough(thread, "MUS:Notes"));
    EXPECT_EQ(accepted("MUS:Notes"), 1);
    EXPECT_EQ(controlValue(thread, "MUS:Notes"), "Remixed\nin 1996");

    // Nothing reported more than these, and the radio buttons report nothing of their own.
    int all = 0;
    for (const Event &e : form->events)
        all += e.kind == EventKind::Accepted;
    EXPECT_EQ(all, 1 + 1 + 1 + 3 + 2 + 1);
}

TEST_F(FormTest, TheValidationPassRunsEveryCheckInOrderAndStopsAtTheFirstFailing) {
    QStringList ran;
    for (const QString &field : TestForm::fields())
        form->setCheck(control(field), [&ran, field] {
            ran << field;
            return field == "MUS:Composer" ? 2 : 0;
        });
    ASSERT_TRUE(pressButton(thread, "OK"));
    ASSERT_TRUE(runUntilIdle());
    const QStringList expected = TestForm::fields().mid(0, TestForm::fields().indexOf("MUS:Composer") + 1);
    EXPECT_EQ(ran, expected);
    EXPECT_EQ(form->failed, control("MUS:Composer"));
    EXPECT_EQ(controlValue(thread, "Tabs"), "Recording/Performance");
    EXPECT_EQ(focusedName(), "MUS:Composer");
    EXPECT_FALSE(form->controls().validating());

    // Accepting the control runs its check alone; a failure selects it again and its handler
    // does not run.
    int handled = 0;
    form->on(control("MUS:Composer"), EventKind::Accepted, [&] { ++handled; });
    ran.clear();
    ASSERT_TRUE(typeInto(thread, "MUS:Composer", "Bernard Edwards"));
    EXPECT_EQ(ran, QStringList{"MUS:Composer"});
    EXPECT_EQ(handled, 0);
    EXPECT_EQ(focusedName(), "MUS:Composer");

    form->setCheck(control("MUS:Composer"), [] { return 0; });
    ASSERT_TRUE(typeInto(thread, "MUS:Composer", "Nile Rodgers"));
    EXPECT_EQ(handled, 1);
}

TEST_F(FormTest, TheValidationPassTakesAnEditNotYetLeft) {
    QStringList ran;
    for (const QString &field : TestForm::fields())
        form->setCheck(control(field), [&ran, field] {
            ran << field;
            return 0;
        });
    ASSERT_TRUE(clickInto(thread, "MUS:Rating"));
    QTest::keyClicks(control("MUS:Rating"), "7");
    // OK by its mnemonic (a button so pressed comes up a moment later): the entry keeps the
    // focus and is never left.
    QTest::keyClick(control("MUS:Rating"), Qt::Key_O, Qt::AltModifier);
    ASSERT_TRUE(runUntil([&] { return form->passes == 1; }));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(form->failed, nullptr);
    EXPECT_EQ(ran, TestForm::fields());
    EXPECT_EQ(controlValue(thread, "MUS:Rating").toLongLong(), 7);

    const int beeps = beepCount();
    QTest::keyClick(control("MUS:Rating"), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(control("MUS:Rating"), "x");
    QTest::keyClick(control("MUS:Rating"), Qt::Key_O, Qt::AltModifier);
    ASSERT_TRUE(runUntil([&] { return form->passes == 2; }));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(form->failed, control("MUS:Rating"));
    EXPECT_EQ(beepCount(), beeps + 1);
    EXPECT_EQ(control<QLineEdit>("MUS:Rating")->selectedText(), "x");
}

TEST_F(FormTest, TabOrderIsTheOrderOfDeclaration) {
    ASSERT_TRUE(clickInto(thread, "MUS:Artist"));
    QStringList order{focusedName()};
    for (int i = 0; i < 20 && (order.size() == 1 || order.back() != "MUS:Artist"); ++i) {
        ASSERT_TRUE(pressTab());
        order << focusedName();
    }
    EXPECT_EQ(order, (QStringList{"MUS:Artist", "MUS:Title", "MUS:Media", "MUS:Time", "MUS:ReleaseDate",
                                  "CAT:Category", "MUS:TrackNumber", "MUS:Side", "MUS:BeatsPerMinute",
                                  "MUS:ChartNumber", "MUS:Rating", "MUS:Skips", "MUS:DoNotPlay", "MUS:Live",
                                  "Slow", "OK", "Cancel", "Tabs", "MUS:Artist"}));

    // The prompts' mnemonics reach their controls.
    QTest::keyClick(control("MUS:Artist"), Qt::Key_D, Qt::AltModifier);
    EXPECT_EQ(focusedName(), "MUS:Side");
}

TEST_F(FormTest, LoadAndStoreMoveValuesByField) {
    QVariantMap record{{"MUS:Artist", "Chic"},       {"MUS:Media", "LP"},        {"MUS:Time", timeOf(0, 4, 0) + 1},
                       {"MUS:ReleaseDate", 71266},   {"MUS:TrackNumber", 3},     {"MUS:Side", 1},
                       {"MUS:Skips", 1},             {"MUS:EndType", "Fast"},    {"MUS:Notes", "Two\nlines"},
                       {"MUS:Unknown", "ignored"}};
    form->controls().load([&](const QString &field) { return record.value(field); });
    EXPECT_EQ(controlText(thread, "MUS:Artist"), "Chic");
    EXPECT_EQ(controlText(thread, "MUS:Media"), "LP");
    EXPECT_EQ(controlText(thread, "MUS:Time"), "00:04");
    EXPECT_EQ(controlText(thread, "MUS:ReleaseDate"), "10/02/1996");
    EXPECT_EQ(controlText(thread, "MUS:Side"), " 1");
    EXPECT_TRUE(control<QCheckBox>("MUS:Skips")->isChecked());
    EXPECT_FALSE(control<QCheckBox>("MUS:Live")->isChecked());

    ASSERT_TRUE(typeInto(thread, "MUS:Title", "Le Freak"));
    ASSERT_TRUE(clickCheck(thread, "MUS:Skips"));
    // Loading is not a change the user made.
    EXPECT_EQ(accepted("MUS:Artist"), 0);

    QVariantMap stored;
    form->controls().store([&](const QString &field, const QVariant &v) { stored.insert(field, v); });
    EXPECT_EQ(stored.keys().size(), TestForm::fields().size());
    EXPECT_EQ(stored.value("MUS:Title"), "Le Freak");
    EXPECT_EQ(stored.value("MUS:Artist"), "Chic");
    EXPECT_EQ(stored.value("MUS:Skips").toInt(), 0);
    EXPECT_EQ(stored.value("MUS:ReleaseDate").toLongLong(), 71266);
    EXPECT_EQ(stored.value("MUS:TrackNumber").toLongLong(), 3);
    EXPECT_EQ(stored.value("MUS:EndType"), "Fast");
    EXPECT_EQ(stored.value("MUS:Notes"), "Two\nlines");
}

TEST_F(FormTest, DateEntriesTakeTheUsersDateFormat) {
    form->controls().setValue("MUS:ReleaseDate", 71266);
    auto *date = control<QLineEdit>("MUS:ReleaseDate");
    const int narrow = date->width();
    form->controls().useDateFormat("d4");
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(date->text(), "February 10, 1996");
    EXPECT_GT(date->width(), narrow);
    EXPECT_EQ(qobject_cast<EntryField *>(FieldControl::of(control("MUS:Time")))->picture(), "@t1");
    // Typed in the new format, the same day is no change; another is.
    ASSERT_TRUE(typeInto(thread, "MUS:ReleaseDate", "February 10, 1996"));
    EXPECT_EQ(accepted("MUS:ReleaseDate"), 0);
    ASSERT_TRUE(typeInto(thread, "MUS:ReleaseDate", "March 1, 1996"));
    EXPECT_EQ(accepted("MUS:ReleaseDate"), 1);
    EXPECT_EQ(controlValue(thread, "MUS:ReleaseDate").toLongLong(), dayNumber(1996, 3, 1));
}

TEST_F(FormTest, ControlsAreSizedInTheWindowsDialogUnits) {
    const DialogUnits du(window);
    auto *side = control<QLineEdit>("MUS:Side");
    // Four units a character of the picture.
    EXPECT_EQ(pictureUnits("@n3b") - pictureUnits("@n2b"), 4);
    EXPECT_EQ(side->size(), du.size(pictureUnits("@n2b"), WindowBuilder::kEntryHeight));
    EXPECT_EQ(control("MUS:Rating")->width(), side->width());
    EXPECT_EQ(control("MUS:ChartNumber")->width(), du.x(pictureUnits("@n3b")));
    EXPECT_EQ(control("OK")->height(), du.y(WindowBuilder::kButtonHeight));
    EXPECT_GE(control("OK")->width(), du.x(WindowBuilder::kButtonWidth));
    // Prompts line up in their column, and their controls beside them.
    const QLabel *artist = promptOf(control("MUS:Artist"));
    const QLabel *side2 = promptOf(side);
    ASSERT_TRUE(artist && side2);
    EXPECT_EQ(artist->x(), side2->x());
    EXPECT_EQ(control("MUS:Artist")->x(), side->x());
    EXPECT_EQ(control("MUS:Title")->y() - control("MUS:Artist")->y(), du.y(WindowBuilder::kEntryHeight) + du.y(3));
    // The window is never smaller than its declared size.
    EXPECT_GE(window->minimumWidth(), du.x(330));
    EXPECT_GE(window->minimumHeight(), du.y(210));
    EXPECT_GE(window->width(), window->minimumWidth());
}

TEST(BuiltWindow, DialogUnitsFollowTheWindowsFont) {
    auto sideWidth = [] {
        int width = 0;
        startThread([&] {
            TestForm f;
            f.onOpen = [&](TestForm &self) {
                width = self.widget()->findChild<QWidget *>("MUS:Side")->width();
                self.closeWindow();
            };
            f.run();
        });
        EXPECT_TRUE(runUntilIdle());
        return width;
    };
    const QFont font = QApplication::font();
    const int normal = sideWidth();
    QFont big = font;
    big.setPointSizeF(font.pointSizeF() * 2);
    QApplication::setFont(big);
    const int wide = sideWidth();
    QApplication::setFont(font);
    EXPECT_EQ(wide, DialogUnits(big).x(pictureUnits("@n2b")));
    EXPECT_EQ(normal, DialogUnits(font).x(pictureUnits("@n2b")));
    EXPECT_GT(wide, normal);
}

namespace {
// Counts the moves and resizes each control is given.
class GeometryCount : public QObject {
public:
    QHash<QObject *, int> moves, resizes;
    bool eventFilter(QObject *o, QEvent *e) override {
        if (e->type() == QEvent::Move)
            ++moves[o];
        else if (e->type() == QEvent::Resize)
            ++resizes[o];
        return false;
    }
};
} // namespace

TEST_F(FormTest, ResizingABuiltWindowMovesEachControlOnceByItsLayout) {
    EXPECT_TRUE(form->resizer().entries().empty());
    GeometryCount count;
    const QList<QWidget *> controls = form->controls().controls();
    for (QWidget *c : controls)
        c->installEventFilter(&count);
    auto *artist = control("MUS:Artist");
    auto *side = control("MUS:Side");
    auto *ok = control("OK");
    const QSize artistBefore = artist->size();
    const QSize sideBefore = side->size();
    const QSize start = window->size();
    const int okFromRight = start.width() - ok->geometry().right();
    window->resize(start + QSize(200, 120));
    ASSERT_TRUE(runUntilIdle());
    for (QWidget *c : controls) {
        EXPECT_LE(count.moves.value(c), 1) << c->objectName().toStdString();
        EXPECT_LE(count.resizes.value(c), 1) << c->objectName().toStdString();
    }
    EXPECT_EQ(side->size(), sideBefore);
    EXPECT_EQ(artist->height(), artistBefore.height());
    EXPECT_GT(artist->width(), artistBefore.width());
    EXPECT_EQ(window->width() - ok->geometry().right(), okFromRight);

    // Below its smallest size the window does not go.
    window->resize(10, 10);
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(window->size(), window->minimumSize());
}

TEST(HandlerTable, AControlsOwnHandlerComesBeforeTheOneForAnyControl) {
    QObject a, b;
    HandlerTable table;
    QStringList log;
    table.on(&a, EventKind::Accepted, [&](const Event &) { log << "a"; });
    table.on(nullptr, EventKind::Accepted, [&](const Event &e) { log << (e.control == &b ? "any b" : "any"); });
    table.on(&a, EventKind::Selected, [&](const Event &) { log << "a selected"; });
    EXPECT_TRUE(table.dispatch(Event::of(EventKind::Accepted, nullptr, &a)));
    EXPECT_TRUE(table.dispatch(Event::of(EventKind::Accepted, nullptr, &b)));
    EXPECT_TRUE(table.dispatch(Event::of(EventKind::Accepted)));
    EXPECT_FALSE(table.dispatch(Event::of(EventKind::Selected, nullptr, &b)));
    EXPECT_FALSE(table.dispatch(Event::of(EventKind::Timer)));
    // A later handler replaces the earlier; forgetting the controls keeps the window's own.
    table.on(&a, EventKind::Accepted, [&](const Event &) { log << "a again"; });
    table.dispatch(Event::of(EventKind::Accepted, nullptr, &a));
    table.forgetControls();
    table.dispatch(Event::of(EventKind::Accepted, nullptr, &a));
    EXPECT_FALSE(table.dispatch(Event::of(EventKind::Selected, nullptr, &a)));
    EXPECT_EQ(log, (QStringList{"a", "any b", "any", "a again", "any"}));
}

TEST_F(FormTest, HandledEventsDoNotReachTakeEvent) {
    int cancels = 0;
    form->on(control("Cancel"), EventKind::Accepted, [&] { ++cancels; });
    ASSERT_TRUE(pressButton(thread, "Cancel"));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(cancels, 1);
    EXPECT_EQ(accepted("Cancel"), 0);
    ASSERT_TRUE(form);
    // Unhandled kinds go on to takeEvent.
    ASSERT_TRUE(chooseTab(thread, "Notes"));
    bool newSelection = false;
    for (const Event &e : form->events)
        newSelection |= e.kind == EventKind::NewSelection && e.control == control("Tabs");
    EXPECT_TRUE(newSelection);
}

TEST_F(FormTest, ClosingTheWindowTakesNoPendingEdit) {
    ASSERT_TRUE(clickInto(thread, "MUS:Side"));
    QTest::keyClicks(control("MUS:Side"), "x");
    const int beeps = beepCount();
    ASSERT_TRUE(closeByUser(window));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(form, nullptr);
    EXPECT_EQ(beepCount(), beeps);
}
