#include "setup/filemanager.h"

#include "core/artwork.h"
#include "records/listformats.h"
#include "records/procedurecall.h"
#include "setup/startuprepair.h"
#include "runtime/data/datafile.h"
#include "runtime/threads/halt.h"
#include "runtime/threads/messagebox.h"
#include "runtime/threads/scheduler.h"
#include "runtime/threads/threadwindows.h"
#include "runtime/ui/listcontrol.h"
#include "runtime/ui/window.h"
#include "runtime/ui/windowbuilder.h"

#include <QFormLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>

#include <vector>

namespace tbk {

using namespace tbk::data;

namespace {

const QString kListName = QStringLiteral("ListQueue");
const QString kListFormat = QStringLiteral(
    "14L(2)I@s2@80L(2)|M~Table~@s40@40R(2)|M~Records~@s10@200L(2)|M~File~@s144@");

enum class Action { Build, Pack, Release, Fix, Info };

const QString kPackFailed = QStringLiteral("Error packing file : ");
const QString kBuildFailed = QStringLiteral("Error building keys : ");

// One row of the list: the fields in the list's order.
struct ListQueueRow {
    QString TAG;                       // "1" when tagged
    qint32 TAGICON = 0;                // 1: the tick
    QString FILEDESC;                  // "Table"
    QString FILERECORDS = QStringLiteral("?");
    QString DISKNAME;                  // "File", filled by Info
    QString FILENAME;                  // the label, which selects the data file

    bool tagged() const { return TAG == QLatin1String("1"); }
};

class ListQueue : public ListRows {
public:
    std::vector<ListQueueRow> rows;

    int rowCount() const override { return int(rows.size()); }
    QVariant field(int row, int field) const override {
        const ListQueueRow &r = rows[size_t(row)];
        switch (field) {
        case 1: return {};   // the tag column shows its tick alone, not the tag's text
        case 2: return r.TAGICON;
        case 3: return r.FILEDESC;
        case 4: return r.FILERECORDS;
        case 5: return r.DISKNAME;
        case 6: return r.FILENAME;
        default: return {};
        }
    }
};

// "Progress...": the file at hand and how many are left.
class ActionProgress {
public:
    explicit ActionProgress(int filesLeft) {
        window_ = new QWidget;
        window_->setObjectName(QStringLiteral("Progress"));
        window_->setWindowTitle(QStringLiteral("Progress..."));
        auto *form = new QFormLayout(window_);
        current_ = new QLabel(window_);
        current_->setObjectName(QStringLiteral("CurrentFile"));
        current_->setMinimumWidth(140);
        left_ = new QLabel(window_);
        left_->setObjectName(QStringLiteral("FilesLeft"));
        form->addRow(QStringLiteral("Current File :"), current_);
        form->addRow(QStringLiteral("Files Left     :"), left_);
        setFilesLeft(filesLeft);
        adoptWindow(window_);
        window_->show();
    }
    ~ActionProgress() {
        if (!window_)
            return;
        releaseWindow(window_);
        window_->hide();
        window_->deleteLater();
    }
    ActionProgress(const ActionProgress &) = delete;
    ActionProgress &operator=(const ActionProgress &) = delete;

    void setCurrentFile(const QString &label) { current_->setText(label); }
    void setFilesLeft(int n) { left_->setText(QString::number(n)); }

private:
    QPointer<QWidget> window_;
    QLabel *current_ = nullptr;
    QLabel *left_ = nullptr;
};

class FileManagerWindow : public Window {
public:
    FileManagerWindow() : Window(QStringLiteral("FileManager")) {
        for (const QString &label : filemanager::tableLabels()) {
            ListQueueRow r;
            r.FILEDESC = label;
            r.FILENAME = label;
            queue_.rows.push_back(r);
        }
    }

protected:
    QWidget *createWindow() override {
        WindowBuilder b(*this, QStringLiteral("File Manager"), {330, 150});
        list_ = b.list(kListName, restoreListFormat(procedureName(), kListName, kListFormat), 120);
        list_->setRows(&queue_);
        list_->setIcons({artworkIcon(QStringLiteral("SmallTik.Ico"))});
        list_->setMarking(true);
        const auto button = [&](const char *text, const char *tip, std::function<void()> fn) {
            QPushButton *p = b.button(QString::fromLatin1(text), QString::fromLatin1(tip));
            on(p, EventKind::Accepted, std::move(fn));
        };
        button("&Tag All", "Tag all the files", [this] { tagAll(true); });
        button("&Untag All", "Untag all of the files", [this] { tagAll(false); });
        button("&Build", "Build the key files for the tagged data files", [this] { runAction(Action::Build); });
        button("&Pack", "Pack the tagged data files", [this] { runAction(Action::Pack); });
        button("&Release", "Release any held records in the tagged files", [this] { runAction(Action::Release); });
        button("&Fix", "", [this] { runAction(Action::Fix); });
        button("&Info", "", [this] { runAction(Action::Info); });
        button("&Done", "Close this window", [this] { closeWindow(); });
        on(list_, EventKind::Accepted, [this] { listAccepted(); });
        QWidget *w = b.finish();
        list_->setCurrentRow(0);
        return w;
    }

