#pragma once
// The wizard's windows: the list of saved queries, the wizard's pages that build a query, the
// manual entry of a query's text and the description asked for when a query is saved. Every
// text they show is a display text.
#include "runtime/querywizard/query.h"
#include "runtime/querywizard/savedqueries.h"
#include "runtime/ui/window.h"

#include <memory>

class QLabel;
class QPushButton;
class QTabWidget;

namespace tbk {
class ListControl;
}

namespace tbk::qw {

// One column of texts for a list control.
class TextRows;

// The pages that build one query; finished() when the user pressed Finish.
class QueryWizardWindow : public Window {
public:
    QueryWizardWindow(const QueryFieldQueue &queue, Query query);
    ~QueryWizardWindow() override;
    bool finished() const { return finished_; }
    const Query &query() const { return query_; }
    const QString &filter() const { return filter_; }

    enum Page { FieldPage, OperationPage, ValuePage, QueryPage };

protected:
    QWidget *createWindow() override;
    bool openRoutine() override;

private:
    void showPage(Page p);
    void startCondition(Condition::Join join);
    void editCondition(int row);
    void fieldChosen();
    void operationChosen();
    void valueEntered();
    // Puts the condition in the query when the filter text stays within its size.
    bool commit(const Condition &c);
    void manual();
    void finish();
    void back();
    void showQuery();
    const QueryField *currentField() const;

    const QueryFieldQueue &queue_;
    Query query_;
    QString filter_;
    Condition condition_;
    int editing_ = -1;   // the row changed, or -1 for a new condition
    bool finished_ = false;
    std::unique_ptr<TextRows> fieldRows_, operationRows_, queryRows_;
    QList<int> operations_;   // of the operation page's rows (IsChoice for a choice)
    QList<const QueryField *> otherFields_;
    QTabWidget *pages_ = nullptr;
    ListControl *fields_ = nullptr, *operationList_ = nullptr, *conditions_ = nullptr;
    QPushButton *back_ = nullptr, *next_ = nullptr, *finish_ = nullptr;
    QPushButton *change_ = nullptr, *delete_ = nullptr;
};

// The saved queries of a query name; ran() when the user ran one.
class SavedQueryListWindow : public Window {
public:
    SavedQueryListWindow(const QueryFieldQueue &queue, const QString &queryName, QList<SavedQuery> saved);
    ~SavedQueryListWindow() override;
    bool ran() const { return ran_; }
    const QString &filter() const { return filter_; }

protected:
    QWidget *createWindow() override;

private:
    enum class Save { Ask, Adding, Changing };
    void reload();
    const SavedQuery *current() const;   // null for "(New Query)"
    void select();
    void change();
    void remove();
    // Runs the wizard's pages on the query; saves it as `save` says; true when it was run.
    bool edit(SavedQuery q, Save save);
    // Asks for the description and saves; false when the user went back to the query.
    bool saveWithDescription(SavedQuery &q, bool adding);
    void runQuery(const QString &filter);

    const QueryFieldQueue &queue_;
    QString queryName_;
    QList<SavedQuery> saved_;
    std::unique_ptr<TextRows> rows_;
    ListControl *list_ = nullptr;
    bool ran_ = false;
    QString filter_;
};

// A query typed by hand, checked before it is taken.
class ManualQueryWindow : public Window {
public:
    ManualQueryWindow(const QueryFieldQueue &queue, QString text);
    bool accepted() const { return accepted_; }
    const QString &queryText() const { return text_; }

protected:
    QWidget *createWindow() override;
    bool openRoutine() override;

private:
    const QueryFieldQueue &queue_;
    QString text_;
    bool accepted_ = false;
};

// The description of a query being saved.
class QueryDescriptionWindow : public Window {
public:
    QueryDescriptionWindow(bool adding, QString description);
    bool accepted() const { return accepted_; }
    const QString &description() const { return description_; }

protected:
    QWidget *createWindow() override;
    bool openRoutine() override;

private:
    bool adding_;
    QString description_;
    bool accepted_ = false;
};

// A saved query can be run when every field it names is still in the list and its text
// still compiles over them.
bool stillValid(const SavedQuery &q, const QueryFieldQueue &queue);
// The message shown when a built or typed query cannot be taken; `detail` follows the text.
void invalidQuery(const QString &detail = {});

} // namespace tbk::qw
