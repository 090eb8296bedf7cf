#pragma once
// The report engine: prints a layout's bands onto pages. A detail band never splits: one that
// does not fit above the page footer ends the page. The pages go to the run's page queue (for
// the preview), or straight to the printer as each one is finished.
#include "runtime/report/pagemodel.h"
#include "runtime/report/printing.h"

#include <QFontMetricsF>
#include <QHash>
#include <QSet>
#include <QStringList>

#include <memory>

namespace tbk::report {

class Report {
public:
    enum class Output { Queue, Printer };

    explicit Report(Layout layout);
    ~Report();
    Report(const Report &) = delete;
    Report &operator=(const Report &) = delete;

    Layout &layout() { return layout_; }
    // The element of that name in any band (to change it at run time); null when none.
    Element *element(const QString &name) { return layout_.element(name); }

    // Where the pages go; chosen before the first band is printed.
    void setOutput(Output output) { output_ = output; }
    Output output() const { return output_; }

    // Prints the detail band of that name; false when the layout has none.
    bool print(const QString &band);
    void printTotals();
    // Ends the page being made, if any.
    void endPage();
    // Drops the page being made, if any: nothing of it prints.
    void discardPage();
    // Ends the last page, sends the queued pages to the printer when asked to, and ends a
    // printout that went straight to the printer. False when printing failed.
    bool close();
    // Closing sends the queued pages to the printer (the preview's Print).
    void setPrintOnClose(bool print) { printOnClose_ = print; }

    PreviewImageQueue &queue() { return queue_; }
    // The picture files met that exist but could not be read, each once, with the reader's
    // reason ("cover.wmf: Unsupported image format").
    const QStringList &unreadablePictures() const { return unreadable_; }
    // Names in one message those not named yet: before the pages are shown or printed.
    void nameUnreadablePictures();
    // The number of the page being made (0 before the first).
    int pageNumber() const { return pageNumber_; }

    // The report's copies and collate settings.
    int copies = 1;
    bool collate = false;

private:
    void printBand(const Band &band);
    void startPage();
    void place(const Band &band, int top, const QRect &clip = {});
    void placeText(const Element &e, const QRect &at, const QRect &clip);
    void placeMemo(const Element &e, const QRect &at, const QRect &clip);
    void placeImage(const Element &e, const QRect &at, const QRect &clip);
    // What the page shows of a picture file: read once for each place.
    struct Picture {
        QImage image;
        QRect rect;
    };
    const Picture &picture(const QString &file, const QRect &at, const QRect &page);
    // Widths of texts in a font, in mils; the few fonts of a layout are measured once each.
    class Measure {
    public:
        explicit Measure(const FontSpec &spec);
        double width(const QString &text);
        const FontSpec spec;
        const QFontMetricsF metrics;

    private:
        std::vector<double> advances_;   // of the first characters, -1 until asked
    };
    Measure &measure(const FontSpec &spec);
    std::vector<std::unique_ptr<Measure>> measures_;
    int footerTop() const;

    Layout layout_;
    Output output_ = Output::Queue;
    PreviewImageQueue queue_;
    std::shared_ptr<Page> page_;
    int pageNumber_ = 0;
    int y_ = 0;
    bool pageHasDetail_ = false;
    bool printOnClose_ = false;
    bool printFailed_ = false;
    int keptCopies_ = 1;
    bool keptCollate_ = false;
    std::unique_ptr<PagePrinter> printer_;
    QHash<QString, Picture> pictures_;
    QStringList unreadable_;
    QSet<QString> unreadableFiles_;
    qsizetype named_ = 0;
};

} // namespace tbk::report
