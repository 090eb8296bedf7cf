#include "albums/selectalbum.h"
#include "core/artwork.h"
#include "core/datafiles.h"
#include "core/standardwarnings.h"
#include "records/wizardsteps.h"
#include "labels/labelfill.h"
#include "labels/labelwindows.h"
#include "labels/labelwizardbase.h"
#include "runtime/threads/callprotocol.h"
#include "runtime/threads/messagebox.h"
#include "runtime/ui/windowbuilder.h"
#include "songs/selectfilenumber.h"

#include <QPushButton>
#include <QTabWidget>

namespace tbk {

namespace {

// Pages of the wizard, 1 up.
enum Page { Start = 1, General, FrontCover, BackCover, SideA, SideB };

// The last label a wizard saved in this run.
DittoStore &wizardDitto() {
    static DittoStore store;
    return store;
}

class LabelWizardWindow : public LabelFormBase {
public:
    explicit LabelWizardWindow(bool fillFromAlbum)
        : LabelFormBase(QStringLiteral("LabelWizard"), wizardDitto(),
                        {QStringLiteral("LAB:LABELTYPE"), QStringLiteral("LAB:LABELDESCRIPTION"),
                         QStringLiteral("LAB:CDSPINE"), QStringLiteral("LAB:CDTITLE"), QStringLiteral("LAB:IMAGENAME")},
                        {&ALB, &MUS}),
          fillFromAlbum_(fillFromAlbum) {
        record().setDittoBeforeWrite(true);
    }

protected:
    void primeFields() override {
        primeLabelDefaults();
        // 3771 and 8438 are what the label form shows for an empty position.
        if (LAB.IMAGEPOSITIONX.value() == 0 || LAB.IMAGEPOSITIONX.value() == 3771)
            LAB.IMAGEPOSITIONX = 6792;
        if (LAB.IMAGEPOSITIONY.value() == 0 || LAB.IMAGEPOSITIONY.value() == 8438)
            LAB.IMAGEPOSITIONY = 8052;
    }

    QWidget *createForm() override {
        WindowBuilder b(*this, QStringLiteral("Add Label Wizard"), {320, 210});
        b.tab(QStringLiteral("Wizard"));
        b.picture(artwork(QStringLiteral("001.gif")));
        b.column();
        b.text(QStringLiteral("This option will allow you to take information in your TuneBank Pro database\n"
                              "and print it in the form of cassette or compact disc labels."));
        b.text(QStringLiteral("Step 1:  Select a label type"));
        typeChoice(b, {});
        b.text(QStringLiteral("Step 2:  Select information using either an\nAlbum Title or File Number"));
        QPushButton *album = b.button(QStringLiteral("Select Album"));
        QPushButton *fileNumber = b.button(QStringLiteral("Select File Number"));
        b.endTab();

        b.tab(QStringLiteral("General"));
        b.text(QStringLiteral("Enter the basic information for this label:"));
        titleRows(b);
        b.endTab();
        b.tab(QStringLiteral("Front Cover"));
        textPage(b, QStringLiteral("What should be on the front cover of the CD?"), QStringLiteral("LAB:CDInsideText"),
                 QStringLiteral("LAB:CDINSIDETEXTFONTID"));
        b.endTab();
        b.tab(QStringLiteral("Back Cover"));
        textPage(b, QStringLiteral("What should be on the back cover of the CD?"), QStringLiteral("LAB:CDCoverText"),
                 QStringLiteral("LAB:CDCOVERTEXTFONTID"));
        b.endTab();
        b.tab(QStringLiteral("Side A"));
        textPage(b, QStringLiteral("What are the songs on Side A of the cassette?"),
                 QStringLiteral("LAB:CassetteContentsA"), QStringLiteral("LAB:CASSETTECONTENTSFONTID"));
        b.endTab();
        b.tab(QStringLiteral("Side B"));
        textPage(b, QStringLiteral("What are the songs on Side B of the cassette?"),
                 QStringLiteral("LAB:CassetteContentsB"), QStringLiteral("LAB:CASSETTECONTENTSFONTID"));
        b.endTab();

        QPushButton *preview = b.button(QStringLiteral("Preview"));
        cancel_ = steps_.addButtons(b);
        QWidget *w = b.finish();
        steps_.sheet = w->findChild<QTabWidget *>();
        wireLabel(w, {QStringLiteral("Front Cover"), QStringLiteral("Back Cover")},
                  {QStringLiteral("Side A"), QStringLiteral("Side B")});
        on(album, EventKind::Accepted, [this] { pickAndFill(SelectAlbum, fillLabelFromAlbum); });
        on(fileNumber, EventKind::Accepted, [this] { pickAndFill(SelectFileNumber, fillLabelFromFileNumber); });
        on(preview, EventKind::Accepted, [this] { LabelFormBase::preview(); });
        on(steps_.next, EventKind::Accepted, [this] { next(); });
        on(steps_.back, EventKind::Accepted, [this] { back(); });
        on(steps_.finish, EventKind::Accepted, [this] { okPressed(); });
        on(steps_.sheet, EventKind::NewSelection, [this] {
            // A field failing its check on another page selects that page: the step follows.
            const int page = steps_.sheet->currentIndex() + 1;
            if (page != step_)
                showStep(page);
        });
        return w;
    }

