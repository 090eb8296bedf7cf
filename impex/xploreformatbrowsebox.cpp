#include "impex/xploreformatbrowsebox.h"

#include "runtime/threads/dialogs.h"
#include "runtime/ui/feedback.h"
#include "runtime/ui/fieldcontrol.h"
#include "runtime/ui/listcontrol.h"
#include "runtime/ui/windowbuilder.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

namespace tbk {

const QString XploreFormatBrowseBox::kTitle = QStringLiteral("Format Listbox...");

namespace {
int combined(Qt::Key key) { return QKeyCombination(Qt::AltModifier, key).toCombined(); }

QVariant valueOf(QWidget *control) { return FieldControl::of(control)->value(); }
void show(QWidget *control, const QVariant &value) { FieldControl::of(control)->setValue(value); }
int number(QWidget *control) { return valueOf(control).toInt(); }
bool ticked(QWidget *control) { return valueOf(control).toInt() != 0; }
QChar letter(QWidget *control) {
    const QString v = valueOf(control).toString();
    return v.isEmpty() ? QChar(u'L') : v[0];
}
} // namespace

// A queue as the rows of one of the window's lists: the column's description, and in the list
// of all columns a tick before the shown ones.
class XploreFormatBrowseBox::Rows : public ListRows {
public:
    Rows(const ColumnQueue &queue, bool ticks) : queue_(queue), ticks_(ticks) {}
    int rowCount() const override { return int(queue_.size()); }
    QVariant field(int row, int field) const override {
        const ColumnRecord &c = queue_[row];
        if (ticks_ && field == 1)
            return c.shown ? QStringLiteral("\u2713") : QString();
        return c.description;
    }

private:
    const ColumnQueue &queue_;
    bool ticks_;
};

XploreFormatBrowseBox::XploreFormatBrowseBox(ListControl &list, ColumnQueue &shown, FieldColumnQueue &all,
                                             const ListFormatRecord &design)
    : Window(QStringLiteral("XploreFormatBrowseBox")), list_(list), shown_(shown), all_(all), design_(design),
      allRows_(std::make_unique<Rows>(all, true)), shownRows_(std::make_unique<Rows>(shown, false)) {}

XploreFormatBrowseBox::~XploreFormatBrowseBox() = default;

QWidget *XploreFormatBrowseBox::createWindow() {
    WindowBuilder b(*this, kTitle, {340, 200});
    allList_ = b.list(QStringLiteral("AllColumns"), QStringLiteral("10C~~@s1@100L(2)~All Columns~@s25@"), 90,
                      QStringLiteral("'Right Click to display field'"));
    QPushButton *add = b.button(QStringLiteral("Add Column to display list"));
    QPushButton *hide = b.button(QStringLiteral("Hide column from display list"));
    shownList_ = b.list(QStringLiteral("ShownColumns"), QStringLiteral("110L(2)~Shown Columns~@s25@"), 90,
                        QStringLiteral("'Right Click to erase field'"));
    QPushButton *down = b.button(QStringLiteral("Move Down"));
    QPushButton *up = b.button(QStringLiteral("Move Up"));

    b.column();
    header_ = b.entry(QStringLiteral("&Header:"), QStringLiteral("Header"), QStringLiteral("@s25"));
    headerIndent_ = b.spin(QStringLiteral("Off&set:"), QStringLiteral("HeaderIndent"), -99, 999);
    const QStringList justifications{QStringLiteral("Dec"), QStringLiteral("Left"), QStringLiteral("Center"),
                                     QStringLiteral("Right")};
    const QVariantList letters{QStringLiteral("D"), QStringLiteral("L"), QStringLiteral("C"), QStringLiteral("R")};
    headerJustification_ = b.option(QStringLiteral("Header &Justification"), QStringLiteral("HeaderJustification"),
                                    justifications, {}, letters);
    dataJustification_ = b.option(QStringLiteral("&Field Justification"), QStringLiteral("DataJustification"),
                                  justifications, {}, letters);
    width_ = b.spin(QStringLiteral("&Width:"), QStringLiteral("Width"), 0, 9999);
    dataIndent_ = b.spin(QStringLiteral("Offse&t:"), QStringLiteral("DataIndent"), -99, 999);
    fixed_ = b.check(QStringLiteral("F&ixed"), QStringLiteral("Fixed"));
    underline_ = b.check(QStringLiteral("&Uline"), QStringLiteral("Underline"));
    border_ = b.check(QStringLiteral("&Border"), QStringLiteral("RightBorder"));
    resize_ = b.check(QStringLiteral("&Resize"), QStringLiteral("Resizable"));

    b.column();
    x_ = b.spin(QStringLiteral("&X Pos:"), QStringLiteral("BSXPOS"), 0, 9999);
    y_ = b.spin(QStringLiteral("&Y Pos:"), QStringLiteral("BSYPOS"), 0, 9999);
    listWidth_ = b.spin(QStringLiteral("Wid&th:"), QStringLiteral("BSWIDTH"), 1, 9999);
    height_ = b.spin(QStringLiteral("H&eight:"), QStringLiteral("BSHEIGHT"), 1, 9999);
    lineHeight_ = b.spin(QStringLiteral("&LineHeight:"), QStringLiteral("BSLINEHEIGHT"), 0, 255);
    vscroll_ = b.check(QStringLiteral("&Vertical Scroll"), QStringLiteral("BSVSCROLL"));
    hscroll_ = b.check(QStringLiteral("Hori&zontal Scroll"), QStringLiteral("BSHSCROLL"));
    QPushButton *font = b.button(QStringLiteral("F&ont"));
    QPushButton *defaults = b.button(QStringLiteral("&Default"));
    QPushButton *close = b.button(QStringLiteral("&Close"));
    QWidget *w = b.finish();

    allList_->setRows(allRows_.get());
    shownList_->setRows(shownRows_.get());
    if (!design_.BSALLOWBBRESIZE)
        for (QWidget *c : {static_cast<QWidget *>(x_), static_cast<QWidget *>(y_), static_cast<QWidget *>(listWidth_),
                           static_cast<QWidget *>(height_)}) {
            c->hide();
            if (QLabel *prompt = promptOf(c))
                prompt->hide();
        }

    on(add, EventKind::Accepted, [this] { addColumn(); });
    on(hide, EventKind::Accepted, [this] { hideColumn(); });
    on(down, EventKind::Accepted, [this] { moveColumn(1); });
    on(up, EventKind::Accepted, [this] { moveColumn(-1); });
    on(allList_, EventKind::MouseRightUp, [this] { addColumn(); });
    on(shownList_, EventKind::MouseRightUp, [this] { hideColumn(); });
    on(shownList_, EventKind::NewSelection, [this] { showColumn(); });
    for (QWidget *c : {static_cast<QWidget *>(header_), static_cast<QWidget *>(headerIndent_),
                       static_cast<QWidget *>(headerJustification_), static_cast<QWidget *>(dataJustification_),
                       static_cast<QWidget *>(width_), static_cast<QWidget *>(dataIndent_),
                       static_cast<QWidget *>(fixed_), static_cast<QWidget *>(underline_),
                       static_cast<QWidget *>(border_), static_cast<QWidget *>(resize_)})
        on(c, EventKind::Accepted, [this] { columnEdited(); });
    for (QWidget *c : {static_cast<QWidget *>(x_), static_cast<QWidget *>(y_), static_cast<QWidget *>(listWidth_),
                       static_cast<QWidget *>(height_), static_cast<QWidget *>(lineHeight_),
                       static_cast<QWidget *>(vscroll_), static_cast<QWidget *>(hscroll_)})
        on(c, EventKind::Accepted, [this] { lookEdited(); });
    on(font, EventKind::Accepted, [this] { chooseFont(); });
    on(defaults, EventKind::Accepted, [this] { putDesign(); });
    on(close, EventKind::Accepted, [this] { closeWindow(); });
    on(nullptr, EventKind::AlertKey, [this](const Event &e) {
        if (e.key == combined(Qt::Key_Down))
            moveColumn(1);
        else if (e.key == combined(Qt::Key_Up))
            moveColumn(-1);
        else if (e.key == combined(Qt::Key_Left))
            hideColumn();
        else if (e.key == combined(Qt::Key_Right))
            addColumn();
        else if (e.key == combined(Qt::Key_1))
            allList_->setFocus();
        else if (e.key == combined(Qt::Key_2))
            shownList_->setFocus();
        else if (e.key == combined(Qt::Key_F12))
            putDesign();
    });
    return w;
}

bool XploreFormatBrowseBox::openRoutine() {
    for (Qt::Key k : {Qt::Key_Down, Qt::Key_Up, Qt::Key_Left, Qt::Key_Right, Qt::Key_1, Qt::Key_2, Qt::Key_F12})
        alertKey(nullptr, combined(k));
    listColumn_ = std::max(0, list_.currentIndex().column());
    ReadListLook(list_, look_);
    ReadColumnProperties(list_, shown_);
    for (ColumnRecord &r : all_)
        r.shown = std::any_of(shown_.cbegin(), shown_.cend(),
                              [&](const ColumnRecord &s) { return s.fieldNumber == r.fieldNumber; });
    // A paged list shows its thumb when its page is full, and only then.
    vscroll_->setEnabled(!list_.isPaged());
    showLists();
    allList_->setCurrentRow(0);
    shownList_->setCurrentRow(0);
    showColumn();
    showLook();
    shownList_->setFocus();
    return true;
}

void XploreFormatBrowseBox::closeRoutine() {
    const int row = std::max(0, list_.currentRow());
    if (list_.listModel()->rowCount() > 0)
        list_.setCurrentIndex(list_.listModel()->index(row, std::min(listColumn_, list_.listModel()->columnCount() - 1)));
    list_.setFocus();
}

void XploreFormatBrowseBox::showLists() {
    allList_->listModel()->rowsReset();
    shownList_->listModel()->rowsReset();
}

ColumnRecord *XploreFormatBrowseBox::current() {
    const int row = shownList_->currentRow();
    return row >= 0 && row < shown_.size() ? &shown_[row] : nullptr;
}

void XploreFormatBrowseBox::showColumn() {
    const ColumnRecord *c = current();
    const bool any = c != nullptr;
    for (QWidget *w : {static_cast<QWidget *>(header_), static_cast<QWidget *>(headerIndent_),
                       static_cast<QWidget *>(headerJustification_), static_cast<QWidget *>(dataJustification_),
                       static_cast<QWidget *>(width_), static_cast<QWidget *>(dataIndent_),
                       static_cast<QWidget *>(fixed_), static_cast<QWidget *>(underline_),
                       static_cast<QWidget *>(border_), static_cast<QWidget *>(resize_)})
        w->setEnabled(any);
    if (!c)
        return;
    show(header_, c->header);
    show(headerIndent_, c->headerIndent);
    show(headerJustification_, QString(c->headerJustification));
    show(dataJustification_, QString(c->dataJustification));
    show(width_, c->width);
    show(dataIndent_, c->dataIndent);
    show(fixed_, int(c->fixed));
    show(underline_, int(c->underline));
    show(border_, int(c->rightBorder));
    show(resize_, int(c->resizable));
    // The column edited here is the one highlighted in the explorer's list.
    if (list_.listModel()->rowCount() > 0)
        list_.setCurrentIndex(list_.listModel()->index(std::max(0, list_.currentRow()), shownList_->currentRow()));
}

void XploreFormatBrowseBox::showLook() {
    show(x_, look_.BSXPOS);
    show(y_, look_.BSYPOS);
    show(listWidth_, look_.BSWIDTH);
    show(height_, look_.BSHEIGHT);
    show(lineHeight_, look_.BSLINEHEIGHT);
    show(vscroll_, int(look_.BSVSCROLL));
    show(hscroll_, int(look_.BSHSCROLL));
}

void XploreFormatBrowseBox::columnEdited() {
    ColumnRecord *c = current();
    if (!c)
        return;
    c->header = valueOf(header_).toString();
    c->headerIndent = number(headerIndent_);
    c->headerJustification = letter(headerJustification_);
    c->dataJustification = letter(dataJustification_);
    c->width = number(width_);
    c->dataIndent = number(dataIndent_);
    c->fixed = ticked(fixed_);
    c->underline = ticked(underline_);
    c->rightBorder = ticked(border_);
    c->resizable = ticked(resize_);
    rebuild(shownList_->currentRow());
}

void XploreFormatBrowseBox::lookEdited() {
    look_.BSXPOS = number(x_);
    look_.BSYPOS = number(y_);
    look_.BSWIDTH = number(listWidth_);
    look_.BSHEIGHT = number(height_);
    look_.BSLINEHEIGHT = number(lineHeight_);
    look_.BSVSCROLL = ticked(vscroll_);
    look_.BSHSCROLL = ticked(hscroll_);
    ApplyListLook(list_, look_, design_.BSALLOWBBRESIZE);
}

void XploreFormatBrowseBox::chooseFont() {
    const std::optional<QFont> chosen = fontDialog(list_.font());
    if (!chosen)
        return;
    look_.BSFONT = chosen->family().left(20);
    look_.BSPOINT = std::max(1, chosen->pointSize());
    look_.BSSTYLE = chosen->weight() + (chosen->italic() ? kFontItalic : 0) + (chosen->underline() ? kFontUnderline : 0)
                    + (chosen->strikeOut() ? kFontStrikeOut : 0);
    ApplyListLook(list_, look_, false);
}

void XploreFormatBrowseBox::addColumn() {
    const int row = allList_->currentRow();
    if (row < 0 || row >= all_.size())
        return;
    ColumnRecord &c = all_[row];
    const auto at = std::find_if(shown_.cbegin(), shown_.cend(),
                                 [&](const ColumnRecord &s) { return s.fieldNumber == c.fieldNumber; });
    if (at != shown_.cend()) {
        shownList_->setCurrentRow(int(at - shown_.cbegin()));
        beep();
        return;
    }
    c.shown = true;
    ColumnRecord added = c;
    if (added.width == 0)
        added.width = 10;
    shown_.append(added);
    rebuild(int(shown_.size()) - 1);
}

void XploreFormatBrowseBox::hideColumn() {
    const int row = shownList_->currentRow();
    if (row < 0 || row >= shown_.size()) {
        beep();
        return;
    }
    const int field = shown_[row].fieldNumber;
    shown_.removeAt(row);
    for (ColumnRecord &r : all_)
        if (r.fieldNumber == field)
            r.shown = false;
    rebuild(std::min(row, int(shown_.size()) - 1));
}

void XploreFormatBrowseBox::moveColumn(int by) {
    const int row = shownList_->currentRow();
    const int to = row + by;
    if (row < 0 || to < 0 || to >= shown_.size()) {
        beep();
        return;
    }
    shown_.swapItemsAt(row, to);
    rebuild(to);
}

// The list shows the queue as it now stands.
void XploreFormatBrowseBox::rebuild(int current) {
    list_.setFormat(BuildFormatString(shown_));
    ReadColumnProperties(list_, shown_);
    const int all = allList_->currentRow();
    showLists();
    allList_->setCurrentRow(all);
    shownList_->setCurrentRow(current);
    showColumn();
}

void XploreFormatBrowseBox::putDesign() {
    ApplyListboxFormat(list_, shown_, all_, design_);
    ReadListLook(list_, look_);
    showLists();
    allList_->setCurrentRow(0);
    shownList_->setCurrentRow(0);
    showColumn();
    showLook();
}

} // namespace tbk
