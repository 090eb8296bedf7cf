#include "agent/enhlistview.h"

#include "runtime/settings/profile.h"

#include <QDate>
#include <QEvent>
#include <QIcon>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>

#include <cmath>

namespace tbk::agent {

const QString kColumnsFile = QStringLiteral("CurrentUser.ini");

namespace {

// The first character of a date or time format that is not part of a field.
QChar separatorOf(const QString &format, QChar fallback) {
    for (QChar c : format)
        if (!c.isLetter() && c != QLatin1Char('\'') && !c.isSpace())
            return c;
    return fallback;
}

std::optional<QList<int>> wholeNumbers(const QStringList &parts) {
    QList<int> out;
    for (const QString &p : parts) {
        bool ok = false;
        const int n = p.trimmed().toInt(&ok);
        if (!ok || n < 0)
            return std::nullopt;
        out << n;
    }
    return out;
}

std::optional<double> readDate(const QString &text, const QLocale &locale, QChar sep) {
    const auto fields = wholeNumbers(text.split(sep));
    if (!fields || fields->size() < 2 || fields->size() > 3)
        return std::nullopt;
    // The fields come in the order of the locale's short date format.
    const QString format = locale.dateFormat(QLocale::ShortFormat);
    QList<std::pair<qsizetype, char>> order{{format.indexOf(QLatin1Char('d')), 'd'},
                                            {format.indexOf(QLatin1Char('M')), 'M'}};
    if (fields->size() == 3)
        order << std::pair<qsizetype, char>{format.indexOf(QLatin1Char('y')), 'y'};
    std::sort(order.begin(), order.end());
    int day = 0, month = 0, year = QDate::currentDate().year();
    for (int i = 0; i < order.size(); ++i) {
        const int v = fields->at(i);
        switch (order[i].second) {
        case 'd': day = v; break;
        case 'M': month = v; break;
        default:
            year = v;
            if (fields->at(i) < 100 && text.split(sep).at(i).trimmed().size() <= 2) {
                // A two-digit year: the century that puts it nearest to now.
                const int now = QDate::currentDate().year();
                year = (now / 100) * 100 + v;
                if (year > now + 50)
                    year -= 100;
            }
        }
    }
    const QDate date(year, month, day);
    if (!date.isValid())
        return std::nullopt;
    return double(QDate(1899, 12, 30).daysTo(date));
}

std::optional<double> readTime(QString text, const QLocale &locale, QChar sep) {
    int addHours = -1;   // -1: a 24-hour time
    const QString upper = text.trimmed().toUpper();
    for (const auto &[marker, hours] :
         {std::pair{locale.amText().toUpper(), 0}, std::pair{locale.pmText().toUpper(), 12},
          std::pair{QStringLiteral("AM"), 0}, std::pair{QStringLiteral("PM"), 12}}) {
        if (!marker.isEmpty() && upper.endsWith(marker)) {
            addHours = hours;
            text = upper.left(upper.size() - marker.size());
            break;
        }
    }
    const auto fields = wholeNumbers(text.split(sep));
    if (!fields || fields->size() < 2 || fields->size() > 3)
        return std::nullopt;
    int h = fields->at(0);
    const int m = fields->at(1), s = fields->value(2, 0);
    if (addHours >= 0) {
        if (h < 1 || h > 12)
            return std::nullopt;
        h = h % 12 + addHours;
    }
    if (h > 23 || m > 59 || s > 59)
        return std::nullopt;
    return (h * 3600 + m * 60 + s) / 86400.0;
}

template <typename T> int signOf(T v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

} // namespace

std::optional<double> readDateTime(const QString &text, const QLocale &locale) {
    const QChar dateSep = separatorOf(locale.dateFormat(QLocale::ShortFormat), QLatin1Char('/'));
    const QChar timeSep = separatorOf(locale.timeFormat(QLocale::ShortFormat), QLatin1Char(':'));
    const QString t = text.trimmed();
    const bool hasDate = t.contains(dateSep), hasTime = t.contains(timeSep);
    if (!hasDate && !hasTime)
        return std::nullopt;
    if (hasDate && hasTime) {
        const qsizetype blank = t.indexOf(QLatin1Char(' '));
        if (blank < 0)
            return std::nullopt;
        const auto d = readDate(t.left(blank), locale, dateSep);
        const auto tm = readTime(t.mid(blank + 1), locale, timeSep);
        if (!d || !tm)
            return std::nullopt;
        return *d + *tm;
    }
    return hasDate ? readDate(t, locale, dateSep) : readTime(t, locale, timeSep);
}

std::optional<double> readNumber(const QString &text, const QLocale &locale) {
    QLocale l = locale;
    l.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const double v = l.toDouble(text, &ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

int compareTexts(const QString &a, const QString &b, agent::AutoSortStyle style,
                 const QLocale &locale, const QCollator &collator) {
    if (style == assSmart) {
        const auto da = readDateTime(a, locale), db = readDateTime(b, locale);
        if (da && db)
            return signOf(*da - *db);
        const auto na = readNumber(a, locale), nb = readNumber(b, locale);
        if (na && nb)
            return signOf(*na - *nb);
    }
    return signOf(collator.compare(a, b));
}

QString readColumnsValue(const QString &registryKey, const QString &name) {
    return getIni(registryKey + QStringLiteral("\\Columns"), name, QString(), kColumnsFile);
}

void writeColumnsValue(const QString &registryKey, const QString &name, const QString &value) {
    putIni(registryKey + QStringLiteral("\\Columns"), name, value, kColumnsFile);
}

QString joinNumbers(const QList<int> &numbers) {
    QStringList parts;
    for (int n : numbers)
        parts << QString::number(n);
    return parts.join(QLatin1Char(','));
}

QList<int> readNumbers(const QString &text) {
    QList<int> out;
    for (const QString &part : text.split(QLatin1Char(',')))
        out << part.trimmed().toInt();   // 0 when it is not a number
    return out;
}

int arrowSide(int textHeight) {
    if (textHeight < 7)
        return 0;
    return textHeight + textHeight % 2 - 6;
}

// ---------------------------------------------------------------------------------------------

EnhListHeader::EnhListHeader(CustomEnhancedListView *list)
    : QHeaderView(Qt::Horizontal, list), list_(list) {}

QStyleOptionHeader EnhListHeader::sectionOption(int logicalIndex) const {
    QStyleOptionHeader opt;
    initStyleOptionForIndex(&opt, logicalIndex);
    return opt;
}

void EnhListHeader::paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const {
    const bool selected = sectionOption(logicalIndex).state & QStyle::State_Sunken;
    if (list_->headerOwnerDrawn()) {
        painter->save();
        list_->DrawHeaderSection(painter, rect, logicalIndex, selected);
        painter->restore();
    } else if (list_->ColumnFormatApplies(logicalIndex)) {
        painter->save();
        list_->DefaultDrawHeader(painter, rect, logicalIndex, selected);
        painter->restore();
    } else {
        QHeaderView::paintSection(painter, rect, logicalIndex);
    }
}

EnhListDelegate::EnhListDelegate(CustomEnhancedListView *list)
    : QStyledItemDelegate(list), list_(list) {}

void EnhListDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                            const QModelIndex &index) const {
    if (list_->Style() == lvOwnerDrawFixed) {
        // One drawing per row, over the whole row, whichever of its cells is painted first.
        if (!list_->firstPaintOfRow(index.row()))
            return;
        QStyle::State state = QStyle::State_Enabled;
        if (list_->selectionModel()->isRowSelected(index.row(), {}))
            state |= QStyle::State_Selected;
        if (list_->currentIndex().row() == index.row())
            state |= QStyle::State_HasFocus;
        const QRect row(-list_->horizontalScroll(), option.rect.top(),
                        list_->horizontalHeader()->length(), option.rect.height());
        list_->DrawItem(painter, index.row(), row, state);
        return;
    }
    QStyleOptionViewItem opt = option;
    list_->adjustCellOption(opt, index);
    QStyledItemDelegate::paint(painter, opt, index);
}

// ---------------------------------------------------------------------------------------------

CustomEnhancedListView::CustomEnhancedListView(QWidget *parent)
    : QTableView(parent), saveSettings_(std::make_unique<EnhancedListSaveSettings>()),
      items_(new ListItems(this)), header_(new EnhListHeader(this)) {
    setModel(items_);
    setHorizontalHeader(header_);
    setItemDelegate(new EnhListDelegate(this));
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    header_->setStretchLastSection(false);
    header_->setSectionsMovable(false);
    header_->setHighlightSections(false);
    header_->setSectionsClickable(true);
    header_->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header_->setMinimumSectionSize(0);
    setShowGrid(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setTabKeyNavigation(false);
    setSelectionBehavior(SelectRows);
    setSelectionMode(SingleSelection);
    setHorizontalScrollMode(ScrollPerPixel);
    connect(header_, &QHeaderView::sectionClicked, this, &CustomEnhancedListView::columnClicked);
    connect(items_, &ListItems::captionEdited, this, &CustomEnhancedListView::captionEdited);
    applyEditTriggers();
    MakeArrowBitmaps();
}

CustomEnhancedListView::~CustomEnhancedListView() { DestroyWnd(); }

void CustomEnhancedListView::DestroyWnd() {
    if (destroyed_)
        return;
    destroyed_ = true;
    SaveColumnSettings();
}

void CustomEnhancedListView::RecreateWnd() {
    // The window the settings were kept for goes: what it showed is written first.
    SaveColumnSettings();
    viewport()->update();
    header_->viewport()->update();
}

QString CustomEnhancedListView::Version() const { return QStringLiteral("EnhancedListView v3.07"); }

void CustomEnhancedListView::Loaded() {
    if (loaded_)
        return;
    LoadColumnSettings();
    loaded_ = true;
    updateCount_ = 0;
    if (items_->columnCount() > 0)
        lastColumnClicked_ = 0;
    Resort();
    header_->viewport()->update();
}

void CustomEnhancedListView::showEvent(QShowEvent *e) {
    if (!shown_ && !loaded_)
        updateCount_ = std::max(0, updateCount_ - 1);   // the hold kept until the list was made
    shown_ = true;
    QTableView::showEvent(e);
}

void CustomEnhancedListView::changeEvent(QEvent *e) {
    QTableView::changeEvent(e);
    if (e->type() == QEvent::PaletteChange || e->type() == QEvent::FontChange)
        MakeArrowBitmaps();
    if (e->type() == QEvent::FontChange && style_ == lvStandard)
        verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
}

// --- columns and items -----------------------------------------------------------------------

void CustomEnhancedListView::setColumns(const QList<ListColumn> &columns) {
    items_->setColumns(columns);
    for (int i = 0; i < columns.size(); ++i)
        header_->resizeSection(i, columns[i].width);
    columnsSet();
}

void CustomEnhancedListView::setColumns(const QStringList &titles, const QList<int> &widths) {
    QList<ListColumn> columns;
    for (int i = 0; i < titles.size(); ++i)
        columns << ListColumn{titles[i], widths.value(i, 50), Qt::AlignLeft};
    setColumns(columns);
}

void CustomEnhancedListView::clearRows() {
    if (OnDeletion)
        for (int i = int(items_->rows().size()) - 1; i >= 0; --i)
            OnDeletion(this, i);
    items_->clearRows();
}

int CustomEnhancedListView::addRow(const QString &caption, const QStringList &subItems) {
    ListRow r;
    r.caption = caption;
    r.subItems = subItems;
    return addRow(r);
}

int CustomEnhancedListView::addRow(const ListRow &row) {
    const QPersistentModelIndex at(items_->index(items_->addRow(row), 0));
    if (OnInsert)
        OnInsert(this, at.row());
    if (autoResort_)
        Resort();
    return at.row();
}

void CustomEnhancedListView::removeRow(int index) {
    if (index < 0 || index >= items_->rows().size())
        return;
    if (OnDeletion)
        OnDeletion(this, index);
    items_->removeRow(index);
}

int CustomEnhancedListView::rowCount() const { return items_->rowCount(); }

std::optional<ListRow> CustomEnhancedListView::row(int index) const {
    if (index < 0 || index >= rowCount())
        return std::nullopt;
    if (!items_->isVirtual())
        return items_->rows().at(index);
    ListRow r;
    r.caption = items_->index(index, 0).data().toString();
    for (int c = 1; c < items_->columnCount(); ++c)
        r.subItems << items_->index(index, c).data().toString();
    return r;
}

void CustomEnhancedListView::selectRow(int index) {
    if (index < 0 || index >= rowCount())
        return;
    selectionModel()->setCurrentIndex(items_->index(index, 0),
                                      QItemSelectionModel::ClearAndSelect |
                                          QItemSelectionModel::Rows);
}

std::optional<ListRow> CustomEnhancedListView::selectedRow() const {
    const QModelIndexList rows = selectionModel()->selectedRows();
    if (rows.isEmpty())
        return std::nullopt;
    return row(rows.first().row());
}

// --- properties ------------------------------------------------------------------------------

void CustomEnhancedListView::setAutoColumnSort(agent::AutoColumnSort value) {
    const bool resort = value != autoColumnSort_ && value != acsNoSort;
    autoColumnSort_ = value;
    if (resort)
        Resort();
    InvalidateColumnHeader(lastColumnClicked_);
}

void CustomEnhancedListView::setAutoSortStyle(agent::AutoSortStyle value) {
    if (value == autoSortStyle_)
        return;
    autoSortStyle_ = value;
    Resort();
}

void CustomEnhancedListView::setAutoSortAscending(bool value) {
    autoSortAscending_ = value;
    ascending_ = value;
}

void CustomEnhancedListView::setLastColumnClicked(int value) {
    if (value == lastColumnClicked_)
        return;
    const int old = lastColumnClicked_;
    lastColumnClicked_ = value;
    if (showSortArrows_) {
        InvalidateColumnHeader(old);
        InvalidateColumnHeader(value);
    }
}

void CustomEnhancedListView::setStyle(agent::ListViewStyle value) {
    if (value == style_)
        return;
    style_ = value;
    int height = fontMetrics().height() + 4;
    if (style_ == lvOwnerDrawFixed)
        DoMeasureItem(height);
    verticalHeader()->setDefaultSectionSize(std::max(1, height));
    RecreateWnd();
}

void CustomEnhancedListView::setReverseSortArrows(bool value) {
    reverseSortArrows_ = value;
    InvalidateColumnHeader(lastColumnClicked_);
}

void CustomEnhancedListView::setShowSortArrows(bool value) {
    showSortArrows_ = value;
    header_->viewport()->update();
}

void CustomEnhancedListView::setFullRowSelect(bool value) {
    fullRowSelect_ = value;
    viewport()->update();
}

void CustomEnhancedListView::setColumnClick(bool value) {
    columnClick_ = value;
    header_->setSectionsClickable(value);
}

void CustomEnhancedListView::setHideSelection(bool value) {
    hideSelection_ = value;
    viewport()->update();
}

void CustomEnhancedListView::setMultiSelect(bool value) {
    setSelectionMode(value ? ExtendedSelection : SingleSelection);
}

void CustomEnhancedListView::setReadOnly(bool value) {
    readOnly_ = value;
    applyEditTriggers();
}

void CustomEnhancedListView::applyEditTriggers() {
    items_->editable = !readOnly_;
    setEditTriggers(readOnly_ ? NoEditTriggers : (SelectedClicked | EditKeyPressed));
}

void CustomEnhancedListView::setSmallImages(ImageList *images) {
    smallImages_ = images;
    items_->images = images;
    viewport()->update();
}

void CustomEnhancedListView::setOnDrawHeader(DrawHeaderEvent handler) {
    onDrawHeader_ = std::move(handler);
    header_->viewport()->update();
}

// --- sorting ---------------------------------------------------------------------------------

void CustomEnhancedListView::columnClicked(int column) {
    if (autoColumnSort_ == acsSortToggle)
        ascending_ = column == lastColumnClicked_ ? !ascending_ : autoSortAscending_;
    if (OnColumnClick)
        OnColumnClick(this, column);
    if (autoColumnSort_ != acsNoSort && column >= 0 && column < items_->columnCount())
        SortBy(column, ascending_);
    setLastColumnClicked(column);
}

void CustomEnhancedListView::SortBy(int column, bool ascending) {
    sortPending_ = false;
    setLastColumnClicked(column);
    // Kept as the list's direction, so that a later resort and the arrow agree with it.
    ascending_ = ascending;
    DoSortBegin(column, ascending);
    const int factor = ascending ? 1 : -1;
    const int subItem = column - 1;
    if (!items_->isVirtual()) {
        QCollator collator(locale());
        collator.setCaseSensitivity(Qt::CaseSensitive);
        const QLocale loc = locale();
        items_->sortRows([&](const ListRow &a, const ListRow &b) {
            try {
                if (OnSortItems)
                    return DoSortItems(a, b, subItem) * factor;
                return compareTexts(columnText(a, column), columnText(b, column), autoSortStyle_,
                                    loc, collator) * factor;
            } catch (...) {
                return 0;   // a comparison that fails counts as equal
            }
        });
    }
    DoSortFinished(column, ascending);
}

void CustomEnhancedListView::DoSortBegin(int column, bool ascending) {
    if (OnSortBegin)
        OnSortBegin(this, column, ascending);
}

void CustomEnhancedListView::DoSortFinished(int column, bool ascending) {
    if (OnSortFinished)
        OnSortFinished(this, column, ascending);
}

int CustomEnhancedListView::DoSortItems(const ListRow &a, const ListRow &b, int column) {
    int result = 0;
    OnSortItems(this, a, b, column, result);
    return result;
}

void CustomEnhancedListView::SortColumn(int column, bool ascending) {
    if (autoColumnSort_ == acsSortToggle && column == lastColumnClicked_)
        ascending = !ascending;
    InvalidateColumnHeader(column);
    SortBy(column, ascending);
}

void CustomEnhancedListView::Resort() {
    sortPending_ = true;
    const bool sortable =
        (autoColumnSort_ != acsNoSort && lastColumnClicked_ >= 0 &&
         lastColumnClicked_ < items_->columnCount()) ||
        bool(OnSortItems);
    if (sortable && updateCount_ == 0)
        SortBy(lastColumnClicked_, ascending_);
}

void CustomEnhancedListView::BeginUpdate() {
    if (itemsUpdate_++ == 0)
        setUpdatesEnabled(false);
    ++updateCount_;
}

void CustomEnhancedListView::EndUpdate() {
    updateCount_ = std::max(0, updateCount_ - 1);
    if (updateCount_ == 0 && sortPending_)
        Resort();
    if (itemsUpdate_ > 0 && --itemsUpdate_ == 0)
        setUpdatesEnabled(true);
}

void CustomEnhancedListView::SizeColumnsToContents(bool includeHeader) {
    BeginUpdate();
    for (int c = 0; c < items_->columnCount(); ++c) {
        int width = std::max(0, sizeHintForColumn(c));
        if (includeHeader)
            width = std::max(width, header_->sectionSizeHint(c));
        header_->resizeSection(c, width);
    }
    EndUpdate();
}

void CustomEnhancedListView::captionEdited(int row, const QString &text) {
    QString s = text;
    if (OnEdited)
        OnEdited(this, row, s);
    items_->setCaption(row, s);
    if (autoResort_)
        Resort();
}

// --- editing and mouse -----------------------------------------------------------------------

bool CustomEnhancedListView::edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) {
    const bool starts = (editTriggers() & trigger) || trigger == AllEditTriggers;
    if (starts && index.isValid() && (items_->flags(index) & Qt::ItemIsEditable) && OnEditing &&
        state() != EditingState) {
        bool allow = true;
        OnEditing(this, index.row(), allow);
        if (!allow)
            return false;
    }
    return QTableView::edit(index, trigger, event);
}

void CustomEnhancedListView::closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) {
    const int row = currentIndex().row();
    QTableView::closeEditor(editor, hint);
    if (hint == QAbstractItemDelegate::RevertModelCache && OnEditCanceled)
        OnEditCanceled(this, row);
}

void CustomEnhancedListView::currentChanged(const QModelIndex &current,
                                            const QModelIndex &previous) {
    QTableView::currentChanged(current, previous);
    if (OnChange && current.row() != previous.row())
        OnChange(this, current.row());
}

void CustomEnhancedListView::mousePressEvent(QMouseEvent *e) {
    QTableView::mousePressEvent(e);
    if (OnClick)
        OnClick(this);
}

void CustomEnhancedListView::mouseDoubleClickEvent(QMouseEvent *e) {
    QTableView::mouseDoubleClickEvent(e);
    if (OnDblClick)
        OnDblClick(this);
}

// --- layout and drawing ----------------------------------------------------------------------

int CustomEnhancedListView::DisplayPosition(int column) const { return column; }

int CustomEnhancedListView::ColumnAtPosition(int position) const { return position; }

QString CustomEnhancedListView::ItemColumnText(int item, int position) const {
    return items_->index(item, ColumnAtPosition(position)).data().toString();
}

void CustomEnhancedListView::InvalidateColumnHeader(int column) {
    if (column < 0 || column >= items_->columnCount())
        return;
    header_->viewport()->update(header_->sectionViewportPosition(column), 0,
                                header_->sectionSize(column), header_->height());
}

void CustomEnhancedListView::paintEvent(QPaintEvent *e) {
    paintedRows_.clear();
    QTableView::paintEvent(e);
}

bool CustomEnhancedListView::firstPaintOfRow(int row) {
    if (paintedRows_.contains(row))
        return false;
    paintedRows_ << row;
    return true;
}

void CustomEnhancedListView::adjustCellOption(QStyleOptionViewItem &option,
                                              const QModelIndex &index) const {
    const bool shown = hasFocus() || !hideSelection_;
    if (!shown || (!fullRowSelect_ && DisplayPosition(index.column()) != 0))
        option.state &= ~QStyle::State_Selected;
}

void CustomEnhancedListView::DoMeasureItem(int &height) {
    if (OnMeasureItem)
        OnMeasureItem(this, height);
}

void CustomEnhancedListView::DrawItem(QPainter *painter, int index, const QRect &rect,
                                      QStyle::State state) {
    painter->save();
    painter->setFont(font());
    painter->setBrush(palette().base());
    bool defaultDrawing = true;
    bool fullRowSelect = initialFullRowSelect();
    if (OnDrawItem) {
        defaultDrawing = false;
        DoDrawItem(painter, index, rect, state, defaultDrawing, fullRowSelect);
    }
    if (defaultDrawing)
        DefaultDrawItem(painter, index, rect, state, fullRowSelect);
    painter->restore();
}

void CustomEnhancedListView::DoDrawItem(QPainter *painter, int index, const QRect &rect,
                                        QStyle::State state, bool &defaultDrawing,
                                        bool &fullRowSelect) {
    OnDrawItem(this, painter, index, rect, state, defaultDrawing, fullRowSelect);
}

void CustomEnhancedListView::DefaultDrawItem(QPainter *painter, int index, const QRect &rect,
                                             QStyle::State state, bool fullRowSelect) {
    const bool focused = hasFocus();
    const bool showSelected = (state & QStyle::State_Selected) && (focused || !hideSelection_);
    const int columns = items_->columnCount();
    const int firstWidth = columns > 0 ? header_->sectionSize(ColumnAtPosition(0)) : rect.width();
    const QRect first(rect.left(), rect.top(), firstWidth - 2, rect.height());
    painter->fillRect(rect, palette().base());
    if (showSelected)
        painter->fillRect(fullRowSelect ? rect : first,
                          focused ? palette().highlight() : palette().button());
    const QColor selectedText = palette().color(focused ? QPalette::HighlightedText
                                                        : QPalette::ButtonText);
    const QColor plainText = palette().color(QPalette::Text);

    if (columns > 0) {
        int captionLeft = first.left() + 4;
        if (smallImages_ && smallImages_->count() > 0) {
            const QIcon icon = qvariant_cast<QIcon>(
                items_->index(index, ColumnAtPosition(0)).data(Qt::DecorationRole));
            const QSize size = smallImages_->image(0).size();
            const QIcon::Mode mode = showSelected ? QIcon::Selected : QIcon::Normal;
            if (!icon.isNull())
                icon.paint(painter, QRect(QPoint(first.left() + 2, first.top()), QSize(size.width(), first.height())),
                           Qt::AlignLeft | Qt::AlignVCenter, mode);
            captionLeft = first.left() + size.width() + 4;
        }
        painter->setPen(showSelected ? selectedText : plainText);
        DrawColumnText(painter, index, ColumnAtPosition(0),
                       QRect(captionLeft, first.top(), first.right() - captionLeft, first.height()),
                       state);
        int previousEnd = rect.left() + firstWidth;
        for (int position = 1; position < columns; ++position) {
            const int column = ColumnAtPosition(position);
            const int width = header_->sectionSize(column);
            const QRect area(previousEnd + 4, rect.top(), width - 8, rect.height());
            previousEnd += width;
            const bool hasText = items_->isVirtual() || column == 0 ||
                                 items_->rows().value(index).subItems.size() >= column;
            if (!hasText || width <= 0)
                continue;
            painter->setPen(showSelected && fullRowSelect ? selectedText : plainText);
            DrawColumnText(painter, index, column, area, state);
        }
    }
    if ((state & QStyle::State_HasFocus) && focused) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = fullRowSelect ? rect : first;
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, this);
    }
    if (OnAfterDefaultDrawItem)
        OnAfterDefaultDrawItem(this, painter, index, rect, state);
}