    void closeRoutine() override { saveListFormat(procedureName(), kListName, list_->format()); }

    // A watched repair's end: value its exit status, text its words, source the file.
    void takeEvent(const Event &e) override {
        if (e.kind == EventKind::User)
            showRepairOutcome(e.source, e.value, e.text);
        else
            Window::takeEvent(e);
    }

private:
    void tagAll(bool tagged) {
        for (int r = 0; r < queue_.rowCount(); ++r) {
            queue_.rows[size_t(r)].TAG = tagged ? QStringLiteral("1") : QString();
            queue_.rows[size_t(r)].TAGICON = tagged ? 1 : 0;
            list_->setMarked(r, tagged);
        }
        list_->listModel()->rowsChanged(0, queue_.rowCount() - 1);
    }

    // The user's marks are the tags; the ticks follow the tags.
    void listAccepted() {
        const QList<int> marked = list_->markedRows();
        for (int r = 0; r < queue_.rowCount(); ++r) {
            ListQueueRow &row = queue_.rows[size_t(r)];
            row.TAG = marked.contains(r) ? QStringLiteral("1") : QString();
            row.TAGICON = row.TAG == QLatin1String("1") || row.TAG == QLatin1String("*") ? 1 : 0;
        }
        list_->listModel()->rowsChanged(0, queue_.rowCount() - 1);
    }

    void runAction(Action action) {
        int left = 0;
        for (const ListQueueRow &r : queue_.rows)
            left += r.tagged() ? 1 : 0;
        ActionProgress progress(left);
        bool ranOnData = false;
        for (int r = 0; r < queue_.rowCount(); ++r) {
            if (!queue_.rows[size_t(r)].tagged())
                continue;
            progress.setCurrentFile(queue_.rows[size_t(r)].FILEDESC);
            ranOnData |= actOnRow(r, action);
            progress.setFilesLeft(--left);
        }
        const int highlighted = list_->currentRow();
        if (!ranOnData && highlighted >= 0) {
            progress.setFilesLeft(1);
            progress.setCurrentFile(queue_.rows[size_t(highlighted)].FILEDESC);
            actOnRow(highlighted, action);
            progress.setFilesLeft(0);
        }
    }

    // False when the row has no data file behind it.
    bool actOnRow(int r, Action action) {
        DataFile *file = DataFile::find(queue_.rows[size_t(r)].FILENAME);
        if (!file)
            return false;
        ListQueueRow &row = queue_.rows[size_t(r)];
        // Opening and closing a file happen in one go on this thread: a thread that ran in
        // between and opened the file for itself would find it held and end the program.
        switch (action) {
        case Action::Build:
            build(*file, row);
            break;
        case Action::Pack:
            if (!withExclusiveOpen(*file, row, kPackFailed, [file] { return file->pack(); }))
                exclusiveAccessRefused();
            break;
        case Action::Release:
            release(*file, row);
            break;
        case Action::Fix:
            FixDataFile(*file, [window = QPointer<QWidget>(widget())](const QString &name, int status,
                                                                       const QString &said) {
                Event e = Event::of(EventKind::User);
                e.source = name;
                e.value = status;
                e.text = said;
                // After the File Manager has closed, the message stands on a thread of its own.
                if (!postToWindow(window, std::move(e)))
                    startThread([name, status, said] { showRepairOutcome(name, status, said); });
            });
            break;
        case Action::Info:
            info(*file, row);
            break;
        }
        list_->listModel()->rowsChanged(r, r);
        // The small window and the other threads have their turn between files.
        yieldNow();
        return true;
    }

