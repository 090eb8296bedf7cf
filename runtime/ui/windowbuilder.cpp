#include "runtime/ui/windowbuilder.h"

#include "runtime/ui/fieldcontrol.h"
#include "runtime/ui/listcontrol.h"
#include "runtime/ui/window.h"
#include "runtime/values/picture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace tbk {

namespace {

constexpr int kInnerMargin = 4;
constexpr int kPromptGap = 4;
constexpr int kRowGap = 3;
constexpr int kColumnGap = 10;
// Text entries wider than this many characters grow with the window rather than being fixed.
constexpr int kFixedTextChars = 12;
// A growing entry's smallest width shows this many characters.
constexpr int kWideChars = 24;

QString plain(QString text) { return text.remove(QLatin1Char('&')); }

// Without a picture an entry holds text.
bool isTextPicture(const QString &picture) {
    const QChar family = pictureFamily(picture);
    return family.isNull() || family == QLatin1Char('s');
}

} // namespace

WindowBuilder::WindowBuilder(Window &window, const QString &title, QSize minimumUnits)
    : window_(window), widget_(new QWidget), du_(widget_), minimumUnits_(minimumUnits) {
    widget_->setObjectName(window.procedureName());
    widget_->setWindowTitle(title);
    window_.controls_.clear();
    openSection(widget_, kMargin);
}

WindowBuilder::~WindowBuilder() {
    if (!finished_)
        delete widget_;
}

void WindowBuilder::openSection(QWidget *owner, int margin, Box *box) {
    auto *columns = new QHBoxLayout(owner);
    columns->setContentsMargins(du_.x(margin), du_.y(margin), du_.x(margin), du_.y(margin));
    columns->setSpacing(du_.x(kColumnGap));
    sections_.push_back(Section{owner, columns, box});
    open_.push_back(&sections_.back());
    addColumn();
}

void WindowBuilder::addColumn() {
    Section &s = here();
    auto *grid = new QGridLayout;
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(du_.x(kPromptGap));
    grid->setVerticalSpacing(du_.y(kRowGap));
    grid->setColumnStretch(1, 1);
    s.columns->addLayout(grid);
    columns_.push_back(Column{grid});
    s.column = &columns_.back();
    if (s.box)
        s.box->inner.push_back(s.column);
    s.buttons = nullptr;
    s.tabs = nullptr;
}

void WindowBuilder::closeSection() {
    // The window's own grid stays open to the end.
    if (open_.size() > 1)
        open_.pop_back();
}

int WindowBuilder::takeRow() {
    Section &s = here();
    s.buttons = nullptr;
    s.tabs = nullptr;
    return s.column->rows++;
}

void WindowBuilder::declare(QWidget *control, const QString &name, const QString &tip) {
    control->setObjectName(name);
    if (!tip.isEmpty())
        control->setToolTip(tip);
    window_.controls_.add(control);
}

void WindowBuilder::prompted(const QString &prompt, QWidget *control, Fit fit) {
    // A control without a prompt takes the prompt's room as well.
    if (prompt.isEmpty()) {
        spanning(control, fit == Fit::Fills);
        return;
    }
    const int row = takeRow();
    Column &c = *here().column;
    auto *label = new QLabel(prompt, here().owner);
    label->setBuddy(control);
    if (fit == Fit::Fills) {
        c.grid->addWidget(label, row, 0, Qt::AlignLeft | Qt::AlignTop);
        c.grid->addWidget(control, row, 1);
        c.grid->setRowStretch(row, 1);
        c.stretches = true;
        return;
    }
    c.grid->addWidget(label, row, 0, Qt::AlignLeft | Qt::AlignVCenter);
    if (fit == Fit::Fixed)
        c.grid->addWidget(control, row, 1, Qt::AlignLeft | Qt::AlignVCenter);
    else
        c.grid->addWidget(control, row, 1);
}

void WindowBuilder::spanning(QWidget *control, bool stretches) {
    const int row = takeRow();
    Column &c = *here().column;
    c.grid->addWidget(control, row, 0, 1, 2);
    if (stretches) {
        c.grid->setRowStretch(row, 1);
        c.stretches = true;
    }
}

