#pragma once
// The query wizard's tests: a fresh catalogue of a few songs chosen to tell the operations
// apart, the wizard's display texts, and helpers that work the wizard's windows as a user does.
#include "core/datafiles.h"
#include "core/fileaccess.h"
#include "querybrowse.h"
#include "runtime/ui/listcontrol.h"
#include "runtime/querywizard/querywizard.h"
#include "runtime/querywizard/querywizardtexts.h"
#include "runtime/threads/halt.h"
#include "support/qstringprint.h"

#include <gtest/gtest.h>

namespace qwtest {

// One condition as the user enters it: the field (by its bound name), the operation (or
// choice) as listed, and on the value page the kind of value and what is typed or chosen.
struct Step {
    QString field;
    QString operation;
    QString value;            // empty: no value page
    QString kind = {};        // "Constant Value" (default), "Another Field" or "Expression"
    bool caseSensitive = false;
    bool absolute = false;
};

// Scrolls the list, as a user would, until the row whose column shows the text is in view.
void scrollToRow(tbk::ListControl *list, int column, const QString &text);

class WizardTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Songs 1 to 6 (see the .cpp for what tells them apart).
    static void addCatalogue();
    void open(const QString &fieldList, const QString &queryName = QStringLiteral("SONGS"));
    void close();

    QWidget *window() const;
    void press(const QString &button);
    // From the browse: Search, then Select on "(New Query)".
    void startNewQuery();
    // On the field page: the condition's pages, ending on the current-query page.
    void enter(const Step &s);
    // Finish, answering the question whether to save with No.
    void finishUnsaved();
    // Finish, saving under the description.
    void finishSaved(const QString &description);
    // The ids the browse lists now.
    QList<int> ids() const;
    QString lastMessageTitle() const;

    int thread = 0;
    QuerySongBrowse *browse = nullptr;
};

} // namespace qwtest
