#pragma once
// What the query wizard's windows share: the one-column rows of their lists, their list
// formats, buttons, headings and typeface from the display texts, and the checks of a query's
// text before it is taken.
#include "runtime/querywizard/query.h"
#include "runtime/ui/listcontrol.h"

#include <QString>
#include <QStringList>

#include <optional>

class QLabel;
class QPushButton;
class QWidget;

namespace tbk {
class WindowBuilder;
}

namespace tbk::qw {

class TextRows : public ListRows {
public:
    QList<QStringList> rows;
    int rowCount() const override { return int(rows.size()); }
    QVariant field(int row, int field) const override { return rows.value(row).value(field - 1); }
};

namespace windowparts {

inline const QString kOneColumn = QStringLiteral("240L(2)|M@s255@");
inline const QString kFieldColumns = QStringLiteral("140L(2)|M~~@s40@100L(2)|M~~@s60@");

QString plain(QString s);
// A button with its text, tooltip and status text, all display texts.
QPushButton *button(WindowBuilder &b, int textId, int tipId, int statusId);
// The wizard's lists have no column headings to show.
void hideHeadings(QWidget *w);
// The window's typeface and size as the display texts give them.
void useFont(QWidget *w, int faceId, int sizeId);
QLabel *heading(WindowBuilder &b, int textId);
void refill(ListControl *list, int current);
void queryTooLong();
// The text a query may be run with: its size and its names checked. Empty when refused (the
// user was told why).
std::optional<QString> acceptable(const QueryFieldQueue &queue, const QString &filter);

} // namespace windowparts

} // namespace tbk::qw
