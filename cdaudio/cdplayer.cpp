#include "cdaudio/cdplayer.h"

#include "cdaudio/cdplayerdrive.h"
#include "cdaudio/mcicommand.h"
#include "cdaudio/positionbar.h"
#include "core/artwork.h"
#include "records/browse.h"
#include "core/datafiles.h"
#include "core/eventlog.h"
#include "core/frame.h"
#include "core/procedures.h"
#include "core/programsettings.h"
#include "core/smallservices.h"
#include "core/splash.h"
#include "runtime/threads/callprotocol.h"
#include "runtime/threads/messagebox.h"
#include "runtime/threads/threadglobals.h"
#include "runtime/ui/listcontrol.h"
#include "runtime/ui/windowbuilder.h"
#include "runtime/ui/windowevents.h"
#include "runtime/values/picture.h"
#include "songs/updatesong.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tbk {

quint8 ReadCDOnOpen = 0;

namespace {

const QString kTitle = QStringLiteral("CD Player");
const QString kErrorTitle = QStringLiteral("Error");
const QString kListName = QStringLiteral("List");
const QString kFormat = QStringLiteral(
    "24R(2)|M~Track~@n3@38R(2)|M~Time~@t4@132L(2)|M~Title~@s50@110L(2)|M~Artist~@s50@46R(2)|M~Release~@d2@");
const QString kSharedMode = QStringLiteral("(shared mode)");
// Row values after the shown columns.
constexpr size_t kTrackValue = 0;
constexpr size_t kSideValue = 5;

std::vector<QVariant> songRow() {
    return {MUS.TrackNumber.value(), MUS.Time.value(), FormatSongTitle().left(60), MUS.Artist.str(),
            MUS.ReleaseDate.value(), MUS.Side.value(), MUS.ID.value(), MUS.AlbumID.value()};
}

QString send(const QString &command) { return SendMciCommand(command); }

bool opened(const QString &answer, bool sharedAnswer) {
    const qint32 device = mciNumber(answer);
    return device == 1 || (sharedAnswer && device == 2);
}

// What the event log keeps of the moment the drive could not be had.
void writeIncidentRecord() {
    threadGlobals().WindowQueue.clear();
    EnumWindows(EnumWindowProc, 0);
    for (const WindowQueueEntry &w : threadGlobals().WindowQueue)
        AddEventLogEntry(w.LINE, QStringLiteral("Open Windows"));
    AddEventLogEntry(ProgramVersion.str(), QStringLiteral("Version"));
    AddEventLogEntry(formatPicture(QStringLiteral("@d1"), buildInformation().changeDate), QStringLiteral("AppDate"));
    AddEventLogEntry(formatPicture(QStringLiteral("@t1"), buildInformation().changeTime), QStringLiteral("AppTime"));
    AddEventLogEntry(QString(47, QLatin1Char('-')), QStringLiteral("EndIncident"));
}

class CDPlayerWindow : public Browse {
public:
    CDPlayerWindow() : Browse(QStringLiteral("IntegratedCDPlayer"), {&ALB, &MUS}) {}

protected:
    QWidget *buildWindow() override;
    bool openRoutine() override;
    void takeEvent(const Event &e) override;
    bool takeListKey(const Event &e) override;
    void refreshed() override;
    void closeRoutine() override;

private:
    QLineEdit *display(WindowBuilder &b, const QString &prompt, const QString &field, const QString &picture);
    void button(QPushButton *b, std::function<void()> fn);
    bool openDrive();
    void timer();
    void identify(bool ask);
    void addDisc();
    void followTrack();
    void show();
    void setTitle(const QString &title);
    void setConnection(const QString &text) { connection_->setText(text); }

    void play();
    void playFrom(const QString &position) { send(QStringLiteral("play cdaudio from ") + position); }
    void playTrack() { playFrom(QString::number(drive_.currentTrack)); }
    void playSelected();
    void previous();
    void skip(qint32 milliseconds);
    void pause();
    void seekToClick();
    void editAlbum();
    void setup();

    CdPlayerDrive drive_;
    qint32 listAlbum_ = 0;   // the album whose songs the list shows; 0: none
    bool deviceOpen_ = false;
    bool identifyPending_ = false;
    bool noDetection_ = false;
    bool paused_ = false;

