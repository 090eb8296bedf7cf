#pragma once
// The song lists' tests: a generated catalogue of 24 songs whose fields tell every sort order
// apart, and the moves on a list that the tests of both lists make.
#include "core/programsettings.h"
#include "runtime/querywizard/querywizard.h"
#include "runtime/querywizard/querywizardtexts.h"
#include "runtime/ui/listcontrol.h"
#include "songtest.h"
#include "support/windows/listtesting.h"

#include <QTabWidget>
#include <QTest>

namespace songtest {

class SongListTest : public SongTest {
protected:
    void SetUp() override {
        SongTest::SetUp();
        openForUse(CF);
        QW_ResetDisplayTexts();
        QW_FileName = kQueryWizardFileName;
        SetQueryWizardTexts();
        ProgramIniFile = kProgramIniName;
        UDKPrompt = "";
        DateFormat = "";
        SaveLastTab = 0;
        AddMode = "1";
        AutoAddToAlbums = "";
        for (const char *m : {"CD", "Vinyl", "Tape"})
            addMedia(QString::fromLatin1(m));
        addCategory(1, "Pop");
        addCategory(2, "Rock");
        addCategory(3, "Jazz");
        // Song i: two songs per artist ("Artist A" for 1 and 2), titles falling as i rises,
        // albums by i % 4, every third on vinyl, odd ones Pop and even ones Rock, chart
        // number i, BPM falling by 5 from 195, file number and user-defined key from i.
        for (int i = 1; i <= kSongs; ++i) {
            MUS.clear();
            MUS.ID = i;
            MUS.Artist = QStringLiteral("Artist %1").arg(QChar(u'A' + (i - 1) / 2));
            MUS.Title = QStringLiteral("Title %1").arg(kSongs + 1 - i, 2, 10, QLatin1Char('0'));
            MUS.Album = QStringLiteral("Album %1").arg(i % 4);
            MUS.Media = i % 3 == 0 ? "Vinyl" : "CD";
            MUS.FileNumber = QStringLiteral("F%1").arg(i, 2, 10, QLatin1Char('0'));
            MUS.CategoryID = i % 2 ? 1 : 2;
            MUS.ChartNumber = i;
            MUS.BeatsPerMinute = 200 - 5 * i;
            MUS.UserDefinedKeyField = QStringLiteral("K%1").arg(i, 2, 10, QLatin1Char('0'));
            ASSERT_TRUE(MUS.add()) << data::errorCode();
        }
    }

    static constexpr int kSongs = 24;

    static ListControl *list(const Call &c) { return qobject_cast<ListControl *>(findControl(window(c), "Browse")); }
    static QTabWidget *tabs(const Call &c) { return window(c)->findChild<QTabWidget *>(); }
    static QString tabText(const Call &c, int i) { return tabs(c)->tabText(i); }
    static bool enabled(const Call &c, const QString &control) {
        QWidget *w = findControl(window(c), control);
        return w && w->isVisible() && w->isEnabled();
    }
    static void typeOn(ListControl *l, const QString &text) {
        l->setFocus();
        QTest::keyClicks(l, text);
        ASSERT_TRUE(runUntilIdle());
    }
    static void keyOn(ListControl *l, Qt::Key key) {
        pressListKey(l, key);
        ASSERT_TRUE(runUntilIdle());
    }
    // The identifier of the current row, which the list leaves in the buffer.
    static int current() { return MUS.ID.value(); }
    // Chooses the row showing the text in the thread's active list (the media and category
    // pickers) and presses its Select button.
    static void pick(const Call &c, const QString &listName, const QString &row) {
        auto *l = qobject_cast<ListControl *>(findControl(window(c), listName));
        ASSERT_TRUE(l);
        ASSERT_TRUE(selectRowByKey(l, 0, row)) << row.toStdString();
        ASSERT_TRUE(runUntilIdle());
        ASSERT_TRUE(press(c, "Select"));
    }
    static int rowCount(const Call &c) { return list(c)->listModel()->rowCount(); }
    // A query through the wizard's pages: one condition, run without saving it.
    static void search(const Call &c, const QString &field, const QString &operation, const QString &value) {
        ASSERT_TRUE(press(c, "Search"));
        ASSERT_TRUE(selectRowByKey(qobject_cast<ListControl *>(findControl(window(c), "SavedQueries")), 0,
                                   "(New Query)"));
        ASSERT_TRUE(press(c, "Select"));
        ASSERT_TRUE(selectRowByKey(qobject_cast<ListControl *>(findControl(window(c), "Fields")), 1, field));
        ASSERT_TRUE(press(c, "Next >"));
        ASSERT_TRUE(selectRowByKey(qobject_cast<ListControl *>(findControl(window(c), "Operations")), 0, operation));
        ASSERT_TRUE(press(c, "Next >"));
        ASSERT_TRUE(chooseOption(c.thread, "ValueKind", "Constant Value"));
        ASSERT_TRUE(runUntilIdle());
        ASSERT_TRUE(typeInto(c.thread, "Value", value));
        ASSERT_TRUE(press(c, "Next >"));
        ASSERT_TRUE(press(c, "Finish"));
        ASSERT_TRUE(answer(c, ButtonNo));   // not saved
    }
};

} // namespace songtest
