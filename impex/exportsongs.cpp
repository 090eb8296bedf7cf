#include "impex/exportsongs.h"

#include "core/datafiles.h"
#include "core/fileaccess.h"
#include "core/help.h"
#include "records/procedurecall.h"
#include "impex/enterpicture.h"
#include "impex/exportfields.h"
#include "impex/exportrun.h"
#include "runtime/threads/messagebox.h"
#include "runtime/ui/listcontrol.h"
#include "runtime/ui/window.h"
#include "runtime/ui/windowbuilder.h"

#include <QCheckBox>
#include <QItemSelection>
#include <QLineEdit>
#include <QPushButton>

namespace tbk {

namespace {

const QString kKindField = QStringLiteral("PictureKind");
const QString kHeaderField = QStringLiteral("HeaderRecord");

// The keys a list gives up to marking; the list moves its own highlight for all others.
const int kMarkingKeys[] = {
    Qt::Key_Space,
    Qt::Key_Control,
    (Qt::ControlModifier | Qt::Key_Control).toCombined(),
    Qt::Key_Shift,
    (Qt::ShiftModifier | Qt::Key_Shift).toCombined(),
    (Qt::ShiftModifier | Qt::Key_PageUp).toCombined(),
    (Qt::ShiftModifier | Qt::Key_PageDown).toCombined(),
    (Qt::ShiftModifier | Qt::Key_End).toCombined(),
    (Qt::ShiftModifier | Qt::Key_Home).toCombined(),
    (Qt::ShiftModifier | Qt::Key_Up).toCombined(),
    (Qt::ShiftModifier | Qt::Key_Down).toCombined(),
    (Qt::ControlModifier | Qt::ShiftModifier | Qt::Key_End).toCombined(),
    (Qt::ControlModifier | Qt::ShiftModifier | Qt::Key_Home).toCombined(),
};

class FieldRows : public ListRows {
public:
    explicit FieldRows(const ExportFieldList &list) : list_(list) {}
    int rowCount() const override { return int(list_.rows.size()); }
    QVariant field(int row, int) const override { return list_.rows.value(row).field; }

private:
    const ExportFieldList &list_;
};

// One of the two lists: its rows and the control that shows them, marks as the selection.
struct FieldListView {
    ExportFieldList data;
    FieldRows rows{data};
    ListControl *control = nullptr;

