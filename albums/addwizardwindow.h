#pragma once
// The add wizards' window: the header of the songs' common values (addwizard.cpp) and the track
// list over the thread's work rows (addwizardtracks.cpp).
#include "albums/addwizardwrite.h"
#include "records/browse.h"
#include "records/form.h"
#include "records/movebuttons.h"
#include "records/sequencemover.h"
#include "runtime/ui/listcontrol.h"

#include <QPointer>

#include <functional>
#include <memory>

class QTabWidget;

namespace tbk {

class ListControl;
class LookupLists;
class WindowBuilder;

class AddWizardWindow : public Form {
public:
    // `source`: the songs buffer as the caller left it (a copy's original).
    AddWizardWindow(AddWizardKind kind, data::Record source);
    ~AddWizardWindow() override;

    // The track list, for what drives the window other than the user (a benchmark).
    BrowseList *tracks() const { return tracks_.get(); }

protected:
    QWidget *createForm() override;
    void primeFields() override;
    void primeFurther() override;
    void formOpened() override;
    void refreshDisplay() override;
    void takeEvent(const Event &e) override;
    void closeRoutine() override;

private:
    bool compilation() const { return kind_ == AddWizardKind::Compilation; }
    void startHeader();
    int checkMedia();
    int checkCategory();
    void readCompactDisc();
    void writeAlbum();
    // Cancel, Escape and the close box: asks first when an insert's header was changed.
    void cancelWizard();

    // The track list.
    void buildTracks(WindowBuilder &b);
    void setUpTracks();
    void refreshTracks(bool force = false);
    void trackListChanged();
    void pressTrackButton(QPushButton *button);
    // The current row into the work file's buffer; false when there is none or it cannot be read.
    bool takeCurrentRow();
    void afterTrackCall(const ListFormCall &call);
    void addTracks();
    void callTrackForm(qint32 request);
    void moveTrack(MoveMode mode);
    void editAllTracks();

    AddWizardKind kind_;
    data::Record source_;
    std::function<void()> trackForm_;
    std::unique_ptr<LookupLists> lookups_;
    QString discSerial_;
    // This thread's number: the owner of the rows the window shows and writes.
    qint32 instance_ = 0;
    QPointer<QTabWidget> tabs_;

    std::unique_ptr<BrowseList> tracks_;
    QPointer<ListControl> trackList_;
    QPushButton *add_ = nullptr, *change_ = nullptr, *remove_ = nullptr, *editAll_ = nullptr, *readCd_ = nullptr;
    MoveButtons moves_;
    QList<ListPopupItem> trackPopup_;
    bool forceReload_ = false;
};

} // namespace tbk
