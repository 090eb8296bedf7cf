#include "impex/importsongs.h"

#include "core/datafiles.h"
#include "core/fileaccess.h"
#include "core/help.h"
#include "records/procedurecall.h"
#include "impex/enterpicture.h"
#include "impex/importrun.h"
#include "runtime/threads/messagebox.h"
#include "runtime/ui/listcontrol.h"
#include "runtime/ui/listmodel.h"
#include "runtime/ui/window.h"
#include "runtime/ui/windowbuilder.h"

#include <QHash>
#include <QLineEdit>
#include <QPushButton>

namespace tbk {

namespace {

const QString kLineNumberField = QStringLiteral("RecordNumber");
const QString kStripField = QStringLiteral("StripHeader");

class ColumnRows : public ListRows {
public:
    explicit ColumnRows(const ImportFieldLists &lists) : lists_(lists) {}
    int rowCount() const override { return int(lists_.columns.size()); }
    QVariant field(int row, int field) const override {
        const ImportColumn &c = lists_.columns[row];
        return field == 1 ? c.field : field == 2 ? c.displayPicture : c.value;
    }

private:
    const ImportFieldLists &lists_;
};

class TargetRows : public ListRows {
public:
    explicit TargetRows(const ImportFieldLists &lists) : lists_(lists) {}
    int rowCount() const override { return int(lists_.targets.size()); }
    QVariant field(int row, int field) const override {
        const ImportTarget &t = lists_.targets[row];
        return field == 1 ? t.field : field == 2 ? QString(t.assigned() ? QStringLiteral("=") : QString()) : t.source;
    }

private:
    const ImportFieldLists &lists_;
};

class ImportSongsWindow : public Window {
public:
    ImportSongsWindow(ImportTransfer &t, ImportFieldLists &lists, qint64 fileSize)
        : Window(QStringLiteral("ImportSongs")), t_(t), lists_(lists), fileSize_(fileSize) {}
    bool ran() const { return ran_; }

protected:
    QWidget *createWindow() override {
        WindowBuilder b(*this, QStringLiteral("Assign fields for Import..."), {420, 200});
        columns_ = b.list(QStringLiteral("Import Fields"),
                          QStringLiteral("56L(2)|M~Import Field~@s50@54L(2)|M~Picture~@s30@110L(2)~Value~@s100@"), 180);
        b.column();
        targets_ = b.list(QStringLiteral("Target Fields"),
                          QStringLiteral("124L(2)|M~Target Field~@s50@12C|M~=~@s1@56L(2)~Import Field~@s50@"), 180);
        b.column();
        next_ = b.button(QStringLiteral("&Next"));
        QLineEdit *number = b.entry(QStringLiteral("Rec#"), kLineNumberField, QStringLiteral("@n6"));
        number->setReadOnly(true);
        number->setFocusPolicy(Qt::NoFocus);
        b.newButtonRow();
        QPushButton *picture = b.button(QStringLiteral("&Picture"));
        b.newButtonRow();
        QPushButton *assign = b.button(QStringLiteral("&Assign"));
        b.newButtonRow();
        auto_ = b.button(QStringLiteral("A&uto"));
        b.newButtonRow();
        QPushButton *unassign = b.button(QStringLiteral("&Unassign"));
        b.check(QStringLiteral("Strip &header record (field names)"), kStripField);
        QPushButton *ok = b.button(QStringLiteral("&OK"));
        b.newButtonRow();
        QPushButton *cancel = b.button(QStringLiteral("&Cancel"));
        b.newButtonRow();
        QPushButton *help = b.button(QStringLiteral("Help"));

        // Each list as wide as its columns, its scroll bar included.
        columns_->setMinimumWidth(columns_->unitsToPixels(56 + 54 + 110 + 12));
        targets_->setMinimumWidth(targets_->unitsToPixels(124 + 12 + 56 + 12));
        columns_->setRows(&columnRows_);
        targets_->setRows(&targetRows_);
        on(columns_, EventKind::NewSelection, [this] {
            if (!followed(columns_))
                highlight(targets_, lists_.firstTargetOf(columns_->currentRow()));
        });
        on(targets_, EventKind::NewSelection, [this] {
            if (!followed(targets_))
                highlight(columns_, lists_.columnOf(targets_->currentRow()));
        });
        on(next_, EventKind::Accepted, [this] { showNextLine(); });
        on(picture, EventKind::Accepted, [this] { editPicture(); });
        on(assign, EventKind::Accepted, [this] {
            AssignImportField(lists_, targets_->currentRow(), columns_->currentRow());
            redisplay();
            targets_->setFocus();
        });
        on(auto_, EventKind::Accepted, [this] {
            AutoAssignImportFields(lists_);
            controls().setValue(kStripField, 1);
            redisplay();
        });
        on(unassign, EventKind::Accepted, [this] {
            UnassignImportField(lists_, targets_->currentRow());
            redisplay();
            targets_->setFocus();
        });
        on(ok, EventKind::Accepted, [this] { pressOK(); });
        on(cancel, EventKind::Accepted, [this] { closeWindow(); });
        on(help, EventKind::Accepted, [] { showHelp(); });
        return b.finish();
    }

