#include "labels/labelwizardbase.h"

#include "core/datafiles.h"
#include "core/procedures.h"
#include "labels/fonts.h"
#include "runtime/threads/callprotocol.h"
#include "runtime/threads/dialogs.h"
#include "runtime/threads/messagebox.h"
#include "runtime/ui/fieldcontrol.h"
#include "runtime/ui/windowbuilder.h"

#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>

namespace tbk {

namespace {

const QString kType = QStringLiteral("LAB:LABELTYPE");
const QString kImage = QStringLiteral("LAB:IMAGENAME");
const QString kImageFilter = QStringLiteral(
    "All Files|*.*|GIF Files|*.GIF;*.gif|BMP Files|*.BMP;*.bmp|JPEG Files|*.JPG;*.jpg|Windows Metafiles|*.WMF;*.wmf");

constexpr int kFontTimer = 100;

void showWithPrompt(QWidget *control, bool visible) {
    control->setVisible(visible);
    if (QLabel *prompt = promptOf(control))
        prompt->setVisible(visible);
}

} // namespace

void primeLabelDefaults() {
    LAB.LABELTYPE = "Cassette";
    LAB.LABELDESCRIPTION = QString();
    LAB.IMAGESIZE = "Thumbnail";
    LAB.IMAGESIZEX = 1000;
    LAB.IMAGESIZEY = "1000";
}

namespace {
std::vector<data::DataFile *> withFonts(std::vector<data::DataFile *> files) {
    files.push_back(&FON);
    return files;
}
} // namespace

LabelFormBase::LabelFormBase(const QString &procedure, DittoStore &ditto, QStringList dittoFields,
                             std::vector<data::DataFile *> otherFiles)
    : Form(procedure,
           {&LAB, &LAB.KeyLabelID, QStringLiteral("LAB:KeyLabelID"), DeleteLabelRecord, UpdateLabelRecord,
            CaptureLabelLinks, {{&LAB.KeyLabelDescription, QStringLiteral("LAB:KeyLabelDescription")}}},
           withFonts(std::move(otherFiles))) {
    useDitto(ditto, Qt::Key_Apostrophe, std::move(dittoFields));
}

void LabelFormBase::typeChoice(WindowBuilder &b, const QString &prompt) {
    b.option(prompt, kType, {QStringLiteral("Cassette"), QStringLiteral("CD")});
}

QPushButton *LabelFormBase::fontButton(WindowBuilder &b, const QString &fontField, QWidget *control,
                                       std::vector<QWidget *> *set, QLabel *description) {
    QPushButton *button = b.button(QStringLiteral("Select Font"));
    button->setObjectName(QStringLiteral("SelectFont:") + fontField);
    fontButtons_.emplace_back(button, fontField);
    fonts_.push_back({control, fontField, description});
    if (set)
        set->push_back(button);
    return button;
}

void LabelFormBase::titleRows(WindowBuilder &b) {
    b.entry(QStringLiteral("&Description:"), QStringLiteral("LAB:LABELDESCRIPTION"), QStringLiteral("@s30"));
    QWidget *spine = b.entry(QStringLiteral("&Spine Text:"), QStringLiteral("LAB:CDSPINE"), QStringLiteral("@s100"));
    cdControls_.push_back(spine);
    fontButton(b, QStringLiteral("LAB:CDSPINEFONTID"), spine, &cdControls_);
    QWidget *title = b.entry(QStringLiteral("CD &Title:"), QStringLiteral("LAB:CDTITLE"), QStringLiteral("@s100"));
    cdControls_.push_back(title);
    fontButton(b, QStringLiteral("LAB:CDTITLEFONTID"), title, &cdControls_);
    QWidget *image = b.entry(QStringLiteral("&Image File:"), kImage, QStringLiteral("@s255"));
    cdControls_.push_back(image);
    QPushButton *choose = b.button(QStringLiteral("Select File"));
    cdControls_.push_back(choose);
    on(choose, EventKind::Accepted, [this] { chooseImage(); });

    QWidget *cassetteTitle = b.memo(QStringLiteral("Cassette &Title:"), QStringLiteral("LAB:CassetteTitle"), 24);
    cassetteControls_.push_back(cassetteTitle);
    fontButton(b, QStringLiteral("LAB:CASSETTETITLEFONTID"), cassetteTitle, &cassetteControls_);
    QWidget *flap = b.memo(QStringLiteral("&Flap Text:"), QStringLiteral("LAB:CassetteFlap"), 24);
    cassetteControls_.push_back(flap);
    fontButton(b, QStringLiteral("LAB:CASSETTEFLAPFONTID"), flap, &cassetteControls_);
}

void LabelFormBase::textPage(WindowBuilder &b, const QString &heading, const QString &memo, const QString &fontField) {
    b.text(heading);
    QWidget *text = b.memo({}, memo, 70);
    QLabel *description = b.text(QString(), QStringLiteral("Font:") + memo);
    fontButton(b, fontField, text, nullptr, description);
}

void LabelFormBase::wireLabel(QWidget *w, const QStringList &cdPages, const QStringList &cassettePages) {
    sheet_ = w->findChild<QTabWidget *>();
    for (int i = 0; sheet_ && i < sheet_->count(); ++i) {
        const QString text = sheet_->tabText(i).remove(QLatin1Char('&'));
        if (cdPages.contains(text))
            cdPages_.push_back(sheet_->widget(i));
        else if (cassettePages.contains(text))
            cassettePages_.push_back(sheet_->widget(i));
    }
    for (const auto &[button, field] : fontButtons_)
        on(button, EventKind::Accepted, [this, field = field] { selectFont(field); });
    on(controls().control(kType), EventKind::Accepted, [this] { showType(); });
    // Every accepted value may be a text whose font shows.
    for (QWidget *c : controls().controls())
        if (FieldControl *f = FieldControl::of(c))
            QObject::connect(f, &FieldControl::accepted, w, [this] { applyFonts(); });
}

bool LabelFormBase::isCD() {
    return record().value(kType).toString().trimmed() == QLatin1String("CD");
}

void LabelFormBase::showType() {
    const bool cd = isCD();
    for (QWidget *c : cdControls_)
        showWithPrompt(c, cd);
    for (QWidget *c : cassetteControls_)
        showWithPrompt(c, !cd);
    for (QWidget *page : cdPages_)
        sheet_->setTabVisible(sheet_->indexOf(page), cd);
    for (QWidget *page : cassettePages_)
        sheet_->setTabVisible(sheet_->indexOf(page), !cd);
    typeShown();
}

void LabelFormBase::applyFonts() {
    for (const FontUse &use : fonts_) {
        const qint32 font = qint32(record().value(use.field).toLongLong());
        // A font taken back (or gone) leaves the window's own, not the one shown before.
        use.control->setFont(widget()->font());
        ApplyFontToControl(font, use.control);
        if (use.description)
            use.description->setText(DescribeFont(font));
    }
}

void LabelFormBase::refreshDisplay() { applyFonts(); }

void LabelFormBase::formOpened() {
    // A favourite font changed in another window shows here too.
    setTimer(kFontTimer);
    showType();
}

void LabelFormBase::takeEvent(const Event &e) {
    Form::takeEvent(e);
    if (closing())
        return;
    switch (e.kind) {
    case EventKind::Timer:
        applyFonts();
        break;
    case EventKind::AlertKey:
    case EventKind::Toolbar:
        // Ditto may have brought back the type or the picture.
        showType();
        applyFonts();
        break;
    default:
        break;
    }
}

void LabelFormBase::selectFont(const QString &field) {
    if (!takePendingEdits())
        return;
    qint32 font = qint32(record().value(field).toLongLong());
    GlobalRequest = SelectRecord;
    SelectFont(font);
    if (closing())
        return;
    record().setValue(field, font);
    refresh();
}

void LabelFormBase::chooseImage() {
    if (!takePendingEdits())
        return;
    const QString current = record().value(kImage).toString();
    const QString chosen = fileDialog(QStringLiteral("Choose a File"), current, kImageFilter);
    if (chosen.isEmpty() || closing())
        return;
    // Cut to fit, the name would point at another file or none.
    if (chosen.size() > kLabelImageNameLength) {
        message(QStringLiteral("The picture's file name is longer than %1 characters; please choose a file "
                               "with a shorter name.")
                    .arg(kLabelImageNameLength),
                QStringLiteral("Choose a File"), MessageIcon::Exclamation);
        return;
    }
    record().setValue(kImage, chosen);
    refresh();
    typeShown();
}

void LabelFormBase::preview() {
    if (!takePendingEdits())
        return;
    record().toBuffer();
    const qint64 label = record().value(QStringLiteral("LAB:LabelID")).toLongLong();
    if (!runProcedure(QStringLiteral("PreviewLabel")) || closing())
        return;
    // The preview puts the picture where the page shows it into the label it was given; taken
    // back only while the buffer still holds this label.
    if (LAB.LabelID.value() == label) {
        for (const char *field : {"LAB:IMAGEPOSITIONX", "LAB:IMAGEPOSITIONY"})
            record().setValue(QString::fromLatin1(field), LAB.field(QString::fromLatin1(field)).value());
    }
    refresh();
}

} // namespace tbk
