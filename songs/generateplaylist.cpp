#include "songs/generateplaylist.h"

#include "core/datafiles.h"
#include "core/fileaccess.h"
#include "records/procedurecall.h"
#include "core/programsettings.h"
#include "core/standardwarnings.h"
#include "runtime/data/errors.h"
#include "runtime/data/view.h"
#include "runtime/threads/messagebox.h"
#include "runtime/ui/window.h"
#include "runtime/ui/windowbuilder.h"
#include "runtime/values/dates.h"
#include "runtime/values/text.h"
#include "songs/editloop.h"
#include "songs/lookuplists.h"

#include <QComboBox>
#include <QPushButton>
#include <QRandomGenerator>

#include <optional>
#include <vector>

namespace tbk {

namespace {

const QString kSize = QStringLiteral("LOC:PlaylistSize");
const QString kStartDate = QStringLiteral("LOC:StartDate");
const QString kEndDate = QStringLiteral("LOC:EndDate");
const QString kCategory = QStringLiteral("LOC:Category");
const QString kWeighting = QStringLiteral("LOC:Weighting");
const QStringList kWeightings{QStringLiteral("No Weighting"), QStringLiteral("Recent Addition"),
                              QStringLiteral("Recent Release"), QStringLiteral("Older Addition"),
                              QStringLiteral("Older Release")};
const QString kHeaderPrefix = QStringLiteral("Play List #");
constexpr int kMostAttempts = 1001;
constexpr int kRecentDays = 90;
constexpr int kReadAhead = 1000;

QRandomGenerator *randomSource = nullptr;

QRandomGenerator &random() { return randomSource ? *randomSource : *QRandomGenerator::global(); }

// A coin toss: the weightings act on half of the attempts.
bool heads(QRandomGenerator &g) { return g.bounded(1, 3) == 1; }

void addFailed(const QString &file) {
    message(QStringLiteral("There was an error (") + QString::number(data::errorCode()) + QStringLiteral(" - ") +
                clip(data::errorText()) + QStringLiteral(") adding to the ") + file + QStringLiteral(" file"),
            QStringLiteral("Error"), MessageIcon::Exclamation, ButtonOK);
}

// The songs' places in order of addition, so that the r-th one is song number r as a freshly
// packed file numbers them: places freed by deletes name no song here. Empty after a read error.
std::optional<std::vector<data::Position>> songsInOrder() {
    std::vector<data::Position> songs;
    songs.reserve(size_t(std::max<qint64>(0, MUS.records())));
    data::View view(MUS);
    if (!view.open())
        return std::nullopt;
    view.set();
    view.setReadAhead(kReadAhead);
    view.setProjection({MUS.ID.index()});
    while (view.next())
        songs.push_back(MUS.position());
    if (data::errorCode() != data::RecordNotAvailable)
        return std::nullopt;
    return songs;
}

// The new header, numbered after the last one and past any whose number or description it
// would repeat; 0 when it could not be added.
qint32 addHeader() {
    PLD.set(PLD.KeyPlaylistID);
    qint32 id = PLD.previous() ? PLD.PlaylistID.value() + 1 : 1;
    for (;;) {
        PLD.clear();
        PLD.PlaylistID = id;
        PLD.PLAYLISTDESCRIPTION = kHeaderPrefix + QString::number(id);
        PLD.LASTEDITDATE = today();
        if (PLD.add())
            return id;
        if (data::errorCode() != data::DuplicateKey) {
            addFailed(QStringLiteral("Play List Master"));
            return 0;
        }
        ++id;
    }
}

void addEntry(qint32 playlist, qint64 seq, qint64 song) {
    PLA.clear();
    PLA.PlaylistID = playlist;
    PLA.PlaylistSeq = seq;
    PLA.ID = song;
    if (!PLA.add())
        addFailed(QStringLiteral("Play List Details"));
}

// The category a song must carry: none for all; an empty filter for a name the file no longer
// holds, which no song matches.
struct CategoryFilter {
    bool any = true;
    std::optional<qint64> id;

    explicit CategoryFilter(const QString &name) {
        if (clip(name).isEmpty())
            return;
        any = false;
        CAT.clear();
        CAT.Category = name;
        if (CAT.get(CAT.KeyCategory))
            id = CAT.CategoryID.value();
    }
    bool passes(qint64 category) const { return any || (id && *id == category); }
};

class GeneratePlaylistWindow : public Window {
public:
    GeneratePlaylistWindow() : Window(QStringLiteral("GeneratePlaylist")) {}

protected:
    QWidget *createWindow() override {
        WindowBuilder b(*this, QStringLiteral("Generate Play List"), {180, 150});
        b.entry(QStringLiteral("Play List Size (Number of Songs):"), kSize, QStringLiteral("@n2"));
        b.entry(QStringLiteral("Starting Release Date:"), kStartDate, QStringLiteral("@d2"));
        b.entry(QStringLiteral("Ending Release Date:"), kEndDate, QStringLiteral("@d2"));
        category_ = b.lookup(QStringLiteral("Category (Blank for All):"), kCategory, QStringLiteral("@s20"));
        b.option(QStringLiteral("Weighting"), kWeighting, kWeightings);
        ok_ = b.button(QStringLiteral("&Ok"));
        cancel_ = b.button(QStringLiteral("Cancel"));
        ok_->setDefault(true);
        return b.finish();
    }

