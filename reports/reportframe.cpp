#include "reports/reportframe.h"

#include "cdaudio/mcicommand.h"
#include "core/fileaccess.h"
#include "core/help.h"
#include "core/programsettings.h"
#include "core/standardwarnings.h"
#include "reports/reportcriteria.h"
#include "runtime/data/errors.h"
#include "runtime/expr/binding.h"
#include "runtime/expr/exprview.h"
#include "runtime/report/preview.h"
#include "runtime/report/printing.h"
#include "runtime/report/render.h"
#include "runtime/settings/profile.h"
#include "runtime/threads/callprotocol.h"
#include "runtime/threads/dialogs.h"
#include "runtime/threads/messagebox.h"
#include "runtime/threads/printersetup.h"
#include "runtime/threads/scheduler.h"
#include "runtime/ui/fontnumbers.h"
#include "runtime/ui/progresswindow.h"
#include "runtime/values/picture.h"
#include "runtime/values/text.h"

#include <QDir>
#include <QFontMetricsF>
#include <QPrinter>

#include <memory>

namespace tbk {

using report::Report;

namespace {

constexpr int kRecordsPerCycle = 25;
// Rows fetched with one statement within a turn: a turn's records and those it skips.
constexpr int kReadAhead = 64;
const char *const kPreviewSettings = "RPTPREV.INI";
const char *const kNote = "NOTE...";
// Record checks.
enum Check { PrintIt = 0, EndOfScan = 1, SkipIt = 2 };

// "QUICKSCAN=on" for the report's files while the scan runs, whichever way it ends.
class QuickScan {
public:
    explicit QuickScan(const std::vector<data::DataFile *> &files) : files_(files) { send(QStringLiteral("on")); }
    ~QuickScan() { send(QStringLiteral("off")); }
    QuickScan(const QuickScan &) = delete;
    QuickScan &operator=(const QuickScan &) = delete;

private:
    void send(const QString &state) {
        for (data::DataFile *f : files_)
            f->send(QStringLiteral("QUICKSCAN=") + state);
    }
    const std::vector<data::DataFile *> &files_;
};

// A field's value shown by a detail element.
struct FieldColumn {
    report::Element *element;
    data::FieldRef field;
};

// Every band of the layout, the detail bands included.
template <class Fn>
void forEachBand(report::Layout &l, Fn fn) {
    for (report::Band *b : {&l.header, &l.footer, &l.overlay, &l.totals})
        fn(*b);
    for (report::Band &b : l.details)
        fn(b);
}

class ReportRun {
public:
    explicit ReportRun(const ReportMember &m)
        : m_(m), main_(m.scanned ? *m.scanned : *m.files.back()), startDir_(QDir::currentPath()) {
        for (data::DataFile *f : m.given)
            given_.push_back(f->record());
    }
    ~ReportRun();
    ReportRun(const ReportRun &) = delete;
    ReportRun &operator=(const ReportRun &) = delete;

    void run();

private:
    // Criteria or the question; false when the run ends here.
    bool start();
    void scan();
    void output();

    bool nextRecord();
    int recordCheck();
    int fetch();
    void progressStep();
    void openReport();
    void customFont();
    // False when the member's own printing ended the scan.
    bool printDetail();
    bool selected() const;
    void cancelAsked();
    // What the run is at, kept across its turns: another window may read into the shared
    // buffers meanwhile.
    void keepRecords();
    void restoreRecords();
    void restoreGiven();

