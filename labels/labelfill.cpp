#include "labels/labelfill.h"

#include "cdaudio/mcicommand.h"
#include "core/datafiles.h"
#include "records/keyrangewalk.h"
#include "core/programsettings.h"
#include "labels/artistname.h"
#include "runtime/values/text.h"

#include <algorithm>
#include <functional>

namespace tbk {

namespace {

const QString kDash = QStringLiteral(" - ");
const QString kNewLine = QStringLiteral("\r\n");
const QString kFileNumber = QStringLiteral("File Number ");
constexpr int kLineLength = 80;
constexpr int kFileNumberWidth = 20;

bool artistFirst() { return LabelArtistTitleOrder.str().startsWith(QLatin1Char('A')); }

// What a collected song's line is made of, read from the songs buffer.
using LineMaker = std::function<QString()>;

// The songs of one key range, from the key value in the buffer: the leading `fixed` fields
// hold the group. The songs buffer is left as the caller had it before the start was set.
std::vector<LabelSong> collect(const data::Record &callerSong, const data::Key &key, int fixed, const LineMaker &line) {
    std::vector<LabelSong> songs;
    KeyRangeWalk walk(MUS, key, fixed, kLabelMostSongs,
                      {TunebankFile::f_Title, TunebankFile::f_Artist, TunebankFile::f_Side,
                       TunebankFile::f_TrackNumber, TunebankFile::f_Time, TunebankFile::f_AdditionalInformation1});
    while (int(songs.size()) < kLabelMostSongs && walk.next()) {
        LabelSong song;
        song.side = QString::number(MUS.Side.value()).left(1);
        song.track = MUS.TrackNumber.value() != 0 ? qint32(MUS.TrackNumber.value()) : qint32(songs.size()) + 1;
        song.line = (line() + labelSongTime(MUS.Time.value(), MUS.AdditionalInformation1.str())).left(kLineLength);
        songs.push_back(std::move(song));
    }
    MUS.setRecord(callerSong);
    return songs;
}

// Spine and CD title take `across`; the cassette's title and flap take `stacked`.
void setTitles(const QString &across, const QString &stacked) {
    LAB.CDSPINE = across;
    LAB.CDTITLE = across;
    LAB.CassetteFlap = stacked;
    LAB.CassetteTitle = stacked;
}

// The picture of the song's own album; none when it has no album or the album is gone.
std::optional<QString> imageOfAlbum(qint32 album) {
    if (album == 0)
        return std::nullopt;
    const data::Record kept = ALB.record();
    ALB.clear();
    ALB.AlbumID = album;
    std::optional<QString> image;
    if (ALB.get(ALB.KEYALBUMID))
        image = ALB.ASSOCIATEDIMAGE.str();
    ALB.setRecord(kept);
    return image;
}

} // namespace

QString labelSongTime(qint32 time, const QString &additionalInformation) {
    if (time > 0)
        return QStringLiteral(" (") + FormatTrackTime(time).trimmed() + QLatin1Char(')');
    if (additionalInformation.contains(QLatin1Char(':')) && !additionalInformation.contains(QStringLiteral("00:00")))
        return QStringLiteral(" (") + clip(additionalInformation) + QLatin1Char(')');
    return {};
}

void writeLabelSongs(std::vector<LabelSong> songs) {
    if (songs.empty())
        return;
    const QString delimiter = clip(GLO.Delimiter.str());
    const QString separator = delimiter.isEmpty() ? QStringLiteral(". ") : delimiter.left(1) + QLatin1Char(' ');
    std::stable_sort(songs.begin(), songs.end(), [](const LabelSong &a, const LabelSong &b) {
        if (a.side != b.side)
            return a.side < b.side;
        if (a.track != b.track)
            return a.track < b.track;
        return a.line < b.line;
    });
    QString all, sideA, sideB;
    const auto append = [](QString &text, const QString &entry) {
        text = text.isEmpty() ? entry : clip(text) + kNewLine + entry;
    };
    for (const LabelSong &song : songs) {
        const QString entry = QString::number(song.track).rightJustified(3, QLatin1Char(' ')) + separator + song.line;
        append(all, entry);
        if (song.side != QLatin1String("2"))
            append(sideA, entry);
        if (song.side != QLatin1String("1"))
            append(sideB, entry);
    }
    LAB.CDCoverText = all;
    LAB.CDInsideText = all;
    LAB.CassetteContentsA = sideA;
    LAB.CassetteContentsB = sideB;
}

bool fillLabelFromAlbum() {
    const QString album = clip(ALB.Album.str());
    const QString artist = clip(ALB.Artist.str());
    const QString reordered = clip(ReorderArtistName(artist));
    LAB.LABELDESCRIPTION = album + kDash + reordered;
    LAB.ALBUMID = ALB.AlbumID.value();
    if (artist.toUpper() == QLatin1String("VARIOUS"))
        setTitles(album, album);
    else if (artistFirst())
        setTitles(artist + kDash + album, artist + kNewLine + album);
    else
        setTitles(album + kDash + reordered, album + kNewLine + reordered);

    const data::Record callerSong = MUS.record();
    MUS.clear();
    MUS.AlbumID = ALB.AlbumID.value();
    const QString upperArtist = artist.toUpper();
    const std::vector<LabelSong> songs = collect(callerSong, MUS.KeyAlbumID, 1, [&upperArtist] {
        const QString title = clip(MUS.Title.str());
        const QString songArtist = clip(MUS.Artist.str());
        if (songArtist.toUpper() == upperArtist)
            return title;
        const QString own = clip(ReorderArtistName(songArtist));
        return artistFirst() ? own + kDash + title : title + kDash + own;
    });
    if (songs.empty())
        return false;
    writeLabelSongs(songs);
    LAB.IMAGENAME = ALB.ASSOCIATEDIMAGE.str();
    return true;
}

bool fillLabelFromFileNumber() {
    const data::Record song = MUS.record();
    const QString fileNumber = MUS.FileNumber.str();
    const QString album = clip(MUS.Album.str());
    const QString reordered = clip(ReorderArtistName(clip(MUS.Artist.str())));
    const bool first = artistFirst();
    LAB.ALBUMID = 0;
    LAB.LABELDESCRIPTION = kFileNumber + fileNumber;
    const QString number = kFileNumber + fileNumber.leftJustified(kFileNumberWidth, QLatin1Char(' '), true);
    if (first)
        setTitles(number + QLatin1Char(' ') + reordered + kDash + album, number + kNewLine + reordered + kDash + album);
    else
        setTitles(number + QLatin1Char(' ') + album + kDash + reordered, number + kNewLine + album + kNewLine + reordered);

    std::vector<LabelSong> songs;
    MUS.clear();
    if (!clip(fileNumber).isEmpty()) {
        MUS.Media = song.cells[TunebankFile::f_Media].s;
        MUS.FileNumber = fileNumber;
        songs = collect(song, MUS.SongsByMedia, 2, [first] {
            const QString title = clip(MUS.Title.str());
            const QString artist = clip(ReorderArtistName(clip(MUS.Artist.str())));
            return first ? artist + kDash + title : title + kDash + artist;
        });
    } else {
        const QString across = first ? reordered + kDash + album : album + kDash + reordered;
        LAB.LABELDESCRIPTION = across;
        setTitles(across, first ? reordered + kNewLine + album : album + kNewLine + reordered);
        MUS.Album = song.cells[TunebankFile::f_Album].s;
        MUS.Artist = song.cells[TunebankFile::f_Artist].s;
        songs = collect(song, MUS.SongsByAlbum, 2, [] { return clip(MUS.Title.str()); });
    }
    if (songs.empty())
        return false;
    writeLabelSongs(songs);
    // The picture of the chosen song's own album, not of whatever album was read last.
    if (const std::optional<QString> image = imageOfAlbum(qint32(song.cells[TunebankFile::f_AlbumID].n)))
        LAB.IMAGENAME = *image;
    return true;
}

} // namespace tbk