    bool openRoutine() override {
        controls().useDateFormat(DateFormat.str());
        controls().load([](const QString &field) -> QVariant {
            if (field == kCategory || field == kWeighting)
                return QString();
            return 0;
        });
        lists_ = std::make_unique<LookupLists>(nullptr, category_, [this](const QString &, const QVariant &id) {
            categoryID_ = id.toLongLong();
        });
        if (!lists_->fillCategories())
            return false;
        setCheck(category_, [this] { return checkCategory(); });
        on(ok_, EventKind::Accepted, [this] { ok(); });
        on(cancel_, EventKind::Accepted, [this] { closeWindow(); });
        return true;
    }

private:
    // Only a category of the list, taken in the list's spelling; blank is every category.
    int checkCategory() {
        const QString typed = clip(controls().value(kCategory).toString());
        if (typed.isEmpty())
            return 0;
        if (lists_->findCategory(typed) != 0)
            return 1;
        controls().setValue(kCategory, lists_->categoryName(categoryID_));
        return 0;
    }

    void ok() {
        if (controls().validateAll())
            return;
        PlaylistCriteria c;
        c.size = controls().value(kSize).toInt();
        c.startDate = controls().value(kStartDate).toInt();
        c.endDate = controls().value(kEndDate).toInt();
        c.category = clip(controls().value(kCategory).toString());
        c.weighting = weightingOf(controls().value(kWeighting).toString());
        generatePlaylist(c);
        closeWindow();
    }

    ProcedureCall call_;
    FilesInUse files_{&MUS, &CAT, &PLD, &PLA};
    std::unique_ptr<LookupLists> lists_;
    qint64 categoryID_ = 0;
    QComboBox *category_ = nullptr;
    QPushButton *ok_ = nullptr;
    QPushButton *cancel_ = nullptr;
};

} // namespace

Weighting weightingOf(const QString &text) {
    const qsizetype i = kWeightings.indexOf(clip(text));
    constexpr Weighting byButton[] = {Weighting::None, Weighting::RecentAddition, Weighting::RecentRelease,
                                      Weighting::OlderAddition, Weighting::OlderRelease};
    return i < 0 ? Weighting::None : byButton[i];
}

qint64 drawSongNumber(QRandomGenerator &g, qint64 n, Weighting weighting) {
    if (n < 1)
        return 0;
    qint64 r = g.bounded(qint64(1), n + 1);
    const qint64 half = n / 2;
    if (weighting == Weighting::RecentAddition && heads(g))
        r = g.bounded(half, n + 1);   // from 0 over a single song: 0 names none
    else if (weighting == Weighting::OlderAddition && heads(g))
        r = half < 1 ? 0 : g.bounded(qint64(1), half + 1);
    return r;
}

bool recentRelease(qint32 releaseDate, qint32 day) {
    if (releaseDate >= kLastBareYear)
        return releaseDate >= day - kRecentDays;
    return releaseDate > 0 && releaseDate >= yearOf(day);
}

qint32 generatePlaylist(const PlaylistCriteria &c) {
    const std::optional<std::vector<data::Position>> songs = songsInOrder();
    if (!songs) {
        ShowStandardWarningWithText(35, MUS.label());
        return 0;
    }
    if (songs->empty()) {
        message(QStringLiteral("There are no songs to select from"), QStringLiteral("Error"), MessageIcon::Exclamation,
                ButtonOK);
        return 0;
    }
    const CategoryFilter category(c.category);
    const qint32 playlist = addHeader();
    // No entries under a number that has no header.
    if (playlist == 0)
        return 0;

    QRandomGenerator &g = random();
    const qint64 n = qint64(songs->size());
    const qint32 day = today();
    const bool releases = c.weighting == Weighting::RecentRelease || c.weighting == Weighting::OlderRelease;
    // Each entry is still written by itself, for other windows to see; only the disk waits less.
    StreamRun entries(PLA);
    int added = 0;
    for (int attempts = 0; added < c.size && attempts < kMostAttempts; ++attempts) {
        const qint64 r = drawSongNumber(g, n, c.weighting);
        // A song deleted while a message waited is a failed attempt too.
        if (r < 1 || r > n || !MUS.get((*songs)[size_t(r - 1)]))
            continue;
        const qint32 released = MUS.ReleaseDate.value();
        if ((c.startDate != 0 && released < c.startDate) || (c.endDate != 0 && released > c.endDate) ||
            !category.passes(MUS.CategoryID.value()))
            continue;
        if (releases && heads(g) && released != 0 &&
            recentRelease(released, day) != (c.weighting == Weighting::RecentRelease))
            continue;
        addEntry(playlist, ++added, MUS.ID.value());
    }
    return playlist;
}

void setPlaylistRandomSource(QRandomGenerator *source) { randomSource = source; }

void GeneratePlaylist() { GeneratePlaylistWindow().run(); }

} // namespace tbk