    void show() const {
        control->listModel()->rowsReset();
        control->setCurrentRow(data.highlight);
        QItemSelection marked;
        for (int i = 0; i < data.rows.size(); ++i)
            if (data.rows[i].mark)
                marked.select(control->listModel()->index(i, 0), control->listModel()->index(i, 0));
        control->selectionModel()->select(marked, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
};

class ExportSongsWindow : public Window {
public:
    ExportSongsWindow() : Window(QStringLiteral("ExportSongs")) {}
    bool reachedProgress() const { return reachedProgress_; }

protected:
    QWidget *createWindow() override {
        WindowBuilder b(*this, QStringLiteral("Choose Fields for Export..."), {330, 170});
        all_.control = b.list(QStringLiteral("All Fields"), QStringLiteral("140L(2)~All Fields~@s50@"), 130);
        b.column();
        QPushButton *add = b.button(QStringLiteral("&Add ->"));
        b.newButtonRow();
        QPushButton *remove = b.button(QStringLiteral("&Remove"));
        b.newButtonRow();
        QPushButton *up = b.button(QStringLiteral("Shift &Up"));
        b.newButtonRow();
        QPushButton *down = b.button(QStringLiteral("Shift &Down"));
        b.newButtonRow();
        QPushButton *picture = b.button(QStringLiteral("&Picture"));
        b.column();
        chosen_.control = b.list(QStringLiteral("Export Fields"), QStringLiteral("140L(2)~Export Fields~@s50@"), 130);
        kind_ = b.entry(QStringLiteral("Picture"), kKindField, QStringLiteral("@s30"));
        kind_->setReadOnly(true);
        kind_->setFocusPolicy(Qt::NoFocus);
        b.check(QStringLiteral("Include &header record with field names"), kHeaderField);
        QPushButton *ok = b.button(QStringLiteral("&OK"));
        QPushButton *cancel = b.button(QStringLiteral("&Cancel"));
        QPushButton *help = b.button(QStringLiteral("Help"));

        for (FieldListView *list : {&all_, &chosen_}) {
            list->control->setRows(&list->rows);
            list->control->setSelectionMode(QAbstractItemView::NoSelection);
            on(list->control, EventKind::MouseLeftDown,
               [this, list](const Event &e) { mark(*list, markActionFor(true, 0, Qt::KeyboardModifiers(e.key)), -1); });
            on(list->control, EventKind::AlertKey, [this, list](const Event &e) {
                const QKeyCombination k = QKeyCombination::fromCombined(e.key);
                mark(*list, markActionFor(false, int(k.key()), k.keyboardModifiers()), int(k.key()));
            });
        }
        on(chosen_.control, EventKind::NewSelection, [this] {
            chosen_.data.highlight = chosen_.control->currentRow();
            showPictureKind();
        });
        on(add, EventKind::Accepted, [this] {
            AddExportFields(all_.data, chosen_.data);
            showChosen();
        });
        on(remove, EventKind::Accepted, [this] { changeChosen(RemoveExportFields); });
        on(up, EventKind::Accepted, [this] { changeChosen(MoveExportFieldUp); });
        on(down, EventKind::Accepted, [this] { changeChosen(MoveExportFieldDown); });
        on(picture, EventKind::Accepted, [this] { EditExportPicture(); });
        on(ok, EventKind::Accepted, [this] { pressOK(); });
        on(cancel, EventKind::Accepted, [this] { closeWindow(); });
        on(help, EventKind::Accepted, [] { showHelp(); });
        return b.finish();
    }

    bool openRoutine() override {
        for (const FieldListView *list : {&all_, &chosen_})
            for (int key : kMarkingKeys)
                alertKey(list->control, key);
        all_.data.rows = exportableFields();
        all_.data.highlight = 0;
        chosen_.data.rows = exportableFields();
        all_.show();
        chosen_.show();
        showPictureKind();
        controls().setValue(kHeaderField, 1);
        all_.control->setFocus();
        return true;
    }

private:
    // The row the user clicked or moved to becomes the current one; then the marking rules.
    void mark(FieldListView &list, MarkAction action, int key) {
        const int pageRows = list.control->linesFit();
        int current = list.control->currentRow();
        if (key != 0)
            current = rowAfterKey(current, int(list.data.rows.size()), pageRows, key);
        SelectListRows(list.data, current, action);
        if (&list == &chosen_)
            showChosen();
        else
            list.show();
    }

    void changeChosen(void (*step)(ExportFieldList &)) {
        step(chosen_.data);
        showChosen();
    }

    void showChosen() {
        chosen_.show();
        showPictureKind();
    }

    void showPictureKind() {
        const int h = chosen_.data.highlight;
        const QString kind = h >= 0 && h < chosen_.data.rows.size() ? ShowPictureKind(chosen_.data.rows[h].picture) : QString();
        controls().setValue(kKindField, kind);
    }

    void EditExportPicture() {
        ExportFieldList &chosen = chosen_.data;
        const int h = chosen.highlight;
        if (h < 0 || h >= chosen.rows.size()) {
            if (chosen.rows.isEmpty()) {
                all_.control->setFocus();
            } else {
                chosen.highlight = 0;
                showChosen();
            }
            return;
        }
        const QString picture = EnterPicture(chosen.rows[h].picture);
        if (!picture.isEmpty()) {
            chosen.rows[h].picture = picture;
            showPictureKind();
        }
    }

    void pressOK() {
        if (chosen_.data.rows.isEmpty()) {
            message(QStringLiteral("You must select one or more fields to export."),
                    QStringLiteral("No Fields Selected for Export!"), MessageIcon::Information);
            all_.control->setFocus();
            return;
        }
        reachedProgress_ = RunExport(chosen_.data.rows, controls().value(kHeaderField).toInt() != 0);
        closeWindow();
    }

    FieldListView all_;
    FieldListView chosen_;
    QLineEdit *kind_ = nullptr;
    bool reachedProgress_ = false;
};

} // namespace

void ExportSongs() {
    ProcedureCall call;
    FilesInUse files{&CAT, &MUS};
    ExportSongsWindow window;
    window.run();
    call.setResponse(window.reachedProgress() ? RequestCompleted : RequestCancelled);
}

} // namespace tbk