void CustomEnhancedListView::DrawColumnText(QPainter *painter, int index, int column,
                                            const QRect &rect, QStyle::State state) {
    if (OnDrawSubItem) {
        bool defaultDrawing = false;
        OnDrawSubItem(this, painter, index, column, rect, state, defaultDrawing);
        if (!defaultDrawing)
            return;
    }
    const QString text = items_->index(index, column).data().toString();
    const Qt::Alignment align = items_->columns().value(column).alignment;
    painter->drawText(rect, int(align | Qt::AlignVCenter) | Qt::TextSingleLine,
                      painter->fontMetrics().elidedText(text, Qt::ElideRight, rect.width()));
}

void CustomEnhancedListView::DrawHeaderSection(QPainter *painter, const QRect &rect, int column,
                                               bool selected) {
    painter->setFont(font());
    painter->setBrush(Qt::NoBrush);
    painter->setPen(palette().color(QPalette::ButtonText));
    bool defaultDrawing = true;
    if (onDrawHeader_) {
        defaultDrawing = false;
        onDrawHeader_(this, painter, column, rect, selected, defaultDrawing);
    }
    if (defaultDrawing)
        DefaultDrawHeader(painter, rect, column, selected);
}

bool CustomEnhancedListView::sortArrowShown() const {
    return showSortArrows_ && autoColumnSort_ != acsNoSort;
}

