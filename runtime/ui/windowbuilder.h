#pragma once
// Declares a window in code, one call per row of its control table. Rows go down a grid of
// prompts and controls sized in the window's dialog units; column() starts another grid to
// the right, tab()/endTab() and group()/endGroup() hold grids of their own. Controls are
// named after their fields (buttons after their text without "&"), the tab order is the
// order of declaration, and each prompt is its control's buddy so that its "&" works. Qt's
// layouts do the resizing: the window keeps no resize queue.
//
//     QWidget *createWindow() override {
//         WindowBuilder b(*this, "Update a Song", {300, 180});
//         b.tab("&General");
//         b.entry("&Artist:", "MUS:Artist", "@s40");
//         b.spin("&Track:", "MUS:TrackNumber", 0, 255);
//         b.endTab();
//         b.button("&OK");
//         return b.finish();
//     }
#include "runtime/ui/dialogunits.h"

#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <deque>
#include <vector>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPixmap;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QWidget;

namespace tbk {

class ListControl;
class Window;

class WindowBuilder {
public:
    // The window's title and its smallest size in dialog units (the layout's own smallest
    // size when that is larger).
    WindowBuilder(Window &window, const QString &title, QSize minimumUnits = {});
    ~WindowBuilder();
    WindowBuilder(const WindowBuilder &) = delete;
    WindowBuilder &operator=(const WindowBuilder &) = delete;

    // An entry as wide as its picture shows (text entries also grow with the window).
    QLineEdit *entry(const QString &prompt, const QString &field, const QString &picture, const QString &tip = {});
    // An editable drop-down whose list the window fills (LookupField::setChoices).
    QComboBox *lookup(const QString &prompt, const QString &field, const QString &picture, const QString &tip = {});
    // `box`: a spin box of the window's own making (one that reads its text its own way).
    QSpinBox *spin(const QString &prompt, const QString &field, int minimum, int maximum, const QString &tip = {},
                   QSpinBox *box = nullptr);
    // A check box in the controls' column, holding 1 when ticked and 0 when not.
    QCheckBox *check(const QString &text, const QString &field, const QString &tip = {});
    // Radio buttons in a group box titled by the prompt; each choice's value is its text
    // without "&" unless values are given.
    QGroupBox *option(const QString &prompt, const QString &field, const QStringList &choices,
                      const QString &tip = {}, const QVariantList &values = {});
    QPlainTextEdit *memo(const QString &prompt, const QString &field, int heightUnits = 40, const QString &tip = {});
    // A picture across the column; it keeps its size.
    QLabel *picture(const QPixmap &picture);
    // Buttons declared one after another share a row, on its right.
    QPushButton *button(const QString &text, const QString &tip = {});
    // The next button starts a row of its own (buttons stacked one under another).
    void newButtonRow();
    ListControl *list(const QString &name, const QString &format, int heightUnits = 100, const QString &tip = {});
    // A line of text across both columns, wrapped to the window's width ("\n" breaks it).
    QLabel *text(const QString &text, const QString &name = {});
    // A control of the window's own making, across both columns, named and declared like the rest.
    void control(QWidget *control, const QString &name, const QString &tip = {});

    // The rows up to endTab() go on a page with this text; pages declared one after another
    // share one tab control.
    QWidget *tab(const QString &text);
    void endTab();
    QGroupBox *group(const QString &title);
    void endGroup();
    // Starts another column of prompts and controls to the right of the present one.
    void column();

    // Ends the declaration: the grids are finished, the tab order set, the window sized.
    // Returns the window's widget for createWindow.
    QWidget *finish();

    // Standard heights, in dialog units.
    static constexpr int kEntryHeight = 12;
    static constexpr int kButtonHeight = 14;
    static constexpr int kButtonWidth = 50;
    static constexpr int kCheckHeight = 10;
    static constexpr int kMargin = 7;

private:
    // Columns stand side by side, each a grid of prompts and controls with rows of its own.
    struct Column {
        QGridLayout *grid;
        int rows = 0;
        bool stretches = false;
    };
    // A tab control or group box: it stretches when something on it does.
    struct Box {
        Column *column;   // the one it stands in
        int row;
        std::vector<Column *> inner;
    };
    struct Section {
        QWidget *owner;
        QHBoxLayout *columns;
        Box *box = nullptr;               // the one the section fills, if any
        Column *column = nullptr;         // the present one
        QHBoxLayout *buttons = nullptr;   // the row the last button went into
        QTabWidget *tabs = nullptr;       // the tab control the last page went into
        Box *tabsBox = nullptr;
    };
    // How a control takes the room of its cell.
    enum class Fit { Fixed, Wide, Fills };
    Section &here() { return *open_.back(); }
    void openSection(QWidget *owner, int margin, Box *box = nullptr);
    Box *addBox();
    void addColumn();
    void closeSection();
    // The next row of the present column; it ends a run of buttons or of pages.
    int takeRow();
    void prompted(const QString &prompt, QWidget *control, Fit fit);
    void spanning(QWidget *control, bool stretches);
    void declare(QWidget *control, const QString &name, const QString &tip);

    Window &window_;
    QWidget *widget_;
    DialogUnits du_;
    QSize minimumUnits_;
    std::vector<Section *> open_;
    std::deque<Section> sections_;
    std::deque<Column> columns_;
    std::deque<Box> boxes_;
    int tabControls_ = 0;
    bool finished_ = false;
};

// The prompt whose buddy the control is, or null.
QLabel *promptOf(QWidget *control);

} // namespace tbk
