#include "impex/exportrun.h"

#include "core/datafiles.h"
#include "core/standardwarnings.h"
#include "impex/transfer.h"
#include "runtime/data/driver.h"
#include "runtime/data/view.h"
#include "runtime/threads/dialogs.h"
#include "runtime/threads/scheduler.h"
#include "runtime/ui/progresswindow.h"
#include "runtime/values/text.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>

#include <algorithm>

#include <vector>

namespace tbk {

using namespace tbk::data;

namespace {

// Batches follow one another at once; Qt and the other threads have a turn after this long or
// this many batches, whichever comes first.
constexpr int kTurnMs = 40;
constexpr int kBatchesPerTurn = 200;
// Songs fetched with one statement within a turn.
constexpr int kReadAhead = 250;
// Lines go to the disk in blocks of this many bytes.
constexpr int kWriteBlock = 1 << 16;

// Where a chosen field's value comes from: a field of the song (its index in the record) or,
// for -1, the song's category name.
struct ExportColumn {
    int songField = -1;
    bool text = true;
    QString name;
    QString picture;   // clipped
    FieldForm form = FieldForm::Text;
};

// "QUICKSCAN=on" for the songs and categories for the time of the run, whichever way it ends.
class QuickScan {
public:
    QuickScan() { send(QStringLiteral("on")); }
    ~QuickScan() { send(QStringLiteral("off")); }
    QuickScan(const QuickScan &) = delete;
    QuickScan &operator=(const QuickScan &) = delete;

private:
    static void send(const QString &state) {
        MUS.send(QStringLiteral("QUICKSCAN=") + state);
        CAT.send(QStringLiteral("QUICKSCAN=") + state);
    }
};

class ExportRun {
public:
    ExportRun(const QList<ExportField> &fields, bool header);
    // From the file named on; the name empty when the user cancelled the file dialog.
    bool run(const QString &fileName);

private:
    bool ExportOpenFile(const QString &fileName);
    void ExportWriteHeader();
    void ExportWriteRecord();
    void writeSongs();
    // The next song in artist order with its category, kept by the run so that no other
    // window's reads between two turns can change what it writes. False at the end of the
    // songs or after a failed read (reported).
    bool readSong(View &view);
    // Up to one batch of songs; false once no further song is to be written.
    bool writeBatch(View &view, ProgressWindow &progress);
    void showPercent(ProgressWindow &progress);