void CustomEnhancedListView::DefaultDrawHeader(QPainter *painter, const QRect &rect, int column,
                                               bool selected) {
    QStyleOptionHeader opt = header_->sectionOption(column);
    opt.rect = rect;
    opt.text.clear();
    opt.icon = QIcon();
    opt.sortIndicator = QStyleOptionHeader::None;
    style()->drawControl(QStyle::CE_HeaderSection, &opt, painter, header_);

    QRect room = rect.adjusted(2, 2, -2, -2);
    if (selected)
        room.translate(1, 1);
    const Qt::Alignment align = items_->columns().value(column).alignment & Qt::AlignHorizontal_Mask;
    const bool rightAligned = align & Qt::AlignRight;
    if (rightAligned)
        room.setRight(room.right() - 4);
    else
        room.setLeft(room.left() + 4);

    QPixmap image;
    bool imageRight = false;
    const bool hasImage = headerImage(column, image, imageRight);
    if (hasImage) {
        if (imageRight)
            room.setRight(room.right() - image.width() - 4);
        else
            room.setLeft(room.left() + image.width() + 4);
    }
    const QPixmap &arrow = arrowPicture(ascending_);
    const bool hasArrow = column == lastColumnClicked_ && sortArrowShown() && !arrow.isNull();
    if (hasArrow) {
        if (rightAligned)
            room.setLeft(room.left() + arrow.width() + 8);
        else
            room.setRight(room.right() - arrow.width() - 8);
    }

    painter->setFont(font());
    painter->setPen(palette().color(QPalette::ButtonText));
    const QString caption = painter->fontMetrics().elidedText(
        items_->columns().value(column).caption, Qt::ElideRight, std::max(0, room.width()));
    const int textWidth = std::min(painter->fontMetrics().horizontalAdvance(caption), room.width());
    painter->drawText(room, int(align | Qt::AlignVCenter) | Qt::TextSingleLine, caption);
    QRect text(room.left(), room.top(), textWidth, room.height());
    if (rightAligned)
        text.moveRight(room.right());
    else if (align & Qt::AlignHCenter)
        text.moveLeft(room.left() + (room.width() - textWidth) / 2);

    auto centred = [&](const QPixmap &p, int x) {
        return QRect(x, rect.top() + (rect.height() - p.height()) / 2, p.width(), p.height());
    };
    int afterText = text.right() + 1;
    if (hasImage) {
        const QRect place = centred(image, imageRight ? afterText + 4 : text.left() - 4 - image.width());
        if (rect.contains(place))
            painter->drawPixmap(place, image);
        if (imageRight)
            afterText = place.right() + 1;
    }
    if (hasArrow) {
        const QRect place =
            centred(arrow, rightAligned ? text.left() - 8 - arrow.width() : afterText + 8);
        if (rect.contains(place))
            painter->drawPixmap(place, arrow);
    }
}

