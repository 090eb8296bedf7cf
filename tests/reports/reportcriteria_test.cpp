// The criteria window: the globals it edits, what Cancel (or Escape) keeps, and the entry's rule.
#include "reports/reportcriteria.h"
#include "reporttest.h"
#include "runtime/settings/profile.h"

#include <QLineEdit>

using namespace reporttest;

TEST_F(ReportTest, TheCriteriaEntryServesSelectedOnlyKeepingItsTextAndCancelKeepsTheEdits) {
    SelectedOrAll = "";   // anything but "Selected" is shown as "All"
    auto open = [](const QString &noun) {
        return start([noun] {
            GlobalRequest = SelectRecord;
            ReportCriteria(noun);
            EXPECT_EQ(GlobalRequest, NoRequest);
        });
    };
    Started r = open("titles");
    ASSERT_TRUE(window(r));
    auto *entry = qobject_cast<QLineEdit *>(findControl(window(r), "ReportSelection"));
    EXPECT_EQ(window(r)->windowTitle(), "Report Criteria");
    EXPECT_EQ(window(r)->findChild<QLabel *>("SelectionPrompt")->text(), "Select titles that start with:");
    EXPECT_EQ(focusedName(), "Standard");
    EXPECT_EQ(SelectedOrAll.str(), "All");
    EXPECT_EQ(controlValue(r->thread, "SelectedOrAll").toString(), "All");
    EXPECT_FALSE(entry->isEnabled());
    ASSERT_TRUE(chooseOption(r->thread, "SelectedOrAll", "Selected") && runUntilIdle());
    EXPECT_TRUE(entry->isEnabled());
    ASSERT_TRUE(typeInto(r->thread, "ReportSelection", "abc"));
    ASSERT_TRUE(chooseOption(r->thread, "SelectedOrAll", "All") && runUntilIdle());
    EXPECT_FALSE(entry->isEnabled());
    EXPECT_EQ(entry->text(), "abc");
    ASSERT_TRUE(chooseOption(r->thread, "ReportLayout", "Brief"));
    ASSERT_TRUE(clickCheck(r->thread, "ReportPreviewChoice") && clickCheck(r->thread, "ReportUseCustomFont"));
    ASSERT_TRUE(press(r, "Cancel"));
    EXPECT_EQ(r->response, RequestCancelled);
    EXPECT_TRUE(ReportLayout.str() == "Brief" && ReportPreviewChoice == 0 && ReportUseCustomFont == 1);
    EXPECT_TRUE(SelectedOrAll.str() == "All" && ReportSelection.str() == "abc");
    EXPECT_FALSE(getIni("ReportCriteria", "XPosit", "", ".\\POSITION.INI").isEmpty()) << "its place is kept";

    // The next time the old text is there for "Selected"; "&Ok" answers 1, the close box 2.
    Started again = open("artists");
    EXPECT_EQ(controlValue(again->thread, "ReportLayout").toString(), "Brief");
    ASSERT_TRUE(chooseOption(again->thread, "SelectedOrAll", "Selected") && runUntilIdle());
    EXPECT_EQ(qobject_cast<QLineEdit *>(findControl(window(again), "ReportSelection"))->text(), "abc");
    ASSERT_TRUE(press(again, "Ok"));
    EXPECT_EQ(again->response, RequestCompleted);
    EXPECT_EQ(SelectedOrAll.str(), "Selected");
    Started closed = open("artists");
    ASSERT_TRUE(closeByUser(window(closed)) && runUntilIdle());
    EXPECT_EQ(closed->response, RequestCancelled);

    // Escape, wherever the focus is, as Cancel.
    Started escaped = open("artists");
    findControl(window(escaped), "ReportSelection")->setFocus();
    ASSERT_TRUE(pressKey(*escaped, Qt::Key_Escape) && runUntilIdle());
    EXPECT_TRUE(escaped->done);
    EXPECT_EQ(escaped->response, RequestCancelled);
}