    static void exclusiveAccessRefused() {
        message(QStringLiteral("This option requires exclusive file access.\nPlease ensure no other users are in the "
                               "system."),
                QStringLiteral("File Access Error"), MessageIcon::None, ButtonOK);
    }

    // A pack or build the driver refused; the row keeps what it showed.
    static void actionFailed(const QString &what, const ListQueueRow &row, const QString &why) {
        message(what + row.FILENAME + QStringLiteral(" Error : ") + why, QStringLiteral("Error"), MessageIcon::Hand);
    }

    // Opens the file denying all others, works on it, counts its records and closes it. A file
    // this program or another one holds is left as it is (false). Work that fails is told once
    // the file is closed: the box lets the other threads run.
    static bool withExclusiveOpen(DataFile &file, ListQueueRow &row, const QString &failed,
                                  const std::function<bool()> &work) {
        if (!file.open(Exclusive))
            return false;
        const bool done = work();
        const QString why = done ? QString() : shownErrorText();
        if (done)
            row.FILERECORDS = QString::number(file.records());
        file.close();
        if (!done)
            actionFailed(failed, row, why);
        return true;
    }

    static void build(DataFile &file, ListQueueRow &row) {
        const auto rebuild = [&file] {
            file.send(QStringLiteral("FULLBUILD=on"));
            return file.buildKeys();
        };
        if (withExclusiveOpen(file, row, kBuildFailed, rebuild))
            return;
        if (errorCode() != InvalidKeyFile) {
            exclusiveAccessRefused();
            return;
        }
        // Damaged keys refuse every open: the rebuild works on the closed file, for itself alone.
        if (!rebuild())
            actionFailed(kBuildFailed, row, shownErrorText());
        else if (!withExclusiveOpen(file, row, kBuildFailed, [] { return true; }))
            exclusiveAccessRefused();
    }

    static void release(DataFile &file, ListQueueRow &row) {
        file.send(QStringLiteral("RECOVER=1"));
        const bool opened = withExclusiveOpen(file, row, QString(), [&file] {
            file.send(QStringLiteral("IGNORESTATUS=ON"));
            file.setPhysical();
            while (file.next()) {
                if (file.send(QStringLiteral("HELD")).compare(QLatin1String("ON"), Qt::CaseInsensitive) == 0) {
                    file.send(QStringLiteral("RECOVER=1"));
                    file.reget();
                }
            }
            file.send(QStringLiteral("RECOVER=0"));
            file.send(QStringLiteral("IGNORESTATUS=OFF"));
            return true;
        });
        // An open that failed must not leave its wait for the next one.
        file.send(QStringLiteral("RECOVER=0"));
        if (!opened)
            exclusiveAccessRefused();
    }

    static void info(DataFile &file, ListQueueRow &row) {
        const bool opened = file.open(SharedReadOnly);
        if (!opened && errorCode() != FileAlreadyOpen) {
            row.FILERECORDS = QStringLiteral("?");
            stop(QStringLiteral("Error opening file : ") + row.FILENAME + QStringLiteral(" Error : ") + errorText());
            return;
        }
        row.FILERECORDS = QString::number(file.records());
        row.DISKNAME = file.name();
        if (opened)
            file.close();
    }

    ListQueue queue_;
    ListControl *list_ = nullptr;
};

} // namespace

const QStringList &filemanager::tableLabels() {
    static const QStringList labels{
        QStringLiteral("AddWizard"), QStringLiteral("Album"),       QStringLiteral("Categories"),
        QStringLiteral("Configuration"), QStringLiteral("EventLog"), QStringLiteral("Fonts"),
        QStringLiteral("Input"),     QStringLiteral("Labels"),      QStringLiteral("TBKTips"),
        QStringLiteral("Media"),     QStringLiteral("Tunebank"),    QStringLiteral("PlaylistDetails"),
        QStringLiteral("PlaylistMaster")};
    return labels;
}

void FileManager() {
    ProcedureCall call;
    if (OfferStartupRepair() != RepairOffer::NoFileMarked)
        return;
    FileManagerWindow w;
    w.run();
}

} // namespace tbk
