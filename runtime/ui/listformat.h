#pragma once
// The runtime's list format strings: one entry per column, such as
// "80L(2)|M~Artist~@s50@" (width 80 dialog units, left-justified with indent 2, right border,
// resizable, header "Artist", picture @s50), and groups "[...](25)|M~Track~" of columns under
// one header. A parsed format gives back exactly the text it was read from; anything it does
// not interpret is kept as written.
#include <QChar>
#include <QList>
#include <QString>

#include <optional>

namespace tbk {

struct ListColumn {
    bool isGroup = false;
    QList<ListColumn> members;        // a group's columns
    int width = 0;                    // dialog units (a group has none)
    QChar justification;              // 'L', 'R', 'C' or 'D'; null when not written
    std::optional<int> indent;        // "(n)" after the justification (a group: after its "]")
    QString modifiers;                // flag characters as written, e.g. "|M", "*", "F"
    std::optional<QString> header;    // "~text~"
    QChar headerJustification;
    std::optional<int> headerIndent;
    std::optional<QString> picture;   // without its "@" marks, e.g. "s30", "d2"
    QString trailer;                  // text after the picture, e.g. "?" or "#3#"

    // Flags: '*' colour, 'I' icon, 'F' fixed, '_' underline, 'M' resizable, '|' right border.
    bool hasFlag(QChar flag) const;
    void setFlag(QChar flag, bool on);
    // "#n#" in the trailer: the first list field the column shows.
    std::optional<int> fieldNumber() const;
    void setFieldNumber(std::optional<int> n);
};

class ListFormat {
public:
    static ListFormat parse(const QString &text);
    QString toString() const;

    QList<ListColumn> &columns() { return columns_; }
    const QList<ListColumn> &columns() const { return columns_; }

    // The columns as the list shows them: a group's members in its place. They point into this
    // format, so a temporary one (`parse(text).displayColumns()`) cannot hand them out.
    QList<const ListColumn *> displayColumns() const &;
    QList<ListColumn *> displayColumns() &;
    void displayColumns() const && = delete;
    // The list field (1 for the first) each displayed column shows: an explicit "#n#", else
    // the next one; a colour column takes four more fields after its own, an icon one more.
    QList<int> displayFields() const;

private:
    QString leading_;   // text before the first column, kept as written
    QList<ListColumn> columns_;
};

// Gives every date column ("@D..." in any case) the user's date picture (datePictureFor). A
// blank date picture leaves the design picture: an empty picture would show day numbers.
QString replaceDatePictures(const QString &format, const QString &datePicture);

} // namespace tbk
