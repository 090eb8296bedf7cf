#pragma once
// "Format Listbox...": the layout window of an explorer's list. Every edit goes to the list at
// once (columns added, hidden and moved; headers, widths, justification, indents and flags;
// the list's place, line height, scroll bars and font); Default puts the design back. It runs
// on the explorer's thread, which waits for it:
//
//     XploreFormatBrowseBox box(*list, shown, all, design);
//     box.run();
#include "impex/listboxformat.h"
#include "runtime/ui/window.h"

#include <memory>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace tbk {

class XploreFormatBrowseBox : public Window {
public:
    XploreFormatBrowseBox(ListControl &list, ColumnQueue &shown, FieldColumnQueue &all, const ListFormatRecord &design);
    ~XploreFormatBrowseBox() override;

    static const QString kTitle;

protected:
    QWidget *createWindow() override;
    bool openRoutine() override;
    void closeRoutine() override;

private:
    class Rows;
    void showLists();
    void showColumn();
    void showLook();
    void columnEdited();
    void lookEdited();
    void addColumn();
    void hideColumn();
    void moveColumn(int by);
    void chooseFont();
    void putDesign();
    void rebuild(int current);
    ColumnRecord *current();

    ListControl &list_;
    ColumnQueue &shown_;
    FieldColumnQueue &all_;
    const ListFormatRecord &design_;
    ListFormatRecord look_;
    std::unique_ptr<Rows> allRows_, shownRows_;
    ListControl *allList_ = nullptr;
    ListControl *shownList_ = nullptr;
    QLineEdit *header_ = nullptr;
    QSpinBox *headerIndent_ = nullptr, *width_ = nullptr, *dataIndent_ = nullptr;
    QGroupBox *headerJustification_ = nullptr, *dataJustification_ = nullptr;
    QCheckBox *fixed_ = nullptr, *underline_ = nullptr, *border_ = nullptr, *resize_ = nullptr;
    QSpinBox *x_ = nullptr, *y_ = nullptr, *listWidth_ = nullptr, *height_ = nullptr, *lineHeight_ = nullptr;
    QCheckBox *vscroll_ = nullptr, *hscroll_ = nullptr;
    int listColumn_ = 0;   // the list's highlighted column when the window opened
};

} // namespace tbk