QLineEdit *WindowBuilder::entry(const QString &prompt, const QString &field, const QString &picture, const QString &tip) {
    if (!isValidPicture(picture))
        qWarning("Entry %s: \"%s\" is no picture", qPrintable(field), qPrintable(picture));
    auto *edit = new QLineEdit(here().owner);
    declare(edit, field, tip);
    auto *f = new EntryField(edit, picture);
    f->setValue(QVariant());
    edit->setFixedHeight(du_.y(kEntryHeight));
    const bool wide = isTextPicture(picture) && pictureUnits(picture) > pictureUnits(QStringLiteral("@s%1").arg(kFixedTextChars));
    if (wide) {
        edit->setMinimumWidth(du_.x(pictureUnits(picture, kWideChars)));
        edit->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    } else {
        f->fitWidthToPicture();
    }
    prompted(prompt, edit, wide ? Fit::Wide : Fit::Fixed);
    return edit;
}

QComboBox *WindowBuilder::lookup(const QString &prompt, const QString &field, const QString &picture, const QString &tip) {
    auto *combo = new QComboBox(here().owner);
    declare(combo, field, tip);
    new LookupField(combo, picture);
    combo->setFixedHeight(du_.y(kEntryHeight));
    combo->setMinimumWidth(du_.x(pictureUnits(picture, kWideChars) + 10));   // and the arrow
    combo->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    prompted(prompt, combo, Fit::Wide);
    return combo;
}

QSpinBox *WindowBuilder::spin(const QString &prompt, const QString &field, int minimum, int maximum, const QString &tip,
                              QSpinBox *box) {
    if (box)
        box->setParent(here().owner);
    else
        box = new QSpinBox(here().owner);
    declare(box, field, tip);
    box->setRange(minimum, maximum);
    auto *f = new SpinField(box);
    f->setValue(qint64(box->value()));
    const int digits = int(std::max(QString::number(minimum).size(), QString::number(maximum).size()));
    box->setFixedSize(du_.x(digits * 4 + 8 + 12), du_.y(kEntryHeight));   // and the arrows
    prompted(prompt, box, Fit::Fixed);
    return box;
}

QCheckBox *WindowBuilder::check(const QString &text, const QString &field, const QString &tip) {
    auto *box = new QCheckBox(text, here().owner);
    declare(box, field, tip);
    (new CheckField(box))->setValue(0);
    box->setFixedHeight(du_.y(kCheckHeight));
    const int row = takeRow();
    here().column->grid->addWidget(box, row, 1, Qt::AlignLeft | Qt::AlignVCenter);
    return box;
}

QGroupBox *WindowBuilder::option(const QString &prompt, const QString &field, const QStringList &choices,
                                 const QString &tip, const QVariantList &values) {
    auto *group = new QGroupBox(prompt, here().owner);
    declare(group, field, tip);
    auto *column = new QVBoxLayout(group);
    column->setSpacing(du_.y(2));
    QList<QAbstractButton *> buttons;
    QVariantList chosen = values;
    for (const QString &choice : choices) {
        auto *b = new QRadioButton(choice, group);
        b->setFixedHeight(du_.y(kCheckHeight));
        column->addWidget(b);
        buttons << b;
        if (values.isEmpty())
            chosen << plain(choice);
    }
    new OptionField(group, buttons, chosen);
    spanning(group, false);
    return group;
}

QPlainTextEdit *WindowBuilder::memo(const QString &prompt, const QString &field, int heightUnits, const QString &tip) {
    auto *memo = new QPlainTextEdit(here().owner);
    declare(memo, field, tip);
    new MemoField(memo);
    memo->setMinimumHeight(du_.y(heightUnits));
    memo->setMinimumWidth(du_.x(pictureUnits(QStringLiteral("@s%1").arg(kWideChars))));
    prompted(prompt, memo, Fit::Fills);
    return memo;
}

QLabel *WindowBuilder::picture(const QPixmap &picture) {
    auto *label = new QLabel(here().owner);
    label->setPixmap(picture);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // A picture keeps its size: the room the window gains goes to the controls beside it.
    label->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    here().column->grid->setColumnStretch(1, 0);
    spanning(label, false);
    return label;
}

