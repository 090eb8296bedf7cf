#include "impex/listboxformat.h"

#include "runtime/settings/profile.h"
#include "runtime/threads/dialogs.h"
#include "runtime/threads/scheduler.h"
#include "runtime/threads/threadwindows.h"
#include "runtime/ui/listcontrol.h"
#include "runtime/ui/windowplace.h"

#include <QFrame>
#include <QHeaderView>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>

namespace tbk {

namespace {

const QString &positionFile() {
    static const QString file = QString::fromLatin1(kPositionFile);
    return file;
}

QString key(const char *prefix, const QString &suffix) { return QLatin1String(prefix) + suffix; }

QString readKey(const QString &section, const char *prefix, const QString &suffix, const QString &def) {
    return getIni(section, key(prefix, suffix), def, positionFile());
}

int readKey(const QString &section, const char *prefix, const QString &suffix, int def) {
    bool ok = false;
    const int v = readKey(section, prefix, suffix, QString::number(def)).toInt(&ok);
    return ok ? v : def;
}

void writeKey(const QString &section, const char *prefix, const QString &suffix, const QString &value) {
    putIni(section, key(prefix, suffix), value, positionFile());
}

void writeKey(const QString &section, const char *prefix, const QString &suffix, int value) {
    writeKey(section, prefix, suffix, QString::number(value));
}

// The column's properties as the list format carries them.
void takeProperties(ColumnRecord &r, const ListColumn &c) {
    r.width = c.width;
    r.dataJustification = c.justification.isNull() ? QChar(u'L') : c.justification;
    r.dataIndent = c.indent.value_or(0);
    r.header = c.header.value_or(QString());
    r.headerJustification = c.headerJustification.isNull() ? r.dataJustification : c.headerJustification;
    r.headerIndent = c.headerIndent.value_or(0);
    if (c.picture)
        r.picture = u'@' + *c.picture;
    r.colour = c.hasFlag(u'*');
    r.icon = c.hasFlag(u'I');
    r.fixed = c.hasFlag(u'F');
    r.underline = c.hasFlag(u'_');
    r.resizable = c.hasFlag(u'M');
    r.rightBorder = c.hasFlag(u'|');
}

ListColumn toListColumn(const ColumnRecord &r) {
    ListColumn c;
    c.width = r.width;
    c.justification = r.dataJustification;
    if (r.dataIndent != 0)
        c.indent = r.dataIndent;
    const std::pair<QChar, bool> flags[] = {{u'*', r.colour}, {u'I', r.icon}, {u'F', r.fixed},
                                            {u'_', r.underline}, {u'M', r.resizable}, {u'|', r.rightBorder}};
    for (const auto &[flag, on] : flags)
        c.setFlag(flag, on);
    c.header = r.header.trimmed();
    c.headerJustification = r.headerJustification;
    if (r.headerIndent != 0)
        c.headerIndent = r.headerIndent;
    const QString picture = r.picture.startsWith(u'@') ? r.picture.mid(1) : r.picture;
    c.picture = picture.isEmpty() ? QStringLiteral("S20") : picture;
    c.setFieldNumber(r.fieldNumber);
    return c;
}

} // namespace

QChar ColumnRecord::typeLetter() const {
    return picture.size() > 1 && picture[0] == u'@' ? picture[1] : QChar();
}

void UnpackColumnTable(ColumnQueue &shown, FieldColumnQueue &all, std::span<const XploreColumn> table) {
    shown.clear();
    all.clear();
    int field = 1;
    for (const XploreColumn &t : table) {
        ColumnRecord r;
        r.fieldName = QString::fromUtf8(t.fieldName);
        r.description = QString::fromUtf8(t.description);
        r.fieldNumber = field;
        r.position = int(all.size()) + 1;
        r.header = QString::fromUtf8(t.header);
        r.picture = QString::fromUtf8(t.picture);
        r.width = t.width;
        r.dataJustification = r.headerJustification = QChar::fromLatin1(t.justification);
        r.shown = r.shownByDefault = t.shown;
        r.colour = t.colour;
        r.icon = t.icon;
        r.sortable = t.sortable;
        r.headerMarker = t.headerMarker;
        field += r.fieldCount();
        all.append(r);
        if (r.shown) {
            r.displayPosition = int(shown.size()) + 1;
            shown.append(r);
        }
    }
}

QString BuildFormatString(ColumnQueue &shown) {
    ListFormat format;
    for (int i = 0; i < shown.size(); ++i) {
        shown[i].displayPosition = i + 1;
        format.columns().append(toListColumn(shown[i]));
    }
    return format.toString();
}

bool ParseFormatString(const QString &text, FieldColumnQueue &all, ColumnQueue &shown) {
    const ListFormat format = ListFormat::parse(text);
    const auto columns = format.displayColumns();
    const QList<int> fields = format.displayFields();
    if (columns.isEmpty())
        return false;
    ColumnQueue found;
    for (int i = 0; i < columns.size(); ++i) {
        const auto it = std::find_if(all.cbegin(), all.cend(),
                                     [&](const ColumnRecord &r) { return r.fieldNumber == fields[i]; });
        if (it == all.cend())
            return false;
        ColumnRecord r = *it;
        takeProperties(r, *columns[i]);
        r.shown = true;
        r.displayPosition = i + 1;
        found.append(r);
    }
    for (ColumnRecord &r : all)
        r.shown = std::any_of(found.cbegin(), found.cend(),
                              [&](const ColumnRecord &f) { return f.fieldNumber == r.fieldNumber; });
    shown = found;
    return true;
}

QString BuildSortOrder(const ColumnQueue &shown, int position) {
    if (position < 1 || position > shown.size() || !shown[position - 1].sortable)
        return {};
    const ColumnRecord &c = shown[position - 1];
    const QString name = c.fieldName.trimmed();
    const QString term = c.typeLetter().toUpper() == u'S' ? QStringLiteral("UPPER(%1)").arg(name) : name;
    return c.descending ? u'-' + term : term;
}

void ReadListboxPosition(const ListControl &list, ListFormatRecord &record) {
    const QRect g = list.geometry();
    record.BSXPOS = g.x();
    record.BSYPOS = g.y();
    record.BSHEIGHT = g.height();
    record.BSWIDTH = g.width();
}

void ReadListLook(const ListControl &list, ListFormatRecord &record) {
    record.BSLINEHEIGHT = list.lineHeightSetting();
    record.BSHSCROLL = list.horizontalScrollBarPolicy() != Qt::ScrollBarAlwaysOff;
    // A paged list's thumb comes and goes with its window's page, whatever the layout says.
    record.BSVSCROLL = list.isPaged() || list.verticalScrollBarPolicy() != Qt::ScrollBarAlwaysOff;
    const QFont f = list.font();
    record.BSFONT = f.family().left(20);
    record.BSPOINT = std::max(1, f.pointSize());
    record.BSCOLOR = qint32(list.palette().color(QPalette::Text).rgb() & 0xFFFFFF);
    record.BSSTYLE = f.weight() + (f.italic() ? kFontItalic : 0) + (f.underline() ? kFontUnderline : 0)
                     + (f.strikeOut() ? kFontStrikeOut : 0);
    ReadListboxPosition(list, record);
}

void ApplyListLook(ListControl &list, const ListFormatRecord &record, bool placeToo) {
    list.setHorizontalScrollBarPolicy(record.BSHSCROLL ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    if (!list.isPaged())
        list.setVerticalScrollBarPolicy(record.BSVSCROLL ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    QFont f = list.font();
    if (!record.BSFONT.trimmed().isEmpty())
        f.setFamily(record.BSFONT.trimmed());
    if (record.BSPOINT > 0)
        f.setPointSize(record.BSPOINT);
    const int weight = record.BSSTYLE & 0xFFF;
    if (weight >= 1 && weight <= 1000)
        f.setWeight(QFont::Weight(weight));
    f.setItalic(record.BSSTYLE & kFontItalic);
    f.setUnderline(record.BSSTYLE & kFontUnderline);
    f.setStrikeOut(record.BSSTYLE & kFontStrikeOut);
    // Widths are dialog units of the font: the format is given again to measure them anew.
    const QString format = list.format();
    list.setFont(f);
    list.setFormat(format);
    QPalette p = list.palette();
    p.setColor(QPalette::Text, QColor::fromRgb(QRgb(record.BSCOLOR) | 0xFF000000u));
    list.setPalette(p);
    list.setLineHeight(record.BSLINEHEIGHT);
    if (placeToo && record.BSHEIGHT > 0 && record.BSWIDTH > 0)
        list.setGeometry(record.BSXPOS, record.BSYPOS, record.BSWIDTH, record.BSHEIGHT);
}

void RestoreListboxFormat(ListControl &list, ListFormatRecord &record, const QString &section,
                          const QString &suffix, FieldColumnQueue &all, ColumnQueue &shown) {
    const QString design = list.format();
    record.BSORIGFORMATSTRING = readKey(section, "XploreOrigFormatString-", suffix, QStringLiteral("0"));
    ReadListLook(list, record);
    if (record.BSORIGFORMATSTRING != design.trimmed()) {
        record.BSORIGFORMATSTRING = design;
    } else {
        const QString saved = readKey(section, "XploreFormatString-", suffix, QStringLiteral("0"));
        // A hand-edited format that is not ours leaves the design's columns.
        if (saved != QLatin1String("0") && !saved.isEmpty() && ParseFormatString(saved, all, shown))
            list.setFormat(saved);
        ListFormatRecord look = record;
        look.BSHSCROLL = readKey(section, "XploreHscroll-", suffix, int(record.BSHSCROLL)) != 0;
        look.BSVSCROLL = readKey(section, "XploreVscroll-", suffix, int(record.BSVSCROLL)) != 0;
        look.BSLINEHEIGHT = std::clamp(readKey(section, "XploreLineHeight-", suffix, record.BSLINEHEIGHT), 0, 255);
        look.BSFONT = readKey(section, "XploreFont-", suffix, record.BSFONT).left(20);
        look.BSPOINT = std::clamp(readKey(section, "XplorePoint-", suffix, record.BSPOINT), 1, 255);
        look.BSCOLOR = readKey(section, "XploreColor-", suffix, record.BSCOLOR);
        look.BSSTYLE = readKey(section, "XploreStyle-", suffix, record.BSSTYLE);
        if (record.BSALLOWBBRESIZE) {
            look.BSXPOS = readKey(section, "XploreXpos-", suffix, record.BSXPOS);
            look.BSYPOS = readKey(section, "XploreYpos-", suffix, record.BSYPOS);
            look.BSHEIGHT = readKey(section, "XploreHeight-", suffix, record.BSHEIGHT);
            look.BSWIDTH = readKey(section, "XploreWidth-", suffix, record.BSWIDTH);
        }
        ApplyListLook(list, look, record.BSALLOWBBRESIZE);
    }
    record.BSPREVCOL = std::clamp(readKey(section, "XplorePrevCol-", suffix, 1), 0, 255);
}

void SaveOrigFormatString(const QString &section, const QString &suffix, const ListFormatRecord &record) {
    writeKey(section, "XploreOrigFormatString-", suffix, record.BSORIGFORMATSTRING);
}

void SaveListboxFormat(const QString &section, const QString &suffix, const ListControl &list, int prevCol) {
    ListFormatRecord now;
    ReadListLook(list, now);
    writeKey(section, "XploreFormatString-", suffix, list.format());
    writeKey(section, "XploreXpos-", suffix, now.BSXPOS);
    writeKey(section, "XploreYpos-", suffix, now.BSYPOS);
    writeKey(section, "XploreHeight-", suffix, now.BSHEIGHT);
    writeKey(section, "XploreWidth-", suffix, now.BSWIDTH);
    writeKey(section, "XploreHscroll-", suffix, int(now.BSHSCROLL));
    writeKey(section, "XploreVscroll-", suffix, int(now.BSVSCROLL));
    writeKey(section, "XploreLineHeight-", suffix, now.BSLINEHEIGHT);
    writeKey(section, "XploreFont-", suffix, now.BSFONT);
    writeKey(section, "XplorePoint-", suffix, now.BSPOINT);
    writeKey(section, "XploreColor-", suffix, now.BSCOLOR);
    writeKey(section, "XploreStyle-", suffix, now.BSSTYLE);
    writeKey(section, "XplorePrevCol-", suffix, prevCol);
}

int ReadColumnProperties(const ListControl &list, ColumnQueue &shown, int position) {
    const ListFormat format = ListFormat::parse(list.format());
    const auto columns = format.displayColumns();
    const QHeaderView *header = list.header();
    for (int i = 0; i < shown.size() && i < columns.size(); ++i) {
        takeProperties(shown[i], *columns[i]);
        shown[i].xPos = list.pixelsToUnits(header->sectionPosition(i));
        shown[i].displayPosition = i + 1;
    }
    return position >= 1 && position <= shown.size() ? shown[position - 1].fieldNumber : 0;
}

void FitColumnWidths(ListControl &list, ColumnQueue &shown, int &sortColumn, int identity) {
    if (shown.isEmpty())
        return;
    QHeaderView *header = list.header();
    // The viewport already leaves out a vertical scroll bar that shows.
    const int available = list.viewport()->width();
    int x = 0;
    const int last = int(std::min<qsizetype>(shown.size(), header->count())) - 1;
    for (int i = 0; i <= last; ++i) {
        int px = header->sectionSize(i);
        if (i == last && available - x > px) {
            px = available - x;
            header->resizeSection(i, px);
            shown[i].width = list.pixelsToUnits(px);
        }
        shown[i].xPos = list.pixelsToUnits(x);
        x += px;
    }
    for (int i = 0; i < shown.size(); ++i)
        if (identity != 0 && shown[i].fieldNumber == identity)
            sortColumn = i + 1;
}

void ApplyListboxFormat(ListControl &list, ColumnQueue &shown, FieldColumnQueue &all,
                        const ListFormatRecord &design) {
    list.setFormat(design.BSORIGFORMATSTRING);
    ApplyListLook(list, design, design.BSHEIGHT > 0);
    // The design names the columns it shows; the queue follows it so it always describes the list.
    ParseFormatString(design.BSORIGFORMATSTRING, all, shown);
    ReadColumnProperties(list, shown);
}

HeaderHit headerHitAt(const ListControl &list, QPoint at) {
    HeaderHit hit;
    const QHeaderView *header = list.header();
    const QRect row = header->geometry();
    if (!header->isVisible() || !row.contains(at))
        return hit;
    hit.headerRow = true;
    const int x = at.x() - row.x();
    hit.column = header->logicalIndexAt(x);
    if (hit.column < 0)
        return hit;
    const int grip = header->style()->pixelMetric(QStyle::PM_HeaderGripMargin, nullptr, header);
    const int left = header->sectionViewportPosition(hit.column);
    const int right = left + header->sectionSize(hit.column);
    const bool resizable = header->sectionResizeMode(hit.column) == QHeaderView::Interactive;
    const bool previousResizable =
        hit.column > 0 && header->sectionResizeMode(hit.column - 1) == QHeaderView::Interactive;
    hit.border = (resizable && right - x <= grip) || (previousResizable && x - left < grip);
    return hit;
}

int ShowHeaderPopup(ListControl &list, int &columnOrder, QPoint at) {
    const HeaderHit hit = headerHitAt(list, at);
    if (!hit.cell())
        return hit.headerRow ? 2 : 3;
    if (popupMenu(QStringLiteral("Escape|Key Sequence")) != 2)
        return 0;
    columnOrder = 0;
    return 1;
}

QFrame *CreateHeaderMarker(ListControl &list) {
    auto *marker = new QFrame(&list);
    marker->setObjectName(QStringLiteral("HeaderMarker"));
    marker->setFrameStyle(QFrame::Box | QFrame::Sunken);
    marker->setAttribute(Qt::WA_TransparentForMouseEvents);
    marker->setEnabled(false);
    marker->hide();
    return marker;
}

int MarkPressedHeader(ListControl &list, const ColumnQueue &shown, QFrame *marker, QPoint at) {
    const HeaderHit hit = headerHitAt(list, at);
    if (!hit.cell() || hit.column >= shown.size() || !shown[hit.column].headerMarker)
        return 0;
    const QHeaderView *header = list.header();
    const QRect row = header->geometry();
    const int left = row.x() + header->sectionViewportPosition(hit.column);
    marker->setGeometry(left + 1, row.y() + 2, std::max(1, header->sectionSize(hit.column) - 1),
                        std::max(1, row.height() - 4));
    marker->show();
    marker->raise();
    return hit.column + 1;
}

ListboxHook::ListboxHook(ListControl &list) : QObject(&list), list_(list) {
    list.header()->viewport()->installEventFilter(this);
    list.viewport()->installEventFilter(this);
}

bool ListboxHook::headerClicked() const {
    const HeaderHit down = headerHitAt(list_, pressedAt_);
    if (!down.cell())
        return false;
    // Released over the columns: on the header row or the rows, left of the last column's end.
    const QHeaderView *header = list_.header();
    const QRect columns(header->geometry().x(), header->geometry().y(),
                        std::min(header->length() - header->offset(), header->width()),
                        list_.viewport()->geometry().bottom() - header->geometry().y() + 1);
    return columns.contains(releasedAt_);
}

bool ListboxHook::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::MouseButtonRelease)
        return false;
    auto *mouse = static_cast<QMouseEvent *>(event);
    auto *from = static_cast<QWidget *>(watched);
    const QPoint at = from->mapTo(&list_, mouse->position().toPoint());
    const bool down = event->type() == QEvent::MouseButtonPress;
    if (mouse->button() == Qt::LeftButton)
        (down ? pressedAt_ : releasedAt_) = at;
    if (watched != list_.header()->viewport())
        return false;
    EventKind kind;
    if (mouse->button() == Qt::LeftButton)
        kind = down ? EventKind::MouseLeftDown : EventKind::MouseLeftUp;
    else if (mouse->button() == Qt::RightButton)
        kind = down ? EventKind::MouseRightDown : EventKind::MouseRightUp;
    else
        return false;
    if (mouse->button() == Qt::RightButton && !down)
        releasedAt_ = at;
    if (QWidget *window = owningWindow(&list_))
        postToWindow(window, Event::of(kind, window, list_.header()));
    return false;
}

ListboxHook *SubclassListbox(ListControl &list) { return new ListboxHook(list); }

} // namespace tbk
