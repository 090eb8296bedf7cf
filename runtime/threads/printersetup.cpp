#include "runtime/threads/printersetup.h"

#include "runtime/threads/dialogrun.h"
#include "runtime/threads/halt.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tbk {

namespace {

// Qt's own set-up dialogs do not serve here: the page set-up keeps its choices only when run by
// exec() and cannot choose the printer, and the print dialog opens nested loops (properties,
// file browser, questions) and offers to print. This one chooses and keeps, nothing more.
class PrinterSetup : public QDialog {
public:
    PrinterSetup(QPrinter &printer, const QString &title) : printer_(printer) {
        setWindowTitle(title);
        printers_ = new QComboBox;
        printers_->setObjectName(QStringLiteral("Printer"));
        for (const QString &name : QPrinterInfo::availablePrinterNames())
            printers_->addItem(name, name);
        printers_->addItem(tr("Print to File (PDF)"), QString());
        paper_ = new QComboBox;
        paper_->setObjectName(QStringLiteral("PaperSize"));
        portrait_ = new QRadioButton(tr("Portrait"));
        portrait_->setObjectName(QStringLiteral("Portrait"));
        landscape_ = new QRadioButton(tr("Landscape"));
        landscape_->setObjectName(QStringLiteral("Landscape"));

        auto *orientation = new QGroupBox(tr("Orientation"));
        auto *radios = new QHBoxLayout(orientation);
        radios->addWidget(portrait_);
        radios->addWidget(landscape_);
        auto *form = new QFormLayout;
        form->addRow(tr("&Printer:"), printers_);
        form->addRow(tr("Paper &size:"), paper_);
        auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        auto *layout = new QVBoxLayout(this);
        layout->addLayout(form);
        layout->addWidget(orientation);
        layout->addWidget(buttons);
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

        const bool pdf = printer.outputFormat() == QPrinter::PdfFormat;
        const int index = printers_->findData(pdf ? QString() : printer.printerName());
        printers_->setCurrentIndex(index >= 0 ? index : printers_->count() - 1);
        fillPaper(printer.pageLayout().pageSize());
        connect(printers_, &QComboBox::currentIndexChanged, this, [this] { fillPaper(chosenPaper()); });
        (printer.pageLayout().orientation() == QPageLayout::Landscape ? landscape_ : portrait_)->setChecked(true);
    }

    void keep() {
        const QString name = printers_->currentData().toString();
        if (name.isEmpty()) {
            printer_.setOutputFormat(QPrinter::PdfFormat);
        } else {
            printer_.setOutputFormat(QPrinter::NativeFormat);
            printer_.setPrinterName(name);
        }
        printer_.setPageSize(chosenPaper());
        printer_.setPageOrientation(landscape_->isChecked() ? QPageLayout::Landscape : QPageLayout::Portrait);
    }

private:
    QPageSize chosenPaper() const { return paper_->currentData().value<QPageSize>(); }

    // The sizes the chosen printer takes (every standard size for a file), the present one kept
    // when the printer takes it.
    void fillPaper(const QPageSize &keep) {
        QList<QPageSize> sizes;
        const QString name = printers_->currentData().toString();
        if (!name.isEmpty())
            sizes = QPrinterInfo::printerInfo(name).supportedPageSizes();
        if (sizes.isEmpty())
            for (int id = 0; id < QPageSize::LastPageSize; ++id)
                if (QPageSize::PageSizeId(id) != QPageSize::Custom)
                    sizes.append(QPageSize(QPageSize::PageSizeId(id)));
        paper_->clear();
        for (const QPageSize &size : sizes)
            paper_->addItem(size.name(), QVariant::fromValue(size));
        int index = -1;
        for (int i = 0; i < sizes.size() && index < 0; ++i)
            if (sizes[i].isEquivalentTo(keep))
                index = i;
        if (index < 0)
            index = paper_->findData(QVariant::fromValue(QPageSize(QPageSize::A4)));
        paper_->setCurrentIndex(std::max(index, 0));
    }

    QPrinter &printer_;
    QComboBox *printers_;
    QComboBox *paper_;
    QRadioButton *portrait_;
    QRadioButton *landscape_;
};

} // namespace

QPrinter &sharedPrinter() {
    // Never destroyed: it must outlive every printout, whatever the order of exit.
    static QPrinter *printer = [] {
        auto *p = new QPrinter(QPrinter::HighResolution);
        // As TBK_CDROM chooses the drive: a path ending ".pdf" prints into that file, any other
        // text names the printer.
        const QString chosen = qEnvironmentVariable("TBK_PRINTER");
        if (chosen.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive)) {
            p->setOutputFormat(QPrinter::PdfFormat);
            p->setOutputFileName(chosen);
        } else if (!chosen.isEmpty()) {
            p->setPrinterName(chosen);
        }
        return p;
    }();
    return *printer;
}

bool printerSetupDialog(const QString &title) {
    if (halting())
        return false;
    auto *d = new PrinterSetup(sharedPrinter(), title);
    if (detail::runDialog(d) != QDialog::Accepted)
        return false;
    d->keep();
    return true;
}

} // namespace tbk
