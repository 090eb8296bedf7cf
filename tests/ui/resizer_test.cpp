#include "runtime/ui/resizer.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace tbk;

namespace {

struct Form {
    QWidget window;
    QLineEdit *entry;
    QPushButton *ok;
    QCheckBox *check;
    QGroupBox *group;
    QLineEdit *inner;
    Form() {
        window.resize(400, 300);
        entry = new QLineEdit(&window);
        entry->setGeometry(10, 10, 200, 20);
        ok = new QPushButton("OK", &window);
        ok->setGeometry(310, 260, 80, 30);
        check = new QCheckBox("Live", &window);
        check->setGeometry(10, 100, 60, 20);
        group = new QGroupBox(&window);
        group->setGeometry(200, 100, 100, 100);
        inner = new QLineEdit(group);
        inner->setGeometry(10, 20, 80, 20);
        new QMenuBar(&window);
    }
};

} // namespace

TEST(Resizer, QueueHoldsEveryControlButMenus) {
    Form f;
    Resizer r;
    r.init(&f.window, 1);
    ASSERT_EQ(r.entries().size(), 5u);
    EXPECT_EQ(r.entries()[0].type, EntryControl);
    EXPECT_EQ(r.entries()[1].type, ButtonControl);
    EXPECT_EQ(r.entries()[4].control.data(), static_cast<QWidget *>(f.inner));
}

TEST(Resizer, ModeOneScalesEverything) {
    Form f;
    Resizer r;
    r.init(&f.window, 1);
    f.window.resize(800, 600);
    r.resize();
    EXPECT_EQ(f.entry->geometry(), QRect(20, 20, 400, 40));
    EXPECT_EQ(f.ok->geometry(), QRect(620, 520, 160, 60));
    EXPECT_EQ(f.inner->geometry(), QRect(20, 40, 160, 40));
}

TEST(Resizer, ModeTwoChoosesByControlType) {
    Form f;
    Resizer r;
    r.init(&f.window, 2);
    f.window.resize(800, 450);
    r.resize();
    // Entries keep their height; buttons keep their size and stay by the nearer edges.
    EXPECT_EQ(f.entry->geometry(), QRect(20, 15, 400, 20));
    EXPECT_EQ(f.ok->geometry(), QRect(710, 410, 80, 30));
    // Check boxes keep their size; their place scales.
    EXPECT_EQ(f.check->geometry(), QRect(20, 150, 60, 20));
}

TEST(Resizer, StrategiesOfOneControl) {
    const struct {
        int h, flags;
        int expectedX;
    } cases[] = {
        {KeepLeft, 0, 100},
        {KeepRight, KeepWidth, 500},                // 800 - (400 - 100)
        {KeepRight, 0, 200},                        // 800 - 300 * 2
        {ProportionalX, KeepWidth, 100},
        {ProportionalX, 0, 200},
        {KeepCentreX, KeepWidth, 300},              // 400 - (200 - 100)
        {ScaleX, 0, 200},
    };
    for (const auto &c : cases) {
        QWidget window;
        window.resize(400, 300);
        auto *w = new QWidget(&window);
        w->setGeometry(100, 50, 50, 20);
        Resizer r;
        r.init(&window, 1);
        r.setStrategy(w, c.h, KeepTop, c.flags);
        window.resize(800, 300);
        r.resize();
        EXPECT_EQ(w->x(), c.expectedX) << c.h << "/" << c.flags;
        EXPECT_EQ(w->y(), 50);
    }
}

TEST(Resizer, AWindowThatOnlyMovedMovesNoControl) {
    Form f;
    Resizer r;
    r.init(&f.window, 1);
    f.entry->move(33, 33);   // a control the program moved itself
    f.window.move(200, 200);
    r.resize();
    EXPECT_EQ(f.entry->pos(), QPoint(33, 33));
}