    PositionBar *bar_ = nullptr;
    QLabel *status_ = nullptr;
    QLabel *connection_ = nullptr;
    QPushButton *editAlbum_ = nullptr;
};

QLineEdit *CDPlayerWindow::display(WindowBuilder &b, const QString &prompt, const QString &field,
                                   const QString &picture) {
    QLineEdit *e = b.entry(prompt, field, picture);
    e->setReadOnly(true);
    e->setFocusPolicy(Qt::NoFocus);
    return e;
}

QWidget *CDPlayerWindow::buildWindow() {
    // Until a disc is recognised the list shows the album numbered as the file counts.
    listAlbum_ = qint32(ALB.records());

    WindowBuilder b(*this, kTitle, {330, 250});
    // The two groups of times and the picture side by side over the list.
    QGroupBox *top = b.group(QString());
    top->setObjectName(QStringLiteral("Times"));
    top->setFlat(true);
    top->setStyleSheet(QStringLiteral("QGroupBox#Times { border: 0; margin: 0; padding: 0; }"));
    b.group(QStringLiteral("Current"));
    display(b, QStringLiteral("Track:"), QStringLiteral("CDP:Track"), QStringLiteral("@n3"));
    display(b, QStringLiteral("Track Position:"), QStringLiteral("CDP:TrackPosition"), QStringLiteral("@s7"));
    display(b, QStringLiteral("CD Position:"), QStringLiteral("CDP:CDPosition"), QStringLiteral("@s7"));
    b.endGroup();
    b.column();
    b.group(QStringLiteral("Total"));
    display(b, QStringLiteral("Tracks on CD:"), QStringLiteral("CDP:TrackCount"), QStringLiteral("@n3"));
    display(b, QStringLiteral("Track Length:"), QStringLiteral("CDP:TrackLength"), QStringLiteral("@s7"));
    display(b, QStringLiteral("CD Length:"), QStringLiteral("CDP:CDLength"), QStringLiteral("@s7"));
    b.endGroup();
    b.column();
    b.picture(artwork(QStringLiteral("CDPLAYER.GIF")));
    b.endGroup();

    b.group(QStringLiteral("Tracks on CD"));
    ListControl *list = b.list(kListName, kFormat, 90);
    b.endGroup();
    bar_ = new PositionBar;
    b.control(bar_, QStringLiteral("PositionBar"), QStringLiteral("click here to locate within the track"));
    status_ = b.text(QString(), QStringLiteral("Status"));
    connection_ = b.text(QString(), QStringLiteral("Connection"));

    QPushButton *previousButton = b.button(QStringLiteral("Pre&vious"));
    QPushButton *next = b.button(QStringLiteral("&Next"));
    QPushButton *back = b.button(QStringLiteral("Bac&k"));
    QPushButton *forward = b.button(QStringLiteral("Fo&rward"));
    QPushButton *playButton = b.button(QStringLiteral("&Play"));
    QPushButton *stop = b.button(QStringLiteral("&Stop"));
    QPushButton *pauseButton = b.button(QStringLiteral("Pa&use"));
    b.newButtonRow();
    QPushButton *editSong = b.button(QStringLiteral("&Edit"));
    editAlbum_ = b.button(QStringLiteral("Edit"));
    // Both would be named "Edit" after their texts.
    editAlbum_->setObjectName(QStringLiteral("EditAlbum"));
    QPushButton *set = b.button(QStringLiteral("Set"));
    QPushButton *close = b.button(QStringLiteral("Cl&ose"));

    makeList(list, MUS, songRow)
        .addSortOrder({&MUS.KeyAlbumID, QStringLiteral("MUS:AlbumID = BRW1::Sort0:Reset:CDP:ListAlbum"),
                       // No album is a value no song has, so that no list of album-less songs shows.
                       {{QStringLiteral("CDP:ListAlbum"), QStringLiteral("MUS:AlbumID"),
                         [this] { return QVariant(qint64(listAlbum_ > 0 ? listAlbum_ : -1)); }}},
                       LocatorKind::FirstLetter, 1, {1, 0, 0}});
    Buttons buttons;
    buttons.change = editSong;
    buttons.close = close;
    setButtons(buttons);
    setForm([] {
        AlbumSongMode = 0;
        runProcedure(QStringLiteral("UpdateSong"));
    });

    button(previousButton, [this] { previous(); });
    button(next, [this] {
        ++drive_.currentTrack;
        playTrack();
    });
    button(back, [this] { skip(-10000); });
    button(forward, [this] { skip(10000); });
    button(playButton, [this] { play(); });
    button(stop, [] { send(QStringLiteral("stop cdaudio")); });
    button(pauseButton, [this] { pause(); });
    button(editAlbum_, [this] { editAlbum(); });
    button(set, [this] { setup(); });
    on(list, EventKind::Accepted, [this] { playSelected(); });
    on(bar_, EventKind::Accepted, [this] { seekToClick(); });
    return b.finish();
}

void CDPlayerWindow::button(QPushButton *b, std::function<void()> fn) {
    on(b, EventKind::Accepted, [this, fn = std::move(fn)] {
        // The song as the file holds it now, for whatever the button does with it.
        if (!list().empty() && !list().rereadCurrent() && list().failed())
            return;
        fn();
    });
}

bool CDPlayerWindow::openRoutine() {
    if (!Browse::openRoutine() || !openDrive())
        return false;
    identifyPending_ = true;
    send(QStringLiteral("set cdaudio time format tmsf"));
    setConnection(kSharedMode);
    if (CDTimer > 10)
        setTimer(CDTimer);
    show();
    return true;
}

bool CDPlayerWindow::openDrive() {
    QString answer = send(QStringLiteral("open cdaudio shareable"));
    if (!opened(answer, true)) {
        AddEventLogEntry(QStringLiteral("open cdaudio shareable:  ") + answer, QStringLiteral("CDPlayer"));
        answer = send(QStringLiteral("open cdaudio"));
        if (!opened(answer, false)) {
            AddEventLogEntry(QStringLiteral("open cdaudio:  ") + answer, QStringLiteral("CDPlayer"));
            message(QStringLiteral("CD player not available.  Ensure that no other program is using the CD-ROM drive."),
                    kErrorTitle, MessageIcon::Hand);
            writeIncidentRecord();
            return false;
        }
    }
    deviceOpen_ = true;
    return true;
}

void CDPlayerWindow::takeEvent(const Event &e) {
    if (e.kind == EventKind::Timer) {
        timer();
        return;
    }
    Browse::takeEvent(e);
}

void CDPlayerWindow::timer() {
    if (CDTimer > 0) {
        const CdPlayerDrive::PollResult r = drive_.poll();
        if (r.discCameIn)
            identifyPending_ = true;
        if (r.trackChanged)
            followTrack();
        show();
    }
    if (identifyPending_) {
        identifyPending_ = false;
        identify(true);
    }
}

void CDPlayerWindow::identify(bool ask) {
    switch (drive_.identify()) {
    case CdPlayerDrive::Identity::NoDisc:
        setTitle(kTitle);
        break;
    case CdPlayerDrive::Identity::Known:
        listAlbum_ = drive_.albumId();
        setTitle(kTitle + QStringLiteral(" - ") + drive_.albumTitle());
        break;
    case CdPlayerDrive::Identity::Unknown:
        listAlbum_ = 0;
        setTitle(kTitle);
        refresh();
        if (ask && !noDetection_) {
            if (message(QStringLiteral("Add this CD to the database"), QStringLiteral("New CD Found"),
                        MessageIcon::Exclamation, ButtonYes | ButtonNo, ButtonYes) == ButtonYes) {
                addDisc();
            } else {
                setConnection(QStringLiteral("(no detection)"));
                noDetection_ = true;
            }
        }
        return;
    }
    refresh();
}

void CDPlayerWindow::addDisc() {
    ReadCDOnOpen = 1;
    send(QStringLiteral("stop cdaudio"));
    if (deviceOpen_) {
        send(QStringLiteral("close cdaudio"));
        deviceOpen_ = false;
    }
    setConnection(QStringLiteral("(closed)"));
    ALB.clear();
    callWithRequest(0, [] { runProcedure(QStringLiteral("AlbumWizard")); });
    if (closing())
        return;
    if (!opened(send(QStringLiteral("open cdaudio shareable")), true)) {
        message(QStringLiteral("CD player not available.\nYou may need to eject and re-insert the CD."), kErrorTitle,
                MessageIcon::Hand);
        closeWindow();
        return;
    }
    setConnection(kSharedMode);
    deviceOpen_ = true;
    send(QStringLiteral("set cdaudio time format tmsf"));
    // The wizard may have catalogued the disc: show it, without asking again if not.
    identify(false);
}

// The list's highlight goes to the song of the track now playing, on the side it stands on.
void CDPlayerWindow::followTrack() {
    if (list().empty())
        return;
    const auto &rows = list().reader().rows();
    const int current = std::max(0, list().currentRow());
    const QVariant side = rows[size_t(current)].values[kSideValue];
    for (size_t i = 0; i < rows.size(); ++i)
        if (rows[i].values[kSideValue] == side && rows[i].values[kTrackValue].toInt() == drive_.currentTrack) {
            list().control()->setCurrentRow(int(i));
            return;
        }
    MUS.AlbumID = listAlbum_;
    MUS.Side = side.toInt();
    MUS.TrackNumber = drive_.currentTrack;
    list().refresh(0, true, true);
}

void CDPlayerWindow::show() {
    controls().setValue(QStringLiteral("CDP:Track"), int(drive_.currentTrack));
    controls().setValue(QStringLiteral("CDP:TrackCount"), drive_.trackCount);
    controls().setValue(QStringLiteral("CDP:TrackPosition"), PlayerTimeText(drive_.trackPosition));
    controls().setValue(QStringLiteral("CDP:TrackLength"), PlayerTimeText(drive_.trackLength));
    controls().setValue(QStringLiteral("CDP:CDPosition"), PlayerTimeText(drive_.discPosition));
    controls().setValue(QStringLiteral("CDP:CDLength"), PlayerTimeText(drive_.discLength));
    bar_->setPercent(drive_.percent());
    status_->setText(drive_.status);
}

void CDPlayerWindow::setTitle(const QString &title) {
    if (widget())
        widget()->setWindowTitle(title);
    if (frame() && frame() != widget())
        frame()->setWindowTitle(title);
}

void CDPlayerWindow::refreshed() { editAlbum_->setEnabled(drive_.albumId() != 0); }

bool CDPlayerWindow::takeListKey(const Event &e) {
    if (e.key != KeyMouseLeft2)
        return false;
    if (!list().empty())
        playSelected();
    return true;
}

void CDPlayerWindow::playSelected() {
    if (list().empty() || !list().rereadCurrent())
        return;
    drive_.currentTrack = numberInRange<quint8>(MUS.TrackNumber.value());
    play();
}

void CDPlayerWindow::play() {
    if (drive_.trackCount != 0 && drive_.currentTrack > drive_.trackCount)
        drive_.currentTrack = numberInRange<quint8>(drive_.trackCount);
    playTrack();
}

// A press within the first three seconds goes to the track before; later ones restart the track.
void CDPlayerWindow::previous() {
    send(QStringLiteral("status cdaudio position"));
    if (drive_.trackPosition < 300)
        drive_.currentTrack = quint8(std::max(1, drive_.currentTrack - 1));
    playTrack();
}

void CDPlayerWindow::skip(qint32 milliseconds) {
    send(QStringLiteral("set cdaudio time format ms"));
    playFrom(QString::number(qint64(drive_.positionMilliseconds()) + milliseconds));
    send(QStringLiteral("set cdaudio time format tmsf"));
}

void CDPlayerWindow::pause() {
    send(paused_ ? QStringLiteral("play cdaudio") : QStringLiteral("pause cdaudio"));
    paused_ = !paused_;
}

void CDPlayerWindow::seekToClick() {
    const int percent = BarClickPercent(bar_->clickX(), bar_->width());
    send(QStringLiteral("set cdaudio time format ms"));
    drive_.trackStart =
        mciNumber(send(QStringLiteral("status cdaudio position track ") + QString::number(drive_.currentTrack))) / 10 + 1;
    const qint64 target = qint64(percent / 100.0 * drive_.trackLength) + drive_.trackStart;
    playFrom(QString::number(target * 10));
    send(QStringLiteral("set cdaudio time format tmsf"));
}

void CDPlayerWindow::editAlbum() {
    if (drive_.albumId() == 0)
        return;
    AlbumSongMode = 1;
    ALB.setRecord(drive_.album());
    if (callWithRequest(ChangeRecord, [] { runProcedure(QStringLiteral("UpdateAlbum")); }) == RequestCompleted)
        drive_.takeAlbum(ALB.record());
    if (drive_.albumId() != 0)
        setTitle(kTitle + QStringLiteral(" - ") + drive_.albumTitle());
    refresh(true);
}

void CDPlayerWindow::setup() {
    const qint32 request = GlobalRequest;
    CDSetup();
    GlobalRequest = request;
    refresh();
}

void CDPlayerWindow::closeRoutine() {
    Browse::closeRoutine();
    if (deviceOpen_) {
        send(QStringLiteral("close cdaudio"));
        deviceOpen_ = false;
    }
}

} // namespace

void IntegratedCDPlayer() { CDPlayerWindow().run(); }

} // namespace tbk