    void formOpened() override {
        widget()->setWindowTitle(QStringLiteral("Add Label Wizard"));
        LabelFormBase::formOpened();
        // Finish and Cancel are the wizard's own, in place of the base's OK and Cancel.
        on(cancel_, EventKind::Accepted, [this] { cancelWizard(); });
        // A blank album buffer names no album to fill from.
        if (fillFromAlbum_ && ALB.AlbumID.value() != 0)
            fill(fillLabelFromAlbum);
        showStep(Start);
    }

    void selectOnOpening() override { steps_.next->setFocus(); }

    void takeEvent(const Event &e) override {
        if (e.kind == EventKind::CloseWindow || (e.kind == EventKind::AlertKey && e.key == Qt::Key_Escape)) {
            cancelWizard();
            return;
        }
        LabelFormBase::takeEvent(e);
    }

private:
    void showStep(int page) {
        step_ = page;
        steps_.sheet->tabBar()->hide();
        steps_.sheet->setCurrentIndex(page - 1);
        const bool last = page == SideB || (isCD() && page == BackCover);
        steps_.back->setEnabled(page != Start);
        steps_.next->setEnabled(!last);
        steps_.finish->setVisible(last);
        steps_.finish->setDefault(last);
        steps_.next->setDefault(!last);
    }

    void next() {
        int page = step_ + 1;
        if (!isCD() && page == FrontCover)
            page = SideA;
        showStep(std::min<int>(page, SideB));
    }

    void back() {
        int page = step_ - 1;
        if (!isCD() && page == BackCover)
            page = General;
        showStep(std::max<int>(page, Start));
    }

    // The fill runs whatever the picker answered, over what it left in the buffer, on the label
    // buffer between two waits; the message follows only when songs were found.
    void pickAndFill(void (*picker)(), bool (*fillLabel)()) {
        if (!takePendingEdits())
            return;
        GlobalRequest = SelectRecord;
        picker();
        if (!closing())
            fill(fillLabel);
    }

    void fill(bool (*fillLabel)()) {
        record().toBuffer();
        const bool songs = fillLabel();
        record().fromBuffer();
        refresh();
        showType();
        if (songs)
            message(QStringLiteral("The text has been updated to use this information."),
                    QStringLiteral("Processing Complete"), MessageIcon::Information, ButtonOK);
    }

    void cancelWizard() {
        takePendingEdits();
        if (!record().working().sameValues(record().savedImage()) && ShowStandardWarningPlain(23) != ButtonYes)
            return;
        record().cancel();
        closeWindow();
    }

    WizardSteps steps_;
    QPushButton *cancel_ = nullptr;
    bool fillFromAlbum_;
    int step_ = Start;
};

} // namespace

void LabelWizard() {
    const bool fillFromAlbum = GlobalRequest != InsertRecord;
    GlobalRequest = InsertRecord;
    LabelWizardWindow(fillFromAlbum).run();
}

} // namespace tbk
