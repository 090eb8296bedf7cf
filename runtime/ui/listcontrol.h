#pragma once
// A list box that takes and gives the runtime's list format strings: columns, widths in
// dialog units, justification, headers and pictures.
#include "runtime/ui/listformat.h"
#include "runtime/ui/listmodel.h"

#include <QTreeView>

namespace tbk {

class ListControl : public QTreeView {
    Q_OBJECT
public:
    explicit ListControl(QWidget *parent = nullptr);

    void setFormat(const QString &format);
    // The format as the list shows it now: the user's column widths, all else as it was given.
    QString format() const;

    void setRows(ListRows *rows);
    ListModel *listModel() const { return model_; }

    int currentRow() const;   // -1 when none
    void setCurrentRow(int row);
    // The texts a row shows, column by column.
    QStringList rowTexts(int row) const;

    // Dialog units of the list's font to pixels and back.
    int unitsToPixels(int units) const;
    int pixelsToUnits(int pixels) const;

signals:
    void currentRowChanged(int row);

protected:
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;

private:
    ListModel *model_;
    ListFormat format_;
};

} // namespace tbk
