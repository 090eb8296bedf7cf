#include "qwtest.h"

#include "runtime/data/errors.h"
#include "runtime/threads/messagebox.h"
#include "runtime/ui/listcontrol.h"
#include "support/catalogue/cataloguetest.h"
#include "support/windows/controltesting.h"
#include "support/windows/listtesting.h"
#include "support/windows/windowtesting.h"

#include <QWidget>

using namespace tbk;
using namespace tbk::windowtest;

namespace qwtest {

void WizardTest::SetUp() {
    QW_ResetDisplayTexts();
    QW_FileName = kQueryWizardFileName;
    SetQueryWizardTexts();
    QW_Response = 0;
    cataloguetest::openCatalogue({&CF, &MUS, &MED, &CAT});
    addCatalogue();
}

void WizardTest::TearDown() { cataloguetest::closeCatalogue(); }

namespace {

void addSong(int id, const char *artist, const char *title, const char *album, const char *media, int bpm,
             int released, int live, int skips, const char *end, int category, int time) {
    MUS.clear();
    MUS.ID = id;
    MUS.Artist = artist;
    MUS.Title = title;
    MUS.Album = album;
    MUS.Media = media;
    MUS.BeatsPerMinute = bpm;
    MUS.ReleaseDate = released;
    MUS.Live = live;
    MUS.Skips = skips;
    MUS.EndType = end;
    MUS.CategoryID = category;
    MUS.Time = time;
    ASSERT_TRUE(MUS.add()) << data::errorCode();
}

} // namespace

void WizardTest::addCatalogue() {
    for (const char *m : {"CD", "Vinyl"})
        cataloguetest::addMedia(m);
    cataloguetest::addCategory(1, "Pop");
    cataloguetest::addCategory(2, "Rock");
    // Times are hundredths plus one: 3:45 and 4:15.
    const int short_ = 3 * 6000 + 4500 + 1, long_ = 4 * 6000 + 1500 + 1;
    addSong(1, "ABBA", "Waterloo", "Waterloo", "CD", 147, 71266, 1, 0, "Fast", 1, short_);
    addSong(2, "abba", "Dancing Queen", "Arrival", "Vinyl", 100, 70000, 1, 2, "Slow", 1, long_);
    addSong(3, "The Abbadabbas", "Rock 'n' Roll) OR 1=1", "Mixed", "CD", 120, 72000, 0, 0, "Abrupt", 2, short_);
    addSong(4, "Beatles", "Rock 'n' Roll", "Rock 'n' Roll", "CD", 90, 71265, 1, 1, "fast", 0, long_);
    addSong(5, "Queen", "Bohemian", "Bohemian", "Vinyl", 72, 60000, 0, 0, "", 0, short_);
    addSong(6, "Abbas", "Six", "Other", "", 128, 71300, 0, 3, "Slow", 0, long_);
}

void WizardTest::open(const QString &fieldList, const QString &queryName) {
    thread = startQueryBrowse(browse, fieldList, queryName);
    ASSERT_TRUE(runUntilIdle());
    ASSERT_TRUE(browse);
}

void WizardTest::close() {
    press(QStringLiteral("Close"));
    ASSERT_FALSE(browse);
}

QWidget *WizardTest::window() const { return activeWindow(thread); }

void WizardTest::press(const QString &button) {
    ASSERT_TRUE(pressButton(thread, button)) << button.toStdString() << " in "
                                             << window()->windowTitle().toStdString();
    ASSERT_TRUE(runUntilIdle());
}

void WizardTest::startNewQuery() {
    press(QStringLiteral("Search"));
    ASSERT_EQ(window()->windowTitle(), "Query Wizard");
    auto *saved = qobject_cast<ListControl *>(findControl(window(), QStringLiteral("SavedQueries")));
    ASSERT_TRUE(saved);
    ASSERT_TRUE(selectRowByKey(saved, 0, QStringLiteral("(New Query)")));
    press(QStringLiteral("Select"));
    ASSERT_TRUE(findControl(window(), QStringLiteral("Fields")));
}

void scrollToRow(ListControl *list, int column, const QString &text) {
    for (int r = 0; r < list->listModel()->rowCount(); ++r)
        if (list->rowTexts(r).value(column).trimmed() == text)
            list->scrollTo(list->listModel()->index(r, 0));
    runUntilIdle();
}

void WizardTest::enter(const Step &s) {
    auto *fields = qobject_cast<ListControl *>(findControl(window(), QStringLiteral("Fields")));
    ASSERT_TRUE(fields);
    scrollToRow(fields, 1, s.field);
    ASSERT_TRUE(selectRowByKey(fields, 1, s.field)) << s.field.toStdString();
    press(QStringLiteral("Next >"));
    auto *ops = qobject_cast<ListControl *>(findControl(window(), QStringLiteral("Operations")));
    ASSERT_TRUE(selectRowByKey(ops, 0, s.operation)) << s.operation.toStdString();
    press(QStringLiteral("Next >"));
    if (s.value.isEmpty() && s.kind.isEmpty())
        return;
    const QString kind = s.kind.isEmpty() ? QStringLiteral("Constant Value") : s.kind;
    ASSERT_TRUE(chooseOption(thread, QStringLiteral("ValueKind"), kind));
    ASSERT_TRUE(runUntilIdle());
    if (kind == "Another Field") {
        ASSERT_TRUE(chooseFromList(thread, QStringLiteral("OtherField"), s.value));
    } else {
        ASSERT_TRUE(typeInto(thread, kind == "Expression" ? QStringLiteral("Expression") : QStringLiteral("Value"),
                             s.value));
    }
    if (s.caseSensitive) {
        ASSERT_TRUE(clickCheck(thread, QStringLiteral("CaseSensitive")));
    }
    if (s.absolute) {
        ASSERT_TRUE(clickCheck(thread, QStringLiteral("Absolute")));
    }
    press(QStringLiteral("Next >"));
}

void WizardTest::finishUnsaved() {
    press(QStringLiteral("Finish"));
    ASSERT_EQ(messageText(thread), "Would you like to save this query?");
    ASSERT_TRUE(answerMessage(thread, ButtonNo));
    ASSERT_TRUE(runUntilIdle());
}

void WizardTest::finishSaved(const QString &description) {
    press(QStringLiteral("Finish"));
    ASSERT_TRUE(answerMessage(thread, ButtonYes));
    ASSERT_TRUE(runUntilIdle());
    ASSERT_EQ(window()->windowTitle(), "Adding a New Query");
    ASSERT_TRUE(typeInto(thread, QStringLiteral("Description"), description));
    press(QStringLiteral("OK"));
}

QList<int> WizardTest::ids() const {
    QList<int> out;
    for (const QString &row : listRows(browse->list().control()))
        out << row.section(QLatin1Char('|'), 0, 0).trimmed().toInt();
    return out;
}

QString WizardTest::lastMessageTitle() const {
    QWidget *w = window();
    return w ? w->windowTitle() : QString();
}

} // namespace qwtest
