#include "impex/xplorebrowse.h"

#include "impex/xploreformatbrowsebox.h"
#include "runtime/threads/messagebox.h"
#include "runtime/ui/feedback.h"
#include "runtime/ui/listcontrol.h"

#include <QFrame>
#include <QHeaderView>
#include <QPushButton>
#include <QScrollBar>

namespace tbk {

const QString XploreBrowse::kReorderTitle = QStringLiteral("Xplore Template - Re-Order Option");

namespace {
const int kDesignLayoutKey = QKeyCombination(Qt::AltModifier, Qt::Key_F12).toCombined();

// The header of the column at a display position, changed in the list's format.
void editHeader(ListControl &list, int position, const std::function<void(QString &)> &edit) {
    ListFormat format = ListFormat::parse(list.format());
    const auto columns = format.displayColumns();
    if (position < 1 || position > columns.size())
        return;
    QString header = columns[position - 1]->header.value_or(QString());
    edit(header);
    columns[position - 1]->header = header;
    list.setFormat(format.toString());
}
} // namespace

XploreBrowse::XploreBrowse(const QString &procedureName, std::initializer_list<data::DataFile *> files,
                           std::span<const XploreColumn> table, QString suffix)
    : Browse(procedureName, files), suffix_(std::move(suffix)) {
    // The explorers keep their layouts under keys of their own.
    setKeepsListFormat(false);
    UnpackColumnTable(shown_, all_, table);
}

QString XploreBrowse::designFormat() const {
    ColumnQueue design = shown_;
    return BuildFormatString(design);
}

void XploreBrowse::setLayoutButton(QPushButton *button) {
    on(button, EventKind::Accepted, [this] { editLayout(); });
}

QWidget *XploreBrowse::buildWindow() {
    QWidget *w = buildExplorer();
    if (!w)
        return w;
    ListControl &l = *control();
    record_.BSALLOWBBRESIZE = true;
    RestoreListboxFormat(l, record_, procedureName(), suffix_, all_, shown_);
    ReadColumnProperties(l, shown_);
    marker_ = CreateHeaderMarker(l);
    hook_ = SubclassListbox(l);
    sortColumn_ = record_.BSPREVCOL != 0 ? record_.BSPREVCOL : 1;
    columnOrder_ = 1;
    applyOrder();

    QHeaderView *header = l.header();
    on(header, EventKind::MouseLeftDown, [this] {
        if (control()->horizontalScrollBar()->value() != scrolledAt_)
            refit();
        MarkPressedHeader(*control(), shown_, marker_, hook_->pressedAt());
    });
    on(header, EventKind::MouseLeftUp, [this] { headerReleased(); });
    on(header, EventKind::MouseRightUp, [this] { headerPopup(); });
    on(&l, EventKind::MouseLeftDown, [this] {
        if (control()->horizontalScrollBar()->value() != scrolledAt_)
            refit();
    });
    built_ = true;
    return w;
}

bool XploreBrowse::openRoutine() {
    if (!Browse::openRoutine())
        return false;
    alertKey(control(), kDesignLayoutKey);
    control()->setFocus();
    refit();
    return true;
}

void XploreBrowse::takeEvent(const Event &e) {
    switch (e.kind) {
    case EventKind::GainFocus:
        refit();
        break;
    case EventKind::Sized:
        ReadListboxPosition(*control(), record_);
        refit();
        break;
    default:
        break;
    }
    Browse::takeEvent(e);
}

bool XploreBrowse::takeListKey(const Event &e) {
    if (e.key != kDesignLayoutKey)
        return false;
    designLayout();
    return true;
}

// The columns as the list shows them now, fitted to its width.
void XploreBrowse::refit() {
    ListControl &l = *control();
    const bool updates = l.updatesEnabled();
    l.setUpdatesEnabled(false);
    ReadColumnProperties(l, shown_);
    FitColumnWidths(l, shown_, sortColumn_, sortIdentity_);
    scrolledAt_ = l.horizontalScrollBar()->value();
    l.setUpdatesEnabled(updates);
}

void XploreBrowse::applyOrder() {
    if (columnOrder_ == 0 || sortColumn_ < 1 || sortColumn_ > shown_.size()) {
        sortIdentity_ = sortColumn_ >= 1 && sortColumn_ <= shown_.size() ? shown_[sortColumn_ - 1].fieldNumber : 0;
        list().setColumnOrder(std::nullopt);
        return;
    }
    const ColumnRecord &c = shown_[sortColumn_ - 1];
    sortIdentity_ = c.fieldNumber;
    const QString order = BuildSortOrder(shown_, sortColumn_);
    if (order.isEmpty())
        list().setColumnOrder(std::nullopt);
    else
        list().setColumnOrder(BrowseList::ColumnOrder{order, c.fieldName, c.picture, 12});
}

void XploreBrowse::putMark() {
    // Before the first header click the mark is a blank, which is not worth a header's room.
    if (markChar_ == u' ' || sortColumn_ < 1)
        return;
    editHeader(*control(), sortColumn_, [this](QString &h) { h.prepend(markChar_); });
    ReadColumnProperties(*control(), shown_);
}

void XploreBrowse::removeMark() {
    if (markChar_ == u' ' || sortColumn_ < 1 || sortColumn_ > shown_.size())
        return;
    editHeader(*control(), sortColumn_, [this](QString &h) {
        if (h.startsWith(markChar_))
            h.remove(0, 1);
    });
    ReadColumnProperties(*control(), shown_);
}

void XploreBrowse::headerReleased() {
    const HeaderHit hit = headerHitAt(*control(), hook_->pressedAt());
    if (!hook_->headerClicked() || hit.column >= shown_.size()) {
        marker_->hide();
        refit();
        return;
    }
    const int pressed = hit.column + 1;
    ColumnRecord &c = shown_[pressed - 1];
    if (!c.headerMarker) {
        message(QStringLiteral("Data cannot be ordered on column: %1(%2)").arg(c.header, c.fieldName), kReorderTitle,
                MessageIcon::None, ButtonOK);
        marker_->hide();
        return;
    }
    removeMark();
    showMark_ = true;
    if (pressed != sortColumn_) {
        sortColumn_ = pressed;
        shown_[pressed - 1].descending = false;
    } else {
        shown_[pressed - 1].descending = !shown_[pressed - 1].descending;
    }
    markChar_ = shown_[pressed - 1].descending ? u'<' : u'>';
    marker_->hide();
    columnOrder_ = 1;
    resort();
}

void XploreBrowse::headerPopup() {
    if (ShowHeaderPopup(*control(), columnOrder_, hook_->releasedAt()) != 1)
        return;
    removeMark();
    sortColumn_ = 0;
    sortIdentity_ = 0;
    resort();
}

void XploreBrowse::resort() {
    const WaitCursor wait;
    list().rereadCurrent();
    applyOrder();
    if (showMark_) {
        showMark_ = false;
        putMark();
    }
    list().reorder();
}

// Alt+F12: the list as it was designed, the ordered column found again by its field.
void XploreBrowse::designLayout() {
    ApplyListboxFormat(*control(), shown_, all_, record_);
    sortColumn_ = 0;
    refit();
    applyOrder();
    putMark();
}

// The ordered column is found again by its field after the edit, wherever it went; the mark
// is kept out of the layout window's header texts and put back afterwards.
void XploreBrowse::editLayout() {
    sortIdentity_ = ReadColumnProperties(*control(), shown_, sortColumn_);
    removeMark();
    XploreFormatBrowseBox box(*control(), shown_, all_, record_);
    box.run();
    sortColumn_ = 0;
    refit();
    applyOrder();
    putMark();
}

void XploreBrowse::closeRoutine() {
    if (built_) {
        removeMark();
        SaveOrigFormatString(procedureName(), suffix_, record_);
        SaveListboxFormat(procedureName(), suffix_, *control(), sortColumn_);
    }
    Browse::closeRoutine();
}

} // namespace tbk
