#pragma once
// What the label wizard and the label form share: the label's text controls of both types with
// their font buttons and font descriptions, showing the controls and pages of the label's type,
// the picture file's choice and the preview.
#include "records/form.h"

#include <QString>

#include <vector>

class QLabel;
class QTabWidget;

namespace tbk {

class WindowBuilder;

class LabelFormBase : public Form {
protected:
    // The Labels and Fonts files are opened with `otherFiles`.
    LabelFormBase(const QString &procedure, DittoStore &ditto, QStringList dittoFields,
                  std::vector<data::DataFile *> otherFiles = {});

    // The label type's choice.
    void typeChoice(WindowBuilder &b, const QString &prompt);
    // The description and the titles: spine, CD title and picture for a CD, title and flap for
    // a cassette, each text with its "Select Font" button.
    void titleRows(WindowBuilder &b);
    // A page's heading and a memo with its font button and font description.
    void textPage(WindowBuilder &b, const QString &heading, const QString &memo, const QString &fontField);
    // After the window is finished: the sheet and the pages of each type (by their tab text),
    // and the handlers of the shared controls.
    void wireLabel(QWidget *w, const QStringList &cdPages, const QStringList &cassettePages);

    bool isCD();
    QTabWidget *sheet() const { return sheet_; }
    // Shows the controls and pages of the label's type.
    void showType();
    // Each text in its favourite font, and the descriptions of the fonts.
    void applyFonts();
    // Puts the picture's name through the file dialog.
    void chooseImage();
    // The label as edited, through the preview (which may move the picture's position).
    void preview();

    // What else follows the type (the wizard's steps, the form's picture controls).
    virtual void typeShown() {}
    void refreshDisplay() override;
    void formOpened() override;
    void takeEvent(const Event &e) override;

private:
    struct FontUse {
        QWidget *control = nullptr;
        QString field;
        QLabel *description = nullptr;
    };
    // `set`: the type's controls the button shows and hides with; null on a page of its own.
    QPushButton *fontButton(WindowBuilder &b, const QString &fontField, QWidget *control,
                            std::vector<QWidget *> *set, QLabel *description = nullptr);
    void selectFont(const QString &field);

    QTabWidget *sheet_ = nullptr;
    std::vector<QWidget *> cdControls_, cassetteControls_;
    std::vector<QWidget *> cdPages_, cassettePages_;
    std::vector<FontUse> fonts_;
    std::vector<std::pair<QPushButton *, QString>> fontButtons_;
};

constexpr int kLabelImageNameLength = 255;

// The primes of a new label: a cassette without a description, its picture thumbnail-sized.
void primeLabelDefaults();

} // namespace tbk
