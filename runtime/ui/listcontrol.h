#pragma once
// A list box that takes and gives the runtime's list format strings: columns, widths in
// dialog units, justification, headers and pictures.
#include "runtime/threads/event.h"
#include "runtime/ui/listformat.h"
#include "runtime/ui/listmodel.h"

#include <QHash>
#include <QStringListModel>
#include <QTreeView>

class QScrollBar;

namespace tbk {

class ListControl : public QTreeView {
    Q_OBJECT
public:
    explicit ListControl(QWidget *parent = nullptr);

    // Columns of numbers, dates and times show at least as wide as the widest text their
    // picture makes in the list's font, unless their width differs from the design's (the
    // first format the list was given): that width is the user's.
    void setFormat(const QString &format);
    // The format as the list shows it now: the user's column widths, all else as it was given.
    QString format() const;
    // A text column whose values a picture of the window's own makes (a track's time) is
    // widened for the widest of them as a picture column is.
    void setWidestText(int column, const QString &text);

    void setRows(ListRows *rows);
    ListModel *listModel() const { return model_; }
    // The pictures of the format's icon columns (see ListModel::setIcons).
    void setIcons(const QList<QIcon> &icons) { model_->setIcons(icons); }

    // Multi-row marking: a click marks its row alone, Ctrl+click adds or takes away one row,
    // Shift+click a run of rows. Every change of the marks is reported (marksChanged).
    void setMarking(bool marking);
    bool isMarking() const { return marking_; }
    QList<int> markedRows() const;
    void setMarked(int row, bool marked);

    int currentRow() const;   // -1 when none
    void setCurrentRow(int row);
    // The texts a row shows, column by column.
    QStringList rowTexts(int row) const;

    // Dialog units of the list's font to pixels and back.
    int unitsToPixels(int units) const;
    int pixelsToUnits(int pixels) const;

    // Paged: the list holds the one page its window reads and never scrolls past the page's
    // edges itself; it asks the window to (scrollRequested) and shows the window's thumb bar
    // (positions 1 to 100) in place of its own vertical scroll bar.
    void setPaged(bool paged);
    bool isPaged() const { return paged_; }
    // Whole rows that fit in the list at its present size.
    int linesFit() const;
    // The height of one row, whether the list has rows or not.
    int lineHeight() const;
    // Rows drawn this many pixels high; 0 gives the font's own height back.
    void setLineHeight(int pixels);
    int lineHeightSetting() const { return lineHeight_; }
    // Puts the thumb without reporting anything; ignored while the user holds it.
    void setThumb(int position);
    int thumb() const;
    void setThumbVisible(bool visible);
    bool isThumbVisible() const;
    QScrollBar *thumbBar() const { return thumb_; }
    // Wide enough for every column whole.
    QSize sizeHint() const override;

signals:
    void currentRowChanged(int row);
    void marksChanged();
    // Paged only. value: how many lines or pages, or the thumb's position for ScrollThumb.
    void scrollRequested(tbk::ScrollAction action, int value);
    void linesFitChanged(int lines);

protected:
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void updateGeometries() override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight,
                     const QList<int> &roles = QList<int>()) override;

private:
    void thumbAction(int action);
    void turnWheel(QWheelEvent *event);
    void placeThumb();
    void checkLinesFit();
    void shiftPixels(int rows);
    void fitColumns();
    int widestPixels(int column, const ListColumn &c) const;

    ListModel *model_;
    ListFormat format_;
    ListFormat design_;
    bool designKnown_ = false;
    QList<int> shownPixels_;   // each column's width as the list was given it, widened
    QHash<int, QString> widest_;
    bool paged_ = false;
    bool marking_ = false;
    Qt::ScrollBarPolicy ownPolicy_ = Qt::ScrollBarAsNeeded;
    QScrollBar *thumb_ = nullptr;
    bool thumbVisible_ = true;
    bool thumbDragged_ = false;
    bool shifted_ = false;   // the last page shift was drawn by moving the rows' pixels
    int wheelAngle_ = 0;   // eighths of a degree not yet turned into lines
    int linesFit_ = -1;
    int lineHeight_ = 0;
    // A row of text to measure a line by when the list has none.
    QStringListModel probe_{QStringList{QStringLiteral("Xg")}};
};

} // namespace tbk