    Transfer t_;
    std::vector<ExportColumn> columns_;
    bool header_;
    // The current song's value of each chosen field.
    std::vector<QVariant> song_;
    // Category names by identifier, read while nothing was written through the program's
    // connection since (another window may rename a category between two turns).
    QHash<qint64, QString> categories_;
    qint64 categoriesAsOf_ = -1;
    qint64 songCount_ = 0;
    qint64 songsRead_ = 0;
    int shownPercent_ = 0;
};

ExportRun::ExportRun(const QList<ExportField> &fields, bool header) : header_(header) {
    for (const ExportField &f : fields) {
        ExportColumn c;
        c.name = f.field;
        c.picture = clip(f.picture);
        c.form = fieldFormOf(c.picture);
        if (const FieldRef ref = MUS.field(f.field); ref.valid()) {
            c.songField = ref.index();
            c.text = ref.isText();
        }
        columns_.push_back(c);
    }
    song_.resize(columns_.size());
}

bool ExportRun::ExportOpenFile(const QString &name) {
    if (name.isEmpty())
        return false;
    t_.fileName = name;
    t_.file.setName(name);
    t_.file.setWriteBlock(kWriteBlock);
    if (!t_.file.create()) {
        showTransferError(t_, QStringLiteral("Cannot CREATE "), ButtonOK);
        return false;
    }
    if (!t_.file.open(WriteOnly | DenyAll)) {
        showTransferError(t_, QStringLiteral("Cannot OPEN "), ButtonOK);
        QFile::remove(name);
        return false;
    }
    return true;
}

void ExportRun::ExportWriteHeader() {
    ExportStartLine(t_);
    for (const ExportColumn &c : columns_)
        writeField(t_, c.name, QStringLiteral("@s50"), FieldForm::Text, true);
}

void ExportRun::ExportWriteRecord() {
    ExportStartLine(t_);
    for (size_t i = 0; i < columns_.size(); ++i)
        writeField(t_, song_[i], columns_[i].picture, columns_[i].form, false);
}

bool ExportRun::readSong(View &view) {
    if (!view.next()) {
        if (errorCode() != RecordNotAvailable)
            ShowStandardWarning(35, MUS.label(), QString());
        return false;
    }
    if (categoriesAsOf_ != driver::writeCount()) {
        categories_.clear();
        categoriesAsOf_ = driver::writeCount();
    }
    const qint64 id = MUS.CategoryID.value();
    auto known = categories_.constFind(id);
    if (known == categories_.cend()) {
        CAT.CategoryID = id;
        known = categories_.insert(id, CAT.get(CAT.KeyCategoryID) ? CAT.Category.str() : QString());
    }
    for (size_t i = 0; i < columns_.size(); ++i) {
        const ExportColumn &c = columns_[i];
        if (c.songField < 0)
            song_[i] = *known;
        else if (c.text)
            song_[i] = MUS.cell(c.songField).s;
        else
            song_[i] = MUS.cell(c.songField).n;
    }
    ++songsRead_;
    return true;
}

void ExportRun::showPercent(ProgressWindow &progress) {
    if (shownPercent_ == 100)
        return;
    // Songs added since the count was taken read as 100%, as does a file counted empty.
    const int percent = songCount_ <= 0 ? 100 : int(std::min<qint64>(100, songsRead_ * 100 / songCount_));
    if (percent == shownPercent_)
        return;
    shownPercent_ = percent;
    // Painted at the next yield, with the bar: a bar set here repaints at once, a hundred times a run.
    progress.setStatusText(QStringLiteral("%1% Completed").arg(percent, 3));
}

bool ExportRun::writeBatch(View &view, ProgressWindow &progress) {
    for (int n = 0; n < kExportBatch; ++n) {
        ExportWriteRecord();
        if (!ExportAddRecord(t_) || !readSong(view))
            return false;
        showPercent(progress);
    }
    return true;
}

void ExportRun::writeSongs() {
    songCount_ = MUS.records();
    ProgressWindow progress(QStringLiteral("Exporting Records"), QStringLiteral("Exporting"), true);
    progress.setStatusText(QStringLiteral("0% Completed"));
    QuickScan quickScan;
    View view(MUS, MUS.SongsByArtist);
    view.clearFilter();
    if (!view.open())
        ShowStandardWarningPlain(36);
    view.set();
    view.setReadAhead(kReadAhead);
    std::vector<int> fetched{MUS.CategoryID.index()};
    for (const ExportColumn &c : columns_)
        if (c.songField >= 0)
            fetched.push_back(c.songField);
    view.setProjection(std::move(fetched));
    bool more = readSong(view);
    if (more)
        showPercent(progress);
    QElapsedTimer turn;
    while (more) {
        // Qt paints and takes Cancel, the other threads run; then nothing read before is trusted.
        progress.showPercent(shownPercent_);
        yieldNow();
        view.dropReadAhead();
        if (progress.cancelled())
            return;
        turn.start();
        for (int batches = 0; more && batches < kBatchesPerTurn && (batches == 0 || turn.elapsed() < kTurnMs); ++batches)
            more = writeBatch(view, progress);
    }
    progress.showPercent(shownPercent_);
    progress.setStatusText(QStringLiteral("Process Completed"));
}

bool ExportRun::run(const QString &fileName) {
    if (!ExportOpenFile(fileName))
        return false;
    if (header_) {
        ExportWriteHeader();
        if (!ExportAddRecord(t_)) {
            ExportCloseFile(t_);
            return false;
        }
    }
    writeSongs();
    ExportCloseFile(t_);
    return true;
}

} // namespace

bool RunExport(const QList<ExportField> &fields, bool header) {
    // In the catalogue's folder, as the dialog opened last may have been elsewhere.
    const QString name = fileDialog(QStringLiteral("Export File"), QDir::currentPath(),
                                    QStringLiteral("Export Files|*.CSV;*.csv|All Files|*.*"), FileDialogMode::Save);
    return RunExportToFile(name, fields, header);
}

bool RunExportToFile(const QString &fileName, const QList<ExportField> &fields, bool header) {
    return ExportRun(fields, header).run(fileName);
}

} // namespace tbk
