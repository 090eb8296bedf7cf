#include "runtime/querywizard/querywizardtexts.h"

#include "runtime/querywizard/displaytexts.h"

namespace tbk {

namespace {

void text(qint32 id, const char *value) { QW_SETDISPLAYTEXT(id, QString::fromUtf8(value)); }
void number(qint32 id, qint32 value) { QW_SETDISPLAYTEXT(id, value); }

const char *const kFieldsRenamed =
    "This query is no longer valid because fields|and/or expressions were renamed or deleted from|"
    "the database after you created the query.| |";

} // namespace

void SetQueryWizardTexts() {
    // Operations; 9 before 8 as the wizard has always been given them.
    text(1, "Is Equal To");
    text(2, "Is NOT Equal To");
    text(3, "Is Greater Than");
    text(4, "Is Less Than");
    text(5, "Is Greater Than or Equal To");
    text(6, "Is Less Than or Equal To");
    text(7, "Begins With");
    text(9, "Does NOT Begin With");
    text(8, "Contains");
    text(10, "Does NOT Contain");
    text(11, "Is Checked");
    text(12, "Is NOT Checked");

    // Messages.
    text(31, "ErrorLoadingQuery");
    text(32, "An error has prevented the Query Wizard from loading your query at this time.");
    text(33, "Invalid Query");
    text(34, "The query you have designed is invalid.|Please review your query and correct the problem.");
    text(35, "Overwrite Query");
    text(36, "Do you want to overwrite the query you are editing?");
    text(37, "Query No Longer Valid");
    QW_SETDISPLAYTEXT(38, QString::fromUtf8(kFieldsRenamed) +
                              QStringLiteral("You should go through the query and make the|"
                                             "necessary corrections to fix this query."));
    text(39, "Restricted Query");
    text(40, "Sorry, this is a restricted query and may not be modified.");
    text(41, "Save Query");
    text(42, "Would you like to save this query?");

    // Fonts of the wizard's windows.
    text(71, "MS Sans Serif");
    number(72, 10);
    text(73, "MS Sans Serif");
    number(74, 10);
    text(75, "MS Sans Serif");
    number(76, 8);
    text(77, "MS Sans Serif");
    number(78, 8);
    text(79, "MS Sans Serif");
    number(80, 12);

    // The query window.
    text(100, "");
    text(101, "Add a New AND Query Element");
    text(102, "New AND Condition");
    text(103, "AND");
    text(104, "Go Back to the Previous Page");
    text(105, "Goto Previous Page");
    text(106, "< &Back");
    text(107, "Cancel Changes and Exit Wizard");
    text(108, "Cancel Changes");
    text(109, "Cancel");
    text(110, "Change Query Element");
    text(111, "Change Element");
    text(112, "&Change");
    text(113, "Delete Query Element");
    text(114, "Delete Element");
    text(115, "&Delete");
    text(116, "Finish the Wizard and Run Query");
    text(117, "Run the Query");
    text(118, "&Finish");
    text(119, "Manually Enter Query Criteria");
    text(120, "Manual Query Entry");
    text(121, "&Manual");
    text(122, "Go Forward to the Next Page");
    text(123, "Goto Next Page");
    text(124, "&Next >");
    text(125, "Add a New OR Query Element");
    text(126, "New OR Condition");
    text(127, "OR");

    text(151, "Constant &Value");
    text(152, "E&xpression");
    text(153, "&Another Field");
    text(154, "Current Query");
    text(155, "Add conditions by pressing the AND or OR buttons.");
    text(156, "Press Change or Delete to modify a condition.");
    text(157, "Enter a value to complete your expression.");
    text(158, "Field Selection");
    text(159, "Fields to Evaluate");
    text(160, "Manual Override");
    text(161, "Compare Using Absolute Values");
    text(162, "Compare Using Case Sensitive Matching");
    text(163, "(New Query)");
    text(164, "Operation Selection");
    text(165, "Query Operations");
    text(166, "Select a field from the list below.");
    text(167, "Select an Option Below");
    text(168, "Select a query operation to perform on the selected field.");
    text(169, "Value Entry");
    text(170, "2");   // a text, not a number
    text(171, "Query Wizard");

    // The saved-queries window.
    text(200, "");
    text(201, "Query Description");
    text(202, "Saved Queries");
    text(203, "Edit the Selected Query");
    text(204, "Edit Query");
    text(205, "&Change");
    text(206, "Cancel Request to Select a Saved Query");
    text(207, "Cancel Query Request");
    text(208, "Close");
    text(209, "Remove the Selected Query");
    text(210, "Remove Query");
    text(211, "&Delete");
    text(212, "Add a New Query");
    text(213, "Add Query");
    text(214, "&Insert");
    text(215, "Run the Selected Query");
    text(216, "Run Query");
    text(217, "&Select");
    text(218, "MS Sans Serif");
    number(219, 8);
    text(220, "Query No Longer Valid");
    QW_SETDISPLAYTEXT(221, QString::fromUtf8(kFieldsRenamed) +
                               QStringLiteral("You must edit the query and fix the problems|"
                                              "before it can be used."));

    // The query description window.
    text(230, "");
    text(231, "Enter a new description for the query or press OK to accept the existing description.");
    text(232, "Enter a description for the new query.");
    text(233, "Changing an Existing Query");
    text(234, "Deleting a Saved Query");
    text(235, "Adding a New Query");
    text(236, "Query Description:");
    text(237, "Cancel Save and Go Back to Editing Query");
    text(238, "Cancel Save");
    text(239, "Cancel");
    text(240, "Accept Description and Save Query");
    text(241, "Save Query");
    text(242, "OK");
    text(243, "MS Sans Serif");
    number(244, 8);

    // Conversions and the query list.
    text(300, "Converting Saved Query Data -- Please Wait...");
    text(301, "Converting Data File Structure  -- Please Wait...");
    text(302, "All Records");
    text(303, "Custom Query...");
}

} // namespace tbk
