#pragma once
// A label's texts written from the catalogue: from the songs of an album or from the songs kept
// under one file number. The fills work on the buffers (the album or song the picker left, the
// label in LAB) and never wait.
#include <QString>
#include <QtGlobal>

#include <vector>

namespace tbk {

// A label lists at most this many songs.
constexpr int kLabelMostSongs = 51;

// One song of a label's list.
struct LabelSong {
    QString side;       // the side number's first digit
    qint32 track = 0;   // a song without a number takes its place in the list
    QString line;       // title (and artist), time, cut at 80 characters
};

// " (m:ss)" of a song's time (hours folded into the minutes); without a time, the first
// additional information when it reads as one; else nothing.
QString labelSongTime(qint32 time, const QString &additionalInformation);

// The songs written into the label in the buffer: the CD cover and inside texts list them all,
// side A all but side 2, side B all but side 1. Nothing changes for an empty list.
void writeLabelSongs(std::vector<LabelSong> songs);

// The label in LAB filled from the album in ALB: description, titles, songs and picture. True
// when songs were found (the song texts and picture are left alone otherwise).
bool fillLabelFromAlbum();
// The label in LAB filled from the song in MUS: the songs of its media and file number, or with
// a blank file number the songs of its album. True when songs were found.
bool fillLabelFromFileNumber();

} // namespace tbk
