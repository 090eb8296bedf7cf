#pragma once
// The playlist generator: a new playlist "Play List #" and its number, of songs drawn at random
// from the songs file, limited by release dates and category and weighted toward recent or
// older additions or releases.
#include <QString>
#include <QtGlobal>

class QRandomGenerator;

namespace tbk {

// The window "Generate Play List".
void GeneratePlaylist();

enum class Weighting { None, RecentAddition, RecentRelease, OlderAddition, OlderRelease };
// The weighting of its button's text; blank and unknown texts weigh nothing.
Weighting weightingOf(const QString &text);

struct PlaylistCriteria {
    int size = 0;
    qint32 startDate = 0;   // 0: no bound
    qint32 endDate = 0;
    QString category;       // blank: every category
    Weighting weighting = Weighting::None;
};

// Writes the header and the songs drawn; the new playlist's identifier, or 0 when nothing was
// written (after its message). The songs, categories and both playlist files must be open.
qint32 generatePlaylist(const PlaylistCriteria &criteria);

// One attempt's song: its number among the n songs in order of addition (1 to n), or 0 when
// the draw names none. Draws in the order the generator makes them.
qint64 drawSongNumber(QRandomGenerator &random, qint64 n, Weighting weighting);
// A release date near today: a day number of the last 90 days or later, a bare year of this
// year or later. 0 is neither recent nor old.
bool recentRelease(qint32 releaseDate, qint32 today);

// Where the draws come from; null: the system's generator. For tests.
void setPlaylistRandomSource(QRandomGenerator *source);

} // namespace tbk
