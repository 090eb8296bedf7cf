#pragma once
// The chart update: each entry of the playlist in the header buffer keeps its present place in
// its notes as " LW:" and the place, for the chart print's "last week" column.
#include <QString>
#include <QtGlobal>

namespace tbk {

void UpdatePlaylistChart();

// The notes with their old marker taken out and the marker of this place appended, cut to the
// notes' 40 characters.
QString chartNotes(const QString &notes, qint64 place);

} // namespace tbk