const QPixmap &CustomEnhancedListView::arrowPicture(bool ascending) const {
    return ascending != reverseSortArrows_ ? arrowUp_ : arrowDown_;
}

void CustomEnhancedListView::MakeArrowBitmaps() {
    const int side = arrowSide(QFontMetrics(font()).size(Qt::TextSingleLine, QStringLiteral("Wy")).height());
    if (side <= 0) {
        arrowUp_ = arrowDown_ = QPixmap();
        return;
    }
    const QColor face = palette().color(QPalette::Button);
    const QColor shadow = palette().color(QPalette::Dark);
    const QColor light = palette().color(QPalette::Light);
    const QPointF top(side / 2.0, 0.5), bottom(side / 2.0, side - 0.5);
    const QPointF left0(0.5, 0.5), right0(side - 0.5, 0.5);
    const QPointF left1(0.5, side - 0.5), right1(side - 0.5, side - 0.5);
    auto draw = [&](QPixmap &p, bool up) {
        p = QPixmap(side, side);
        p.fill(face);
        QPainter q(&p);
        if (up) {
            q.setPen(shadow);
            q.drawLine(left1, top);
            q.setPen(light);
            q.drawLine(top, right1);
            q.drawLine(left1, right1);
        } else {
            q.setPen(shadow);
            q.drawLine(left0, right0);
            q.drawLine(left0, bottom);
            q.setPen(light);
            q.drawLine(bottom, right0);
        }
    };
    draw(arrowUp_, true);
    draw(arrowDown_, false);
    header_->viewport()->update();
}

// --- settings --------------------------------------------------------------------------------

void CustomEnhancedListView::SaveColumnSettings() {
    const EnhancedListSaveSettings &s = SaveSettings();
    const int columns = items_->columnCount();
    if (!s.AutoSave || columns == 0 || !s.SaveColumnSizes)
        return;
    QList<int> widths;
    for (int c = 0; c < columns; ++c)
        widths << header_->sectionSize(c);
    writeColumnsValue(s.RegistryKey, QStringLiteral("Sizes"), joinNumbers(widths));
}

void CustomEnhancedListView::LoadColumnSettings() {
    const EnhancedListSaveSettings &s = SaveSettings();
    if (!s.AutoSave || !s.SaveColumnSizes)
        return;
    const QString sizes = readColumnsValue(s.RegistryKey, QStringLiteral("Sizes"));
    if (sizes.isEmpty())
        return;
    const QList<int> widths = readNumbers(sizes);
    for (int c = 0; c < std::min<qsizetype>(widths.size(), items_->columnCount()); ++c)
        header_->resizeSection(c, std::max(0, widths[c]));
}

} // namespace tbk::agent
