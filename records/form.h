#pragma once
// The window half of every update form. A form names its procedure and its file, builds its
// controls (named after their fields) and states only where it differs; the base takes the call,
// primes, deletes without a window, loads and stores the controls through the working copy,
// runs the validation pass on OK and the closing rules on every way out.
//
//     class UpdateThing : public Form {
//     public:
//         UpdateThing() : Form("UpdateThing", {&THG, &THG.KeyID, "ID", DeleteThingRecord,
//                                              UpdateThingRecord, CaptureThingLinks}) {}
//     protected:
//         QWidget *createForm() override {
//             WindowBuilder b(*this, {}, {200, 60});
//             b.entry("&Name:", "THG:Name", "@s30");
//             b.button("&OK");
//             b.button("Cancel");
//             return b.finish();
//         }
//     };
//     void UpdateThingProcedure() { UpdateThing().run(); }
#include "records/browse.h"
#include "records/formrecord.h"
#include "records/procedurecall.h"
#include "runtime/ui/window.h"

#include <QPointer>
#include <QStringList>

class QPushButton;

namespace tbk {

inline const char *const kAddingTitle = "Adding Information";
inline const char *const kChangingTitle = "Changing Information";
// The ditto key of the forms whose Parts name Windows' virtual-key code 192: the key left of 1.
constexpr int kDittoKeyLeftOfOne = Qt::Key_QuoteLeft;

class Form : public Window {
public:
    Form(QString procedureName, FormFile file, std::vector<data::DataFile *> otherFiles = {});
    ~Form() override;

    qint32 response() const { return record_.response(); }

    // A list held in the form (an album's tracks, a playlist's entries): its page events go to
    // it, typed characters to its locator, and double click, Ctrl+Enter, Insert, Delete and its
    // popup menu press its buttons through `press`; so do the clicks of `buttons`, when named.
    // A key no button takes (Escape, the form's own keys) goes on to the form.
    struct HeldList {
        BrowseList *list = nullptr;
        QPushButton *add = nullptr, *change = nullptr, *remove = nullptr;
        QList<ListPopupItem> popup;
        std::function<void(QPushButton *)> press;
        QList<QPushButton *> buttons;
    };

protected:
    // The window with its controls (null: the form closes without one, cancelled); its title
    // is set by the base. OK and Cancel are the buttons
    // named "OK" and "Cancel" unless setFormButtons names others.
    virtual QWidget *createForm() = 0;
    // A new record's field primes and what is filled after its identifier, on the file's buffer
    // (they must not wait).
    virtual void primeFields() {}
    virtual void primeFurther() {}
    // When the window has opened, before the controls are loaded (drop lists are filled here).
    virtual void formOpened() {}
    // The refresh on opening, gaining the focus and resizing, after the controls are shown again.
    virtual void refreshDisplay() {}
    // The control that has the focus once the window has opened: the first entry field.
    virtual void selectOnOpening() { selectFirstField(); }
    // OK completed the call (the record written), before the window closes.
    virtual void completed() {}

    void takeEvent(const Event &e) override;
    void closeRoutine() override;

    FormRecord &record() { return record_; }
    void setFormButtons(QPushButton *ok, QPushButton *cancel);
    // Ditto: the store kept for the run, and the key that with Ctrl recalls a field from it.
    // `fields`: the only fields it recalls (all when empty); on other controls it only redisplays.
    void useDitto(DittoStore &store, int key, QStringList fields = {});
    // The controls from the working copy (all, or all but the one being edited).
    void loadControls(bool keepFocused = false);
    // The working copy from the controls.
    void storeControls();
    // What the user left in each control (the focused one's edit included) into the working
    // copy, without the controls' checks; false when a value does not fit (selected again).
    bool takePendingEdits();
    void selectFirstField();
    void refresh();
    // The OK button: the validation pass, then the record is written.
    void okPressed();
    void cancelPressed();

    void holdList(const HeldList &held);

private:
    QWidget *createWindow() final;
    bool openRoutine() final;
    void act(FormRecord::Next next);
    void recallDitto(QObject *control);
    void finishCall();

    ProcedureCall call_;
    FormRecord record_;
    QPointer<QPushButton> ok_;
    QPointer<QPushButton> cancel_;
    DittoStore *ditto_ = nullptr;
    int dittoKey_ = 0;
    QStringList dittoFields_;
};

} // namespace tbk
