#include "core/datafiles.h"
#include "labels/labelwindows.h"
#include "labels/labelwizardbase.h"
#include "runtime/ui/fieldcontrol.h"
#include "runtime/ui/windowbuilder.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tbk {

namespace {

const QString kImage = QStringLiteral("LAB:IMAGENAME");
const QString kSize = QStringLiteral("LAB:IMAGESIZE");
const QString kWidth = QStringLiteral("LAB:IMAGESIZEX");
const QString kHeight = QStringLiteral("LAB:IMAGESIZEY");
const QString kX = QStringLiteral("LAB:IMAGEPOSITIONX");
const QString kY = QStringLiteral("LAB:IMAGEPOSITIONY");
const QStringList kJustifications{QStringLiteral("Left"), QStringLiteral("Center"), QStringLiteral("Right")};

// The last label the form saved in this run.
DittoStore &formDitto() {
    static DittoStore store;
    return store;
}

class UpdateLabelsWindow : public LabelFormBase {
public:
    UpdateLabelsWindow()
        : LabelFormBase(QStringLiteral("UpdateLabels"), formDitto(),
                        {QStringLiteral("LAB:LABELTYPE"), QStringLiteral("LAB:LABELDESCRIPTION"),
                         QStringLiteral("LAB:CDSPINE"), QStringLiteral("LAB:CDTITLE"), kImage,
                         QStringLiteral("LAB:CDSPINEJUSTIFICATION"), QStringLiteral("LAB:CDTEXTJUSTIFICATION"),
                         QStringLiteral("LAB:CDBACKCOVERJUSTIFICATION"), kX, kY, kSize, kWidth, kHeight}) {
        record().setDittoBeforeWrite(true);
    }

protected:
    void primeFields() override { primeLabelDefaults(); }

    QWidget *createForm() override {
        WindowBuilder b(*this, QStringLiteral("Update Label"), {300, 200});
        b.tab(QStringLiteral("General"));
        typeChoice(b, QStringLiteral("Label Type"));
        titleRows(b);
        b.endTab();
        b.tab(QStringLiteral("Front Cover"));
        textPage(b, QStringLiteral("Front cover (inside) text:"), QStringLiteral("LAB:CDInsideText"),
                 QStringLiteral("LAB:CDINSIDETEXTFONTID"));
        b.endTab();
        b.tab(QStringLiteral("Back Cover"));
        textPage(b, QStringLiteral("Back cover text:"), QStringLiteral("LAB:CDCoverText"),
                 QStringLiteral("LAB:CDCOVERTEXTFONTID"));
        b.endTab();
        b.tab(QStringLiteral("Position"));
        b.option(QStringLiteral("Spine Text Justification"), QStringLiteral("LAB:CDSPINEJUSTIFICATION"), kJustifications);
        b.option(QStringLiteral("Front Cover Justification"), QStringLiteral("LAB:CDTEXTJUSTIFICATION"), kJustifications);
        b.option(QStringLiteral("Back Cover Justification"), QStringLiteral("LAB:CDBACKCOVERJUSTIFICATION"),
                 kJustifications);
        b.column();
        imageGroup_ = b.group(QStringLiteral("Image Position"));
        b.entry(QStringLiteral("&X-Axis:"), kX, QStringLiteral("@n-13"));
        b.text(QStringLiteral("1000ths of an inch from left"));
        b.entry(QStringLiteral("&Y-Axis:"), kY, QStringLiteral("@n-13"));
        b.text(QStringLiteral("1000ths of an inch from top"));
        b.endGroup();
        QGroupBox *size =
            b.option(QStringLiteral("Size"), kSize,
                     {QStringLiteral("Actual"), QStringLiteral("Thumbnail"), QStringLiteral("Other")});
        width_ = b.entry(QStringLiteral("&Width:"), kWidth, QStringLiteral("@n-13"));
        height_ = b.entry(QStringLiteral("&Height:"), kHeight, QStringLiteral("@s20"));
        b.endTab();
        b.tab(QStringLiteral("Side A"));
        textPage(b, QStringLiteral("Side A songs:"), QStringLiteral("LAB:CassetteContentsA"),
                 QStringLiteral("LAB:CASSETTECONTENTSFONTID"));
        b.endTab();
        b.tab(QStringLiteral("Side B"));
        textPage(b, QStringLiteral("Side B songs:"), QStringLiteral("LAB:CassetteContentsB"),
                 QStringLiteral("LAB:CASSETTECONTENTSFONTID"));
        b.endTab();

        QPushButton *preview = b.button(QStringLiteral("Preview"));
        b.button(QStringLiteral("&OK"));
        b.button(QStringLiteral("Cancel"));
        QWidget *w = b.finish();
        wireLabel(w, {QStringLiteral("Front Cover"), QStringLiteral("Back Cover"), QStringLiteral("Position")},
                  {QStringLiteral("Side A"), QStringLiteral("Side B")});
        on(preview, EventKind::Accepted, [this] { LabelFormBase::preview(); });
        on(size, EventKind::Accepted, [this] { sizeChosen(); });
        on(controls().control(kImage), EventKind::Accepted, [this] { typeShown(); });
        return w;
    }

    void formOpened() override {
        widget()->setWindowTitle(record().inserting() ? QStringLiteral("Adding a Label")
                                                      : QStringLiteral("Changing a Label"));
        // What the position shows when the label has none.
        if (record().value(kX).toLongLong() == 0)
            record().setValue(kX, 3771);
        if (record().value(kY).toLongLong() == 0)
            record().setValue(kY, 8438);
        LabelFormBase::formOpened();
    }

    void selectOnOpening() override {
        if (record().inserting())
            selectFirstField();
        else
            selectControl(controls().control(QStringLiteral("LAB:LABELDESCRIPTION")));
    }

    void typeShown() override {
        imageGroup_->setVisible(!record().value(kImage).toString().trimmed().isEmpty());
        const bool other = record().value(kSize).toString().trimmed() == QLatin1String("Other");
        for (QWidget *c : {static_cast<QWidget *>(width_), static_cast<QWidget *>(height_)}) {
            c->setVisible(other);
            if (QLabel *prompt = promptOf(c))
                prompt->setVisible(other);
        }
    }

private:
    void sizeChosen() {
        const QString size = record().value(kSize).toString().trimmed();
        if (size == QLatin1String("Actual")) {
            record().setValue(kWidth, 0);
            record().setValue(kHeight, QStringLiteral("0"));
        } else if (size == QLatin1String("Thumbnail")) {
            record().setValue(kWidth, 1000);
            record().setValue(kHeight, QStringLiteral("1000"));
        }
        refresh();
        typeShown();
    }

    QGroupBox *imageGroup_ = nullptr;
    QLineEdit *width_ = nullptr;
    QLineEdit *height_ = nullptr;
};

} // namespace

void UpdateLabels() { UpdateLabelsWindow().run(); }

} // namespace tbk