    const ReportMember &m_;
    data::DataFile &main_;
    const QString startDir_;
    qint32 local_ = 0;
    bool preview_ = true;
    bool partial_ = false;
    bool escaped_ = false;
    bool closing_ = false;
    int runCopies_ = 1;
    qint64 total_ = 0;
    qint64 processed_ = 0;
    int perCycle_ = kRecordsPerCycle;
    int percent_ = 0;
    int shown_ = 0;
    std::unique_ptr<ProgressWindow> progress_;
    std::unique_ptr<expr::ExprView> view_;
    std::unique_ptr<Report> report_;
    QString filter_;
    QString detail_;
    std::vector<FieldColumn> columns_;
    std::vector<data::Record> held_;
    std::vector<data::Record> given_;
};

ReportRun::~ReportRun() {
    // The close step: files and names go with their holders in run().
    GlobalResponse = local_ == 0 ? RequestCancelled : local_;
    if (clip(QDir::currentPath()).toUpper() != clip(startDir_).toUpper())
        QDir::setCurrent(startDir_);
}

bool ReportRun::start() {
    switch (m_.start) {
    case ReportStart::Criteria: {
        GlobalRequest = SelectRecord;
        ReportCriteria(m_.noun);
        const qint32 answer = GlobalResponse;
        GlobalResponse = RequestCancelled;
        if (answer != RequestCompleted)
            return false;
        restoreGiven();
        if (clip(ReportLayout.str()) == QLatin1String("Brief") && m_.brief) {
            m_.brief();
            local_ = GlobalResponse;
            return false;
        }
        preview_ = ReportPreviewChoice != 0;
        return true;
    }
    case ReportStart::Twin:
        preview_ = ReportPreviewChoice != 0;
        return true;
    case ReportStart::Preview:
        preview_ = true;
        return true;
    case ReportStart::Question:
        switch (message(QStringLiteral("Do you wish to PREVIEW this Report?"), QStringLiteral("Preview"),
                        MessageIcon::Exclamation, ButtonYes | ButtonNo | ButtonCancel, ButtonYes)) {
        case ButtonYes:
            preview_ = true;
            return true;
        case ButtonNo:
            preview_ = false;
            return true;
        default:
            return false;
        }
    }
    return false;
}

void ReportRun::run() {
    if (!start())
        return;
    restoreGiven();
    expr::BoundNames names(expr::programScope());
    names.add(expr::programScope().bind(QStringLiteral("ReportSelection"), expr::Type::Text,
                                        [] { return expr::Value(ReportSelection.str()); }));
    names.add(expr::programScope().bind(QStringLiteral("SelectedOrAll"), expr::Type::Text,
                                        [] { return expr::Value(SelectedOrAll.str()); }));
    GlobalRequest = NoRequest;
    GlobalResponse = NoRequest;
    FilesInUse files;
    for (data::DataFile *f : m_.files)
        files.add(*f);
    filter_ = m_.filterOnOpen ? m_.filterOnOpen() : m_.filter;
    scan();
    if (report_ && m_.totals) {
        m_.totals(*report_);
        report_->printTotals();
    }
    output();
}

void ReportRun::scan() {
    total_ = main_.records();
    progress_ = std::make_unique<ProgressWindow>(
        preview_ ? QStringLiteral("Generating Report") : QStringLiteral("Printing Report"),
        m_.countRecords ? QStringLiteral("0 Completed") : QStringLiteral("0% Completed"), true);
    if (m_.perTurn > 0)
        perCycle_ = m_.perTurn;
    static const std::vector<data::DataFile *> none;
    QuickScan quick(m_.noQuickScan ? none : m_.quickScan.empty() ? m_.files : m_.quickScan);
    view_ = std::make_unique<expr::ExprView>(main_, m_.key);
    view_->setNames(&expr::programScope());
    if (m_.join) {
        std::vector<const data::RecordBuffer *> joined(m_.joined.begin(), m_.joined.end());
        view_->setJoin(std::move(joined), m_.join);
    }
    if (!view_->setFilter(filter_)) {
        ShowStandardWarningPlain(36);
        view_->setFilter(QString());
    }
    if (!view_->open())
        ShowStandardWarningPlain(36);
    view_->setReadAhead(kReadAhead);
    if (m_.startAt) {
        m_.startAt();
        view_->setFromBuffer();
    } else {
        view_->set();
    }
    if (fetch() == EndOfScan)
        return;
    openReport();
    keepRecords();
    while (!closing_) {
        // The window's turn: Cancel and Esc, and the other threads run.
        yieldNow();
        if (progress_->cancelled()) {
            cancelAsked();
            if (closing_)
                break;
        }
        // Nothing read before the other windows ran is trusted but the record at hand.
        view_->dropReadAhead();
        restoreRecords();
        for (int n = 0; n < perCycle_ && !closing_; ++n) {
            FormatReportSongTime(0, 1);
            if (selected() && !printDetail()) {
                local_ = RequestCompleted;
                closing_ = true;
                break;
            }
            if (fetch() == EndOfScan) {
                local_ = RequestCompleted;
                closing_ = true;
            }
        }
        keepRecords();
    }
}

bool ReportRun::nextRecord() {
    if (view_->next()) {
        if (m_.pastEnd && m_.pastEnd()) {
            local_ = RequestCancelled;
            return false;
        }
        local_ = RequestCompleted;
        progressStep();
        return true;
    }
    local_ = RequestCancelled;
    if (data::errorCode() != data::RecordNotAvailable)
        ShowStandardWarningWithText(35, main_.label());
    return false;
}

int ReportRun::recordCheck() {
    if (local_ == RequestCancelled)
        return EndOfScan;
    return m_.skip && m_.skip() ? SkipIt : PrintIt;
}

int ReportRun::fetch() {
    int check = SkipIt;
    while (check == SkipIt) {
        nextRecord();
        check = recordCheck();
    }
    return check;
}

void ReportRun::progressStep() {
    ++processed_;
    // A file counted empty that gains records meanwhile is done at once, never divided by 0.
    if (percent_ < 100)
        percent_ = total_ <= 0 ? 100 : int(std::min<qint64>(100, processed_ * 100 / total_));
    if (m_.countRecords) {
        progress_->showPercent(percent_);
        progress_->setText(QStringLiteral("%1 Records Completed").arg(processed_));
        return;
    }
    if (percent_ == shown_)
        return;
    shown_ = percent_;
    // The bar and text only: a turn never lets other windows in halfway.
    progress_->showPercent(percent_);
    progress_->setText(QStringLiteral("%1% Completed").arg(percent_, 3));
}

bool ReportRun::selected() const {
    if (clip(SelectedOrAll.str()) != QLatin1String("Selected"))
        return true;
    const QString wanted = clip(ReportSelection.str());
    return !m_.startsWith || m_.startsWith().startsWith(wanted, Qt::CaseInsensitive);
}

bool ReportRun::printDetail() {
    if (m_.printRecord)
        return m_.printRecord(*report_);
    for (FieldColumn &c : columns_)
        c.element->value = c.field.value();
    if (m_.beforePrint)
        m_.beforePrint(*report_);
    report_->print(detail_);
    return true;
}

void ReportRun::openReport() {
    report_ = std::make_unique<Report>(m_.layout);
    report::Layout &layout = report_->layout();
    // The copies chosen in Print Setup are the report's; the printer's own stay as they are.
    QPrinter &printer = sharedPrinter();
    report_->copies = std::max(1, printer.copyCount());
    report_->collate = printer.collateCopies();
    runCopies_ = report_->copies;
    if (report_->collate)
        report_->copies = 1;
    const QString dates = datePictureFor(DateFormat.str());
    for (report::Band &b : layout.details)
        for (report::Element &e : b.elements)
            if (!dates.isEmpty() && pictureFamily(e.picture) == QLatin1Char('d'))
                e.picture = dates;
    if (!m_.title.isEmpty())
        if (report::Element *title = report_->element(QStringLiteral("ReportTitle")))
            title->text = m_.title;
    if (m_.opened)
        m_.opened(*report_);
    if (ReportUseCustomFont == 1 && !m_.fontKey.isEmpty())
        customFont();
    const bool queued = preview_ ||
                        (report_->copies > 1 && report::SUPPORTED(report::kPrinterCopiesProperty) != 1) ||
                        report_->collate;
    report_->setOutput(queued ? Report::Output::Queue : Report::Output::Printer);
    detail_ = layout.details.isEmpty() ? QString() : layout.details.front().name;
    if (report::Band *band = layout.detail(detail_))
        for (report::Element &e : band->elements)
            if (const data::FieldRef f = data::findField(e.name); f.valid())
                columns_.push_back({&e, f});
}

void ReportRun::customFont() {
    const QString ini = QString::fromLatin1(kProgramIniName);
    const QString section = QString::fromLatin1(kFontsSection);
    auto entry = [&](const char *name) {
        return getIni(section, QString::fromLatin1(name) + m_.fontKey, QString(), ini);
    };
    FontNumbers numbers;
    numbers.typeface = entry("FontName").left(32);
    numbers.size = int(numericValue(entry("FontSize")));
    numbers.colour = qint64(numericValue(entry("FontColor")));
    numbers.style = int(numericValue(entry("FontStyle")));
    report::Layout &layout = report_->layout();
    QColor colour = colourOfNumber(numbers.colour);
    const std::optional<QFont> chosen =
        fontDialog(fontOfNumbers(numbers, report::fontOfSpec(layout.font)),
                   QStringLiteral("Select Custom Font for Report"), &colour);
    if (!chosen)
        return;
    const report::FontSpec spec = report::fontSpecOf(*chosen, colour);
    // Lines of a larger font need more room than the design gave them.
    const double grown = QFontMetricsF(report::fontInMils(spec)).lineSpacing() /
                         QFontMetricsF(report::fontInMils(layout.font)).lineSpacing();
    forEachBand(layout, [&](report::Band &b) {
        for (report::Element &e : b.elements) {
            e.font = spec;
            e.ownFont = true;
            if (grown > 1)
                e.rect.moveTop(qRound(e.rect.top() * grown));
        }
        if (grown > 1)
            b.height = qRound(b.height * grown);
    });
    layout.font = spec;
    const FontNumbers kept = numbersOfFont(*chosen, colour);
    putIni(section, QStringLiteral("FontName") + m_.fontKey, kept.typeface, ini);
    putIni(section, QStringLiteral("FontSize") + m_.fontKey, QString::number(kept.size), ini);
    putIni(section, QStringLiteral("FontColor") + m_.fontKey, QString::number(kept.colour), ini);
    putIni(section, QStringLiteral("FontStyle") + m_.fontKey, QString::number(kept.style), ini);
}

void ReportRun::cancelAsked() {
    const bool escape = progress_->cancelledByEscape();
    if (message(QStringLiteral("Are you sure you want to CANCEL this Report?"), QStringLiteral("Question"),
                MessageIcon::Exclamation, ButtonYes | ButtonNo, ButtonNo) != ButtonYes) {
        progress_->resume();
        return;
    }
    perCycle_ = 1;
    if (preview_ && report_ && !report_->queue().isEmpty()) {
        switch (message(QStringLiteral("Report Cancellation Requested!\n \nPreview Report generated so far?"),
                        QStringLiteral("Question"), MessageIcon::Exclamation, ButtonYes | ButtonNo | ButtonIgnore,
                        ButtonNo)) {
        case ButtonYes:
            local_ = RequestCompleted;
            partial_ = true;
            break;
        case ButtonIgnore:
            progress_->resume();
            return;
        default:
            local_ = RequestCancelled;
            break;
        }
    } else {
        local_ = RequestCancelled;
    }
    closing_ = true;
    // Esc counts only when its question ended the run: a run taken up again ends as any other.
    escaped_ = escape;
}

void ReportRun::keepRecords() {
    held_.clear();
    held_.push_back(main_.record());
    for (data::DataFile *f : m_.joined)
        held_.push_back(f->record());
}

void ReportRun::restoreRecords() {
    main_.setRecord(held_[0]);
    for (size_t i = 0; i < m_.joined.size(); ++i)
        m_.joined[i]->setRecord(held_[i + 1]);
    restoreGiven();
}

void ReportRun::restoreGiven() {
    for (size_t i = 0; i < m_.given.size(); ++i)
        m_.given[i]->setRecord(given_[i]);
}

void ReportRun::output() {
    progress_.reset();
    if (view_)
        view_->close();
    if (report_)
        report_->nameUnreadablePictures();
    auto note = [](const char *text) {
        message(QString::fromLatin1(text), QString::fromLatin1(kNote), MessageIcon::Information, ButtonOK);
    };
    if (preview_) {
        if ((local_ == RequestCompleted && !escaped_) || partial_) {
            if (report_)
                report_->endPage();
            if (report_ && !report_->queue().isEmpty()) {
                report_->copies = runCopies_;
                local_ = report::PRINTPREVIEW(report_->queue(), 100, QString::fromLatin1(kPreviewSettings));
                GlobalResponse = local_;
                if (local_ == RequestCompleted)
                    report::HANDLECOPIES(report_->queue(), report_->copies, report_->collate);
            } else {
                note("Nothing to Preview.");
            }
        } else if (!report_) {
            note("Nothing to Preview.");
        }
    } else if (!report_) {
        note("Nothing to Print.");
    } else if (escaped_) {
        report_->queue().clear();
        report_->discardPage();
    } else if (report_->output() == Report::Output::Queue) {
        report_->endPage();
        if (!report_->queue().isEmpty())
            report::HANDLECOPIES(report_->queue(), report_->collate ? runCopies_ : report_->copies, report_->collate);
        else
            note("Nothing to Print.");
    }
    if (report_) {
        report_->close();
        report_->queue().clear();
    }
    setHelpFile(QString::fromLatin1(kHelpFileName));
}

} // namespace

void runReport(const ReportMember &member) {
    ReportRun run(member);
    run.run();
}

} // namespace tbk
