#include "core/standardwarnings.h"

#include "coretest.h"
#include "runtime/data/errors.h"

#include <gtest/gtest.h>

using namespace tbk;

namespace {

struct Row {
    int number;
    const char *caption;
    const char *text;
    int buttons;
    int defaultButton;
    MessageIcon icon;
    const char *halt;
};

constexpr auto I = MessageIcon::Information;
constexpr auto X = MessageIcon::Exclamation;
constexpr int YN = ButtonYes | ButtonNo;
constexpr int YNC = ButtonYes | ButtonNo | ButtonCancel;

// T1 = "tbkdata  ", T2 = "Media  ", error 33 "No Records" (trailing blanks must go).
const Row kRows[] = {
    {1, "Invalid File", "Error: (No Records (33)) accessing tbkdata.  Press OK to end this application.", ButtonOK, ButtonOK, I, "Invalid File!"},
    {2, "Invalid Key", "tbkdata key file is invalid.  Do you want to rebuild the key?", YN, ButtonYes, X, "Invalid Key!"},
    {3, "Key Rebuild Error", "Error: (No Records (33)) repairing key for tbkdata.  Press OK to end this application.", ButtonOK, ButtonOK, I, "Error Rebuilding Key!"},
    {4, "File Creation Error", "Error: (No Records (33)) creating tbkdata.  Press OK to end this application.", ButtonOK, ButtonOK, I, "File Creation Error!"},
    {5, "File Creation Error", "Error: (No Records (33)) opening created file:tbkdata.  Press OK to end this application.", ButtonOK, ButtonOK, I, "File Creation Error!"},
    {10, "Range Error", "The value of tbkdata must be between Media.", ButtonOK, ButtonOK, I, ""},
    {11, "Field Contents Error", "The value for tbkdata must be found in the Media file.", ButtonOK, ButtonOK, I, ""},
    {12, "Referential Integrity Update Error", "This record is referenced from the file tbkdata.  Linking field(s) have been restricted from change and have been reset to original values.", ButtonOK, ButtonOK, I, ""},
    {13, "Referential Integrity Delete Error", "This record is referenced from the file tbkdata.  This record cannot be deleted while these references exist.", ButtonOK, ButtonOK, I, ""},
    {14, "Record Insert Error", "An error was experienced during the update of record.  Error: No Records (33).", ButtonOK, ButtonOK, I, ""},
    {15, "Update Operation Error", "An error (No Records (33)) was experienced when attempting to update a record from the file.  Probable Cause: tbkdata.", ButtonOK, ButtonOK, I, ""},
    {16, "Record Update Error", "An error was experienced changing this record.  Do you want to try to save again?", YNC, ButtonCancel, I, ""},
    {17, "Delete Operation Error", "An error (No Records (33)) was experienced when attempting to delete a record from the file tbkdata.", ButtonOK, ButtonOK, I, ""},
    {18, "Record Update Error", "An error was experienced deleting this record.  Do you want to try to save again?", YNC, ButtonCancel, I, ""},
    {20, "Invalid Request", "This procedure was called to change a record, however changes are not allowed for this procedure.  Press OK to return to the calling procedure", ButtonOK, ButtonOK, I, ""},
    {21, "Invalid Request", "This procedure was called to delete a record, however deletions are not allowed for this procedure.  Press OK to return to the calling procedure", ButtonOK, ButtonOK, I, ""},
    {23, "Update Cancelled", "Are you sure you want to cancel?", YN, ButtonNo, X, ""},
    {24, "Duplicate Key Error", "Adding this record creates a duplicate entry for the key:tbkdata", ButtonOK, ButtonOK, I, ""},
    {25, "Auto Increment Error", "Attempts to automatically number this record have failed.  Error: No Records (33).", ButtonRetry | ButtonCancel, ButtonCancel, I, ""},
    {30, "File Access Error", "File (tbkdata) could not be opened.  Error: No Records (33).", ButtonOK, ButtonOK, I, ""},
    {31, "Process DELETE Error", "An error was experienced when deleting a record from the Media file.  Error: No Records (33)", ButtonOK, ButtonOK, I, ""},
    {32, "Confirm Delete", "You've selected to delete the highlighted record.  Press OK to confirm deletion of this record.", ButtonOK | ButtonCancel, ButtonCancel, X, ""},
    {34, "Transaction Framing Error", "Error: (No Records (33)) attempting to frame the tbkdata transaction on Media.  tbkdata transaction cancelled.", ButtonOK, ButtonOK, I, ""},
    {35, "Record Retrieval Error", "Error: (No Records (33)) attempting to access a record from the tbkdata file.  Returning to previous window.", ButtonOK, ButtonOK, I, ""},
    {36, "View Open Error", "Error: (No Records (33)) attempting to open the current VIEW. Filter and Range Limits ignored.", ButtonOK, ButtonOK, I, ""},
    {38, "Record Was Not Updated", "This record was changed by another station. Those changes will now be displayed. Use the Ditto Button or Ctrl+' to recall your changes.", ButtonOK, ButtonOK, I, ""},
};

} // namespace

TEST(StandardWarnings, EveryNumberHasItsCaptionTextButtonsIconAndEnd) {
    const ErrorInfo error{33, "No Records   ", {}, {}};
    int known = 0;
    for (int n = 0; n <= 40; ++n) {
        const StandardWarning w = composeStandardWarning(n, "tbkdata  ", "Media  ", error);
        const Row *row = nullptr;
        for (const Row &r : kRows)
            if (r.number == n)
                row = &r;
        SCOPED_TRACE(n);
        ASSERT_EQ(w.known, row != nullptr);
        if (!row)
            continue;
        ++known;
        EXPECT_EQ(w.caption, row->caption);
        EXPECT_EQ(w.text, row->text);
        EXPECT_EQ(w.buttons, row->buttons);
        EXPECT_EQ(w.defaultButton, row->defaultButton);
        EXPECT_EQ(w.icon, row->icon);
        EXPECT_EQ(w.haltText, row->halt);
        EXPECT_EQ(w.returnsAnswer, n != 34 && n != 35 && n != 36);
    }
    EXPECT_EQ(known, 26);
}

