#include "songs/updateplaylistchart.h"

#include "core/datafiles.h"
#include "setup/housekeeping.h"
#include "records/procedurecall.h"
#include "runtime/threads/messagebox.h"
#include "runtime/values/text.h"

namespace tbk {

namespace {

const QString kMarker = QStringLiteral("LW:");
constexpr int kNotesLength = 40;
// The marker and the two digits the chart print reads.
constexpr int kMarkerLength = 5;
// What the percentage counts to: a chart is rarely longer.
constexpr int kEstimatedEntries = 50;

} // namespace

QString chartNotes(const QString &notes, qint64 place) {
    QString text = notes;
    const qsizetype at = text.indexOf(kMarker);
    if (at >= 0) {
        const QString old = text.mid(at + kMarker.size(), kMarkerLength - kMarker.size());
        text.remove(at, kMarkerLength);
        // A place of three digits or more: the digits beyond the two are the marker's too, and
        // left behind they would pile up in the notes with every update.
        if (old.size() == 2 && old[0].isDigit() && old[1].isDigit())
            while (at < text.size() && text[at].isDigit())
                text.remove(at, 1);
    }
    while (!text.isEmpty() && text.back().isSpace())
        text.chop(1);
    text += QLatin1Char(' ') + kMarker + QString::number(place);
    while (!text.isEmpty() && text.front().isSpace())
        text.remove(0, 1);
    return text.left(kNotesLength);
}

void UpdatePlaylistChart() {
    ProcedureCall call;
    call.setResponse(RequestCancelled);
    // The header buffer may hold another playlist by the time the question is answered.
    const qint32 playlist = PLD.PlaylistID.value();
    if (message(QStringLiteral("This will copy the current chart standings into the notes field to be used as "
                               "\"last week's chart positions\"."),
                QStringLiteral("Warning"), MessageIcon::Exclamation, ButtonOK | ButtonCancel, ButtonOK) != ButtonOK)
        return;
    ProcessShape s;
    s.caption = QStringLiteral("Updating Chart");
    s.walked = &PLA;
    s.order = &PLA.KeyPlaylistID;
    // The identifier as it was when the user chose, not as the shared buffer may hold it now.
    s.filter = QStringLiteral("PLA:PlaylistID = %1").arg(playlist);
    s.estimate = kEstimatedEntries;
    s.files = {&PLA, &PLD};
    s.rule = [] {
        PLA.PLAYLISTNOTES = chartNotes(PLA.PLAYLISTNOTES.str(), PLA.PlaylistSeq.value());
        return RuleResult::Write;
    };
    call.setResponse(runProcess(s));
}

} // namespace tbk
