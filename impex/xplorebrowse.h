#pragma once
// The explorer lists: browses whose user lays out the list's columns and orders the rows by a
// click on a column header (ascending, then descending), or back in the key's order from the
// header's popup. The layout is kept in ".\POSITION.INI" under the procedure and the list's
// suffix, against the design it was made from.
//
//     class XploreThings : public XploreBrowse {
//     public:
//         XploreThings() : XploreBrowse("XploreThings", {&THG}, kThingColumns, "?Browse") {}
//     protected:
//         QWidget *buildExplorer() override {
//             WindowBuilder b(*this, "Things", {300, 150});
//             ListControl *l = b.list("Browse", designFormat());
//             ...buttons...
//             setLayoutButton(b.button("View &Properties"));
//             makeList(l, THG, [] { return rowOfAllColumns(); }).addSortOrder({&THG.KeyName});
//             return b.finish();
//         }
//     };
//
// The row maker gives the values of every column of the table in list field order (colour and
// icon fields included), shown or not.
#include "records/browse.h"
#include "impex/listboxformat.h"

#include <QPointer>

#include <span>

class QFrame;

namespace tbk {

class XploreBrowse : public Browse {
public:
    XploreBrowse(const QString &procedureName, std::initializer_list<data::DataFile *> files,
                 std::span<const XploreColumn> table, QString suffix);

    // The ordered column's display position (0: none) and its field number.
    int sortColumn() const { return sortColumn_; }
    int sortIdentity() const { return sortIdentity_; }
    bool columnOrderActive() const { return columnOrder_ != 0; }
    const ColumnQueue &shownColumns() const { return shown_; }
    const FieldColumnQueue &allColumns() const { return all_; }
    const ListFormatRecord &formatRecord() const { return record_; }

    static const QString kReorderTitle;

protected:
    virtual QWidget *buildExplorer() = 0;
    // The list's design: the table's columns shown at first.
    QString designFormat() const;
    // "View &Properties" (and a popup item pressing it): the layout window over the list.
    void setLayoutButton(QPushButton *button);

    QWidget *buildWindow() final;
    bool openRoutine() override;
    void takeEvent(const Event &e) override;
    bool takeListKey(const Event &e) override;
    void closeRoutine() override;

private:
    ListControl *control() const { return list().control(); }
    void refit();
    void headerReleased();
    void headerPopup();
    void resort();
    void applyOrder();
    void putMark();
    void removeMark();
    void designLayout();
    void editLayout();

    FieldColumnQueue all_;
    ColumnQueue shown_;
    QString suffix_;
    ListFormatRecord record_;
    QPointer<QFrame> marker_;
    ListboxHook *hook_ = nullptr;
    int sortColumn_ = 0;
    int sortIdentity_ = 0;
    int columnOrder_ = 0;
    QChar markChar_ = u' ';
    bool showMark_ = false;   // put the mark at the next set-up of the view
    int scrolledAt_ = 0;      // the list's horizontal scroll position at the last refit
    bool built_ = false;
};

} // namespace tbk