TEST(StandardWarnings, TextsThatDependOnTheCallerOrTheError) {
    EXPECT_EQ(composeStandardWarning(2, "x", "", {}).haltUnless, ButtonYes);
    EXPECT_EQ(composeStandardWarning(34, "Delete", "Tunebank", {}).text,
              "Error: ( (0)) attempting to frame the delete transaction on Tunebank.  Delete transaction cancelled.");
    const auto put = composeStandardWarning(31, "Put", "Album", ErrorInfo{40, "Creates Duplicate Key", {}, {}});
    EXPECT_EQ(put.caption, "Process PUT Error");
    EXPECT_EQ(put.text, "An error was experienced when making changes to the Album file.  Error: Creates Duplicate Key (40)");
    // A record changed elsewhere (89), or no error at all, gives the fixed text whatever T1 says.
    for (int code : {0, 89})
        EXPECT_EQ(composeStandardWarning(15, "Record Changed by Another Station", "", ErrorInfo{code, "x", {}, {}}).text,
                  "This record was changed by another station.");
}

TEST(StandardWarnings, ErrorDescriptionUsesDriverTextForDriverErrorsAndIsCut) {
    EXPECT_EQ(errorDescription({}), " (0)");
    EXPECT_EQ(errorDescription(ErrorInfo{90, "File System Error", "11", "database disk image is malformed  "}),
              "database disk image is malformed (11)");
    EXPECT_EQ(errorDescription(ErrorInfo{2, QString(300, 'a'), {}, {}}).size(), 150);
}

namespace {

QMessageBox::Icon qtIcon(MessageIcon icon) {
    return icon == MessageIcon::Exclamation ? QMessageBox::Warning : QMessageBox::Information;
}

class ShownWarnings : public coretest::CoreTest {};

} // namespace

TEST_F(ShownWarnings, EachNumberShowsItsBoxReturnsTheAnswerOrEndsTheProgram) {
    struct Press {
        int number;
        int button;
    };
    std::vector<Press> presses;
    for (const Row &r : kRows)
        presses.push_back({r.number, r.defaultButton});
    presses.push_back({2, ButtonNo});       // No to a key rebuild ends the program
    presses.push_back({23, ButtonYes});
    presses.push_back({25, ButtonRetry});
    for (const Press &p : presses) {
        const Row &row = *std::find_if(std::begin(kRows), std::end(kRows), [&](const Row &r) { return r.number == p.number; });
        SCOPED_TRACE(p.number);
        exitCodes.clear();
        data::setError(33);
        int answer = -1;
        const auto shown = run([&] { answer = ShowStandardWarning(p.number, "tbkdata  ", "Media  "); }, {p.button});
        ASSERT_GE(shown.size(), 1u);
        EXPECT_EQ(shown[0].caption, row.caption);
        EXPECT_EQ(shown[0].text, QString(row.text).replace("No Records", data::textOfError(33)));
        EXPECT_EQ(shown[0].icon, qtIcon(row.icon));
        EXPECT_EQ(shown[0].buttons, row.buttons);
        EXPECT_EQ(shown[0].defaultButton, row.defaultButton);
        const bool ends = *row.halt && !(p.number == 2 && p.button == ButtonYes);
        if (ends) {
            ASSERT_EQ(shown.size(), 2u);
            EXPECT_EQ(shown[1].text, row.halt);
            EXPECT_EQ(exitCodes, std::vector<int>{1});   // a calling script sees the failure
            EXPECT_EQ(answer, -1);   // the routine never returned
        } else {
            EXPECT_EQ(shown.size(), 1u);
            EXPECT_TRUE(exitCodes.empty());
            EXPECT_EQ(answer, p.number == 34 || p.number == 35 || p.number == 36 ? 0 : p.button);
        }
    }
}

TEST_F(ShownWarnings, NumbersWithoutAMessageShowNothing) {
    int answer = -1;
    for (int n : {6, 9, 19, 22, 33, 37})
        EXPECT_TRUE(run([&] { answer = ShowStandardWarningPlain(n); }).empty());
    EXPECT_EQ(answer, 0);
}

TEST_F(ShownWarnings, TheSavedErrorIsShownOnceThenTheCurrentOne) {
    data::setError(35, "Tunebank");
    saveCurrentError();
    data::setError(40, "Album");
    QStringList texts;
    const auto shown = run([&] {
        ShowStandardWarningWithText(17, "Tunebank");
        ShowStandardWarningWithText(17, "Album");
        data::clearError();
        ShowStandardWarningWithText(17, "Media");
        data::setDriverError(11, "database disk image is malformed");
        ShowStandardWarningWithText(17, "Labels");
    });
    for (const auto &s : shown)
        texts << s.text;
    EXPECT_EQ(texts, QStringList({
        "An error (Record Not Found (35)) was experienced when attempting to delete a record from the file Tunebank.",
        "An error (Creates Duplicate Key (40)) was experienced when attempting to delete a record from the file Album.",
        "An error ( (0)) was experienced when attempting to delete a record from the file Media.",
        "An error (database disk image is malformed (11)) was experienced when attempting to delete a record from the file Labels.",
    }));
    EXPECT_EQ(savedError().code, 0);
}
