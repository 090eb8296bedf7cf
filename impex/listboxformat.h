#pragma once
// The column layouts of the explorer lists: the column queues the explorers keep beside their
// list, the format strings that carry a layout to the list and to ".\POSITION.INI", the order
// term of a column, and the pressed-header marker and header popup.
//
// A column is known by its field number (its first field in the list's field numbering), which
// survives every edit of the layout; its position changes as the user moves and hides columns.
#include <QChar>
#include <QObject>
#include <QList>
#include <QPoint>
#include <QString>

#include <span>

class QFrame;
class QWidget;

namespace tbk {

class ListControl;

// One row of an explorer's design table.
struct XploreColumn {
    const char *fieldName;     // as in expressions, e.g. "MUS:Artist"
    const char *description;   // offered by the layout window
    int width;                 // dialog units
    const char *header;
    const char *picture;       // e.g. "@s30"
    char justification;
    bool shown;                // at first
    bool colour;               // carries four colour fields
    bool icon;                 // carries an icon field
    bool sortable;
    bool headerMarker;         // a click on the header orders the list
};

struct ColumnRecord {
    QString fieldName;
    QString description;
    int fieldNumber = 0;
    int position = 0;          // in the design table
    int displayPosition = 0;   // among the shown columns; 0 while hidden
    QString header;
    int headerIndent = 0;
    QString picture;           // with its leading "@"
    QChar headerJustification = u'L';
    int width = 0;             // dialog units
    int xPos = 0;              // dialog units from the list's left edge
    int dataIndent = 0;
    QChar dataJustification = u'L';
    bool colour = false;
    bool icon = false;
    bool fixed = false;
    bool underline = false;
    bool resizable = true;
    bool rightBorder = true;
    bool shown = false;
    bool descending = false;
    bool shownByDefault = false;
    bool sortable = false;
    bool headerMarker = false;

    // The picture's type letter ("s" of "@s30"); null when there is none.
    QChar typeLetter() const;
    // Fields the column takes in the list: its own, four colours, an icon.
    int fieldCount() const { return 1 + (colour ? 4 : 0) + (icon ? 1 : 0); }
};

using FieldColumnQueue = QList<ColumnRecord>;   // every column, in table order
using ColumnQueue = QList<ColumnRecord>;        // the shown columns, in display order

struct ListFormatRecord {
    QString BSORIGFORMATSTRING;
    int BSXPOS = 0, BSYPOS = 0, BSHEIGHT = 0, BSWIDTH = 0;   // pixels in the list's window
    int BSLINEHEIGHT = 0;     // pixels; 0 is the font's own
    int BSCOLUMN = 0;
    bool BSHSCROLL = false, BSVSCROLL = false;
    QString BSFONT;
    int BSPOINT = 0;
    qint32 BSCOLOR = 0;       // 0xRRGGBB
    qint32 BSSTYLE = 0;       // weight (100 to 900) plus the style bits below
    int BSCURRENTCOL = 0;
    bool BSALLOWBBRESIZE = false;
    int BSVERSIONNOS = 0;
    int BSPREVCOL = 1;
};
inline constexpr qint32 kFontItalic = 0x1000;
inline constexpr qint32 kFontUnderline = 0x2000;
inline constexpr qint32 kFontStrikeOut = 0x4000;

// Both queues from the design table: field numbers counted from 1, the shown columns in
// table order.
void UnpackColumnTable(ColumnQueue &shown, FieldColumnQueue &all, std::span<const XploreColumn> table);

// The list format of the shown columns, their positions renumbered 1, 2, ...
QString BuildFormatString(ColumnQueue &shown);
// The shown columns of a format string, taken from `all` by field number (every column's
// shown flag follows). False, with both queues untouched, when the text holds no column or
// names a field no column has.
bool ParseFormatString(const QString &format, FieldColumnQueue &all, ColumnQueue &shown);

// The order term of the column at a display position: "UPPER(name)" for text, the bare name
// otherwise, "-" in front when descending; empty when there is none or it is not sortable.
QString BuildSortOrder(const ColumnQueue &shown, int position);

// The list's line height, font, scroll bars, position and size.
void ReadListLook(const ListControl &list, ListFormatRecord &record);
void ApplyListLook(ListControl &list, const ListFormatRecord &record, bool placeToo);
void ReadListboxPosition(const ListControl &list, ListFormatRecord &record);

// Restores the layout saved under the section and suffix while the list's design (its format
// now) is the one it was saved against; otherwise the record takes the design. In every case
// BSPREVCOL takes the saved sort column (1 when none). A saved format that does not parse
// leaves the design's columns.
void RestoreListboxFormat(ListControl &list, ListFormatRecord &record, const QString &section,
                          const QString &suffix, FieldColumnQueue &all, ColumnQueue &shown);
// Writes the list's present layout and the sort column; the caller writes the design.
void SaveListboxFormat(const QString &section, const QString &suffix, const ListControl &list, int prevCol);
void SaveOrigFormatString(const QString &section, const QString &suffix, const ListFormatRecord &record);

// Reads every shown column's header, picture, width, place, justification, indents and flags
// back from the list. With a position, answers that column's field number (0 when none).
int ReadColumnProperties(const ListControl &list, ColumnQueue &shown, int position = 0);

// Lays the shown columns out from the left edge without ever narrowing one: the last takes
// what is left of the list's width when that is more than its own, and columns past the edge
// are reached by scrolling. `sortColumn` becomes the position of the column with field
// number `identity` when that is shown.
void FitColumnWidths(ListControl &list, ColumnQueue &shown, int &sortColumn, int identity);

// Gives the list the design record's format, look (and place when it holds a height), and
// rebuilds the shown columns from it.
void ApplyListboxFormat(ListControl &list, ColumnQueue &shown, FieldColumnQueue &all,
                        const ListFormatRecord &design);

// Where a point of the list (its own coordinates) falls on the header row.
struct HeaderHit {
    bool headerRow = false;
    int column = -1;     // display index, -1 when none
    bool border = false; // on a column's sizing border
    bool cell() const { return headerRow && column >= 0 && !border; }
};
HeaderHit headerHitAt(const ListControl &list, QPoint at);

// Right button released at `at`: on a header cell offers "Escape|Key Sequence" and answers 0
// (Escape or nothing) or 1 (Key Sequence, `columnOrder` cleared); elsewhere on the header row
// 2, below it 3, without a popup.
int ShowHeaderPopup(ListControl &list, int &columnOrder, QPoint at);
// The hidden, disabled marker put over a pressed header cell.
QFrame *CreateHeaderMarker(ListControl &list);
// Left button down at `at`: over a clickable header cell, shows the marker over it and
// answers its display position; otherwise 0.
int MarkPressedHeader(ListControl &list, const ColumnQueue &shown, QFrame *marker, QPoint at);

// Stands in for subclassing the list box: watches the list's header and rows for the mouse,
// keeps where the buttons went down and up (in the list's coordinates), and posts the list
// mouse events of the header to the list's window, as events of the header control (the window's own
// runtime posts those of the rows as events of the list).
// One per explorer list, owned by the list.
class ListboxHook : public QObject {
public:
    explicit ListboxHook(ListControl &list);

    QPoint pressedAt() const { return pressedAt_; }
    QPoint releasedAt() const { return releasedAt_; }
    // The last left button went down on a header cell and came up over the list's columns.
    bool headerClicked() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    ListControl &list_;
    QPoint pressedAt_{-1, -1};
    QPoint releasedAt_{-1, -1};
};
ListboxHook *SubclassListbox(ListControl &list);

} // namespace tbk
