#pragma once
// A report-style list of rows: a caption and sub-items per row, grid lines, full-row selection.
#include <QStringList>
#include <QTreeWidget>

#include <optional>

namespace tbk::agent {

struct ListRow {
    QString caption;
    QStringList subItems;
};

class ReportListView : public QTreeWidget {
    Q_OBJECT
public:
    explicit ReportListView(QWidget *parent = nullptr);

    void setColumns(const QStringList &titles, const QList<int> &widths);
    void clearRows();
    int addRow(const QString &caption, const QStringList &subItems);
    int rowCount() const;
    // None when the index is out of range.
    std::optional<ListRow> row(int index) const;
    void selectRow(int index);
    std::optional<ListRow> selectedRow() const;
};

} // namespace tbk::agent
