// The criteria window: the globals it edits, what Cancel keeps, and the entry's rule.
#include "reports/reportcriteria.h"
#include "reporttest.h"
#include "runtime/settings/profile.h"

#include <QLabel>
#include <QLineEdit>

using namespace reporttest;

namespace {

class Criteria : public ReportTest {
protected:
    static std::shared_ptr<Running> open(const QString &noun) {
        return start([noun] {
            GlobalRequest = SelectRecord;
            ReportCriteria(noun);
            EXPECT_EQ(GlobalRequest, NoRequest);
        });
    }
    static QLineEdit *entry(const Running &r) { return qobject_cast<QLineEdit *>(findControl(window(r), "ReportSelection")); }
};

} // namespace

TEST_F(Criteria, TheEntryServesSelectedOnlyAndKeepsItsTextAndCancelKeepsTheEdits) {
    SelectedOrAll = "";   // anything but "Selected" is shown as "All"
    auto r = open("titles");
    ASSERT_TRUE(window(*r));
    EXPECT_EQ(window(*r)->windowTitle(), "Report Criteria");
    EXPECT_EQ(window(*r)->findChild<QLabel *>("SelectionPrompt")->text(), "Select titles that start with:");
    EXPECT_EQ(focusedName(), "Standard");
    EXPECT_EQ(SelectedOrAll.str(), "All");
    EXPECT_EQ(controlValue(r->thread, "SelectedOrAll").toString(), "All");
    EXPECT_FALSE(entry(*r)->isEnabled());

    ASSERT_TRUE(chooseOption(r->thread, "SelectedOrAll", "Selected"));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_TRUE(entry(*r)->isEnabled());
    ASSERT_TRUE(typeInto(r->thread, "ReportSelection", "abc"));
    ASSERT_TRUE(chooseOption(r->thread, "SelectedOrAll", "All"));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_FALSE(entry(*r)->isEnabled());
    EXPECT_EQ(entry(*r)->text(), "abc");
    ASSERT_TRUE(chooseOption(r->thread, "ReportLayout", "Brief"));
    ASSERT_TRUE(clickCheck(r->thread, "ReportPreviewChoice"));
    ASSERT_TRUE(clickCheck(r->thread, "ReportUseCustomFont"));
    ASSERT_TRUE(press(*r, "Cancel"));
    EXPECT_TRUE(r->done);
    EXPECT_EQ(r->response, RequestCancelled);
    EXPECT_EQ(ReportLayout.str(), "Brief");
    EXPECT_EQ(ReportPreviewChoice, 0);
    EXPECT_EQ(ReportUseCustomFont, 1);
    EXPECT_EQ(SelectedOrAll.str(), "All");
    EXPECT_EQ(ReportSelection.str(), "abc");
    EXPECT_FALSE(getIni("ReportCriteria", "XPosit", "", ".\\POSITION.INI").isEmpty()) << "its place is kept";

    // The next time: the old text is there for "Selected"; "&Ok" answers 1.
    auto again = open("artists");
    EXPECT_EQ(controlValue(again->thread, "ReportLayout").toString(), "Brief");
    ASSERT_TRUE(chooseOption(again->thread, "SelectedOrAll", "Selected"));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(entry(*again)->text(), "abc");
    ASSERT_TRUE(typeInto(again->thread, "ReportSelection", "the"));
    ASSERT_TRUE(press(*again, "Ok"));
    EXPECT_EQ(again->response, RequestCompleted);
    EXPECT_EQ(SelectedOrAll.str(), "Selected");
    EXPECT_EQ(ReportSelection.str(), "the");

    // Closed by its close box: cancelled.
    auto closed = open("artists");
    ASSERT_TRUE(closeByUser(window(*closed)) && runUntilIdle());
    EXPECT_EQ(closed->response, RequestCancelled);
}