    bool openRoutine() override {
        columns_->listModel()->rowsReset();
        targets_->listModel()->rowsReset();
        controls().setValue(kLineNumberField, lineNumber_);
        controls().setValue(kStripField, 0);
        columns_->setFocus();
        return true;
    }

private:
    // Whether the list's new highlight is one the window set to follow the other list: that one
    // is not followed back.
    bool followed(ListControl *list) {
        const auto set = highlighted_.find(list);
        if (set == highlighted_.end())
            return false;
        const bool ours = *set == list->currentRow();
        highlighted_.erase(set);
        return ours;
    }

    void highlight(ListControl *list, int row) {
        if (row < 0 || row == list->currentRow())
            return;
        highlighted_[list] = row;
        list->setCurrentRow(row);
    }

    void redisplay() {
        columns_->listModel()->rowsChanged(0, int(lists_.columns.size()) - 1);
        targets_->listModel()->rowsChanged(0, int(lists_.targets.size()) - 1);
    }

    void showNextLine() {
        if (ImportReadLine(t_) == 0) {
            columns_->setFocus();
            next_->setEnabled(false);
            return;
        }
        ++lineNumber_;
        controls().setValue(kLineNumberField, lineNumber_);
        showLineValues(lists_.columns, t_);
        auto_->setEnabled(false);
        redisplay();
        columns_->setFocus();
    }

    void editPicture() {
        const int row = columns_->currentRow();
        if (row >= 0 && row < lists_.columns.size()) {
            const QString picture = EnterPicture(lists_.columns[row].picture);
            if (!picture.isEmpty()) {
                setColumnPicture(lists_.columns[row], picture);
                redisplay();
            }
        }
        columns_->setFocus();
    }

    void pressOK() {
        if (!lists_.anyAssigned()) {
            message(QStringLiteral("You must select one or more fields to import."),
                    QStringLiteral("No Fields Selected for Import!"), MessageIcon::Information);
            columns_->setFocus();
            return;
        }
        ran_ = true;
        RunImport(t_, lists_, controls().value(kStripField).toInt() != 0, fileSize_);
        closeWindow();
    }

    ImportTransfer &t_;
    ImportFieldLists &lists_;
    qint64 fileSize_;
    ColumnRows columnRows_{lists_};
    TargetRows targetRows_{lists_};
    ListControl *columns_ = nullptr;
    ListControl *targets_ = nullptr;
    QPushButton *next_ = nullptr;
    QPushButton *auto_ = nullptr;
    QHash<ListControl *, int> highlighted_;
    int lineNumber_ = 1;
    bool ran_ = false;
};

} // namespace

void ImportSongs() {
    ProcedureCall call;
    call.setResponse(RequestCancelled);
    FilesInUse files{&CAT, &MUS};
    ImportTransfer t;
    const qint64 size = ImportOpenFile(t);
    if (size <= 0)
        return;
    ImportFieldLists lists;
    if (!readImportColumns(t, lists)) {
        ImportCloseFile(t);
        reportTooLongLines(t);   // no line left to show: the user would not know why
        return;
    }
    ImportSongsWindow window(t, lists, size);
    window.run();
    if (t.file.isOpen())
        ImportCloseFile(t);
    if (window.ran())
        call.setResponse(RequestCompleted);
}

} // namespace tbk
