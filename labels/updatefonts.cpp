#include "labels/fonts.h"

#include "core/datafiles.h"
#include "records/form.h"
#include "core/referentialintegrity.h"
#include "runtime/threads/dialogs.h"
#include "runtime/ui/fontnumbers.h"
#include "runtime/ui/windowbuilder.h"
#include "runtime/values/text.h"

#include <QPushButton>

namespace tbk {

namespace {

const char *const kTypeface = "FON:TYPEFACE";
const char *const kSize = "FON:SIZE";
const char *const kColour = "FON:COLOUR";
const char *const kStyle = "FON:STYLE";

DittoStore &dialogDitto() {
    static DittoStore store;
    return store;
}
DittoStore &freeformDitto() {
    static DittoStore store;
    return store;
}

// The two forms of a favourite font: one fills the fields from the font dialog it opens at
// once, the other lets them be typed, the colour chosen from the colour dialog.
class FontForm : public Form {
public:
    explicit FontForm(bool freeform)
        : Form(QString::fromLatin1(freeform ? "UpdateFontFreeform" : "UpdateFonts"),
               {&FON, &FON.KeyFontID, QStringLiteral("FON:KeyFontID"), DeleteFontRecord, UpdateFontRecord,
                CaptureFontLinks, {{&FON.KeyTypeFace, QStringLiteral("FON:KeyTypeFace")}}}),
          freeform_(freeform) {
        useDitto(freeform ? freeformDitto() : dialogDitto(), Qt::Key_Apostrophe);
    }

protected:
    QWidget *createForm() override {
        WindowBuilder b(*this, {}, {180, 90});
        b.tab(QStringLiteral("General"));
        b.entry(QStringLiteral("&Type Face:"), QString::fromLatin1(kTypeface), QStringLiteral("@s32"),
                QStringLiteral("Font Typeface"));
        b.entry(QStringLiteral("&Size:"), QString::fromLatin1(kSize), QStringLiteral("@s32"),
                QStringLiteral("Font Type Size"));
        b.entry(QStringLiteral("&Colour:"), QString::fromLatin1(kColour), QStringLiteral("@s32"),
                QStringLiteral("Font Colour"));
        QPushButton *colourButton = freeform_ ? b.button(QStringLiteral("...")) : nullptr;
        if (colourButton)
            colourButton->setObjectName(QStringLiteral("ChooseColour"));
        b.entry(QStringLiteral("&Style:"), QString::fromLatin1(kStyle), QStringLiteral("@s32"),
                QStringLiteral("Font Style"));
        b.endTab();
        b.button(QStringLiteral("&OK"));
        b.button(QStringLiteral("Cancel"));
        QWidget *w = b.finish();
        if (colourButton)
            on(colourButton, EventKind::Accepted, [this] { chooseColour(); });
        return w;
    }

    void formOpened() override {
        if (freeform_)
            widget()->setWindowTitle(QStringLiteral("Update Font Information (Freeform)"));
        else
            widget()->setWindowTitle(record().inserting() ? QStringLiteral("Adding a Favorite Font")
                                                          : QStringLiteral("Changing a Favorite Font"));
    }

    void takeEvent(const Event &e) override {
        Form::takeEvent(e);
        if (e.kind == EventKind::OpenWindow && !freeform_ && !closing())
            chooseFont();
    }

private:
    QString field(const char *name) { return clip(record().value(QString::fromLatin1(name)).toString()); }

    // The font dialog decides for the user: confirmed is OK, cancelled is Cancel.
    void chooseFont() {
        FontNumbers kept;
        kept.typeface = field(kTypeface);
        kept.size = numberInRange<int>(numericValue(field(kSize)));
        kept.colour = numberInRange<qint64>(numericValue(field(kColour)));
        kept.style = numberInRange<int>(numericValue(field(kStyle)));
        QColor colour = colourOfNumber(kept.colour);
        const std::optional<QFont> font = fontDialog(fontOfNumbers(kept), QStringLiteral("Choose Font"), &colour);
        if (!font) {
            cancelPressed();
            return;
        }
        const FontNumbers chosen = numbersOfFont(*font, colour);
        record().setValue(QString::fromLatin1(kTypeface), chosen.typeface);
        record().setValue(QString::fromLatin1(kSize), QString::number(chosen.size));
        record().setValue(QString::fromLatin1(kColour), QString::number(chosen.colour));
        record().setValue(QString::fromLatin1(kStyle), QString::number(chosen.style));
        loadControls();
        okPressed();
    }

    void chooseColour() {
        if (!takePendingEdits())
            return;
        const std::optional<QColor> colour =
            colorDialog(colourOfNumber(numberInRange<qint64>(numericValue(field(kColour)))), QStringLiteral("Select Color"));
        if (!colour)
            return;
        record().setValue(QString::fromLatin1(kColour), QString::number(numberOfColour(*colour)));
        loadControls();
    }

    bool freeform_;
};

} // namespace

void UpdateFonts() { FontForm(false).run(); }
void UpdateFontFreeform() { FontForm(true).run(); }

} // namespace tbk