QPushButton *WindowBuilder::button(const QString &text, const QString &tip) {
    Section &s = here();
    if (!s.buttons) {
        const int row = takeRow();
        auto *buttons = new QHBoxLayout;
        buttons->setSpacing(du_.x(kPromptGap));
        buttons->addStretch(1);
        s.column->grid->addLayout(buttons, row, 0, 1, 2);
        s.buttons = buttons;
    }
    auto *b = new QPushButton(text, s.owner);
    declare(b, plain(text), tip);
    b->setFixedHeight(du_.y(kButtonHeight));
    b->setMinimumWidth(du_.x(kButtonWidth));
    s.buttons->addWidget(b);
    return b;
}

void WindowBuilder::newButtonRow() { here().buttons = nullptr; }

ListControl *WindowBuilder::list(const QString &name, const QString &format, int heightUnits, const QString &tip) {
    auto *list = new ListControl(here().owner);
    declare(list, name, tip);
    list->setFormat(format);
    list->setMinimumHeight(du_.y(heightUnits));
    spanning(list, true);
    return list;
}

QLabel *WindowBuilder::text(const QString &text, const QString &name) {
    auto *label = new QLabel(text, here().owner);
    label->setObjectName(name);
    label->setWordWrap(true);
    spanning(label, false);
    return label;
}

void WindowBuilder::control(QWidget *control, const QString &name, const QString &tip) {
    control->setParent(here().owner);
    declare(control, name, tip);
    spanning(control, false);
}

QWidget *WindowBuilder::tab(const QString &text) {
    Section &s = here();
    if (!s.tabs) {
        auto *tabs = new QTabWidget(s.owner);
        ++tabControls_;
        declare(tabs, tabControls_ == 1 ? QStringLiteral("Tabs") : QStringLiteral("Tabs%1").arg(tabControls_), {});
        s.tabsBox = addBox();
        spanning(tabs, false);
        s.tabs = tabs;
    }
    auto *page = new QWidget;
    page->setObjectName(plain(text));
    s.tabs->addTab(page, text);
    openSection(page, kInnerMargin, s.tabsBox);
    return page;
}

void WindowBuilder::endTab() { closeSection(); }

QGroupBox *WindowBuilder::group(const QString &title) {
    auto *box = new QGroupBox(title, here().owner);
    box->setObjectName(plain(title));
    Box *inner = addBox();
    spanning(box, false);
    openSection(box, kInnerMargin, inner);
    return box;
}

void WindowBuilder::endGroup() { closeSection(); }

// Before the box is placed: it takes the present column's next row.
WindowBuilder::Box *WindowBuilder::addBox() {
    Column *c = here().column;
    boxes_.push_back(Box{c, c->rows, {}});
    return &boxes_.back();
}

void WindowBuilder::column() { addColumn(); }

QWidget *WindowBuilder::finish() {
    // Empty pages do not take the height a list beside them could use; inner boxes first.
    for (auto box = boxes_.rbegin(); box != boxes_.rend(); ++box)
        if (std::any_of(box->inner.begin(), box->inner.end(), [](const Column *c) { return c->stretches; })) {
            box->column->grid->setRowStretch(box->row, 1);
            box->column->stretches = true;
        }
    for (Column &c : columns_)
        if (!c.stretches)
            c.grid->setRowStretch(c.rows, 1);
    // Tab stops in the order of declaration: a tab control by its tabs, an option group by
    // its buttons.
    QWidget *previous = nullptr;
    for (QWidget *c : window_.controls_.controls()) {
        QList<QWidget *> stops;
        if (auto *tabs = qobject_cast<QTabWidget *>(c))
            stops << tabs->tabBar();
        else if (auto *option = qobject_cast<OptionField *>(FieldControl::of(c)))
            for (QAbstractButton *b : option->buttons())
                stops << b;
        else if (c->focusPolicy() & Qt::TabFocus)
            stops << c;
        for (QWidget *w : stops) {
            if (previous)
                QWidget::setTabOrder(previous, w);
            previous = w;
        }
    }
    widget_->layout()->activate();
    const QSize smallest = widget_->minimumSizeHint().expandedTo(du_.size(minimumUnits_.width(), minimumUnits_.height()));
    widget_->setMinimumSize(smallest);
    widget_->resize(smallest.expandedTo(widget_->sizeHint()));
    window_.setLaidOut(true);
    finished_ = true;
    return widget_;
}

QLabel *promptOf(QWidget *control) {
    if (!control)
        return nullptr;
    for (QLabel *label : control->window()->findChildren<QLabel *>())
        if (label->buddy() == control)
            return label;
    return nullptr;
}

} // namespace tbk
