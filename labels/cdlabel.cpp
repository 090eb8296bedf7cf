#include "labels/labelprint.h"

#include "core/datafiles.h"
#include "core/programsettings.h"
#include "labels/fonts.h"
#include "runtime/report/report.h"
#include "runtime/values/text.h"

namespace tbk {

namespace {

using report::Align;
using report::Element;
using report::ElementKind;
using report::FontSpec;

// Where the layout puts the picture, and the form's defaults for an empty position, which the
// preview moves there too.
constexpr int kImageX = 6792;
constexpr int kImageY = 8052;
constexpr int kFormImageX = 3771;
constexpr int kFormImageY = 8438;

const QString kCoverText = QStringLiteral("LAB:CDCoverText");
const QString kInsideText = QStringLiteral("LAB:CDInsideText");

// "Center", "Left" and "Right" on a spine; any other word keeps the layout's (left).
void justifySpine(Element *e, const QString &word) {
    const QString w = clip(word);
    if (w == QLatin1String("Center"))
        e->align = Align::Center;
    else if (w == QLatin1String("Left"))
        e->align = Align::Left;
    else if (w == QLatin1String("Right"))
        e->align = Align::Right;
}

// A memo is centred or right-justified by its word, and left-justified by any other.
void justifyText(Element *e, const QString &word) {
    const QString w = clip(word);
    e->align = w == QLatin1String("Center") ? Align::Center : w == QLatin1String("Right") ? Align::Right : Align::Left;
}

void makeUpCdPage(report::Report &r) {
    for (const char *spine : {"LeftSpine", "RightSpine"})
        ApplyFontToControl(LAB.CDSPINEFONTID.value(), r, QString::fromLatin1(spine));
    for (const char *title : {"BackTitle", "FrontTitle"})
        ApplyFontToControl(LAB.CDTITLEFONTID.value(), r, QString::fromLatin1(title));
    ApplyFontToControl(LAB.CDCOVERTEXTFONTID.value(), r, kCoverText);
    ApplyFontToControl(LAB.CDINSIDETEXTFONTID.value(), r, kInsideText);

    Element *image = r.element(QStringLiteral("Image"));
    image->imageFile = clip(LAB.IMAGENAME);
    image->hidden = image->imageFile.isEmpty();
    if (LAB.IMAGEPOSITIONX.value() != 0)
        image->rect.moveLeft(LAB.IMAGEPOSITIONX.value());
    if (LAB.IMAGEPOSITIONY.value() != 0)
        image->rect.moveTop(LAB.IMAGEPOSITIONY.value());
    // A size of 0 (the form's "Actual") leaves the picture's own.
    if (LAB.IMAGESIZEX.value() != 0)
        image->rect.setWidth(LAB.IMAGESIZEX.value());
    if (!clip(LAB.IMAGESIZEY).isEmpty())
        image->rect.setHeight(numberInRange<int>(numericValue(LAB.IMAGESIZEY)));

    for (const char *spine : {"LeftSpine", "RightSpine"})
        justifySpine(r.element(QString::fromLatin1(spine)), LAB.CDSPINEJUSTIFICATION);
    justifyText(r.element(kInsideText), LAB.CDTEXTJUSTIFICATION);
    justifyText(r.element(kCoverText), LAB.CDBACKCOVERJUSTIFICATION);
}

void fillCdPage(report::Report &r) {
    const QString spine = clip(LAB.CDSPINE);
    const QString title = clip(LAB.CDTITLE);
    r.element(QStringLiteral("LeftSpine"))->text = spine;
    r.element(QStringLiteral("RightSpine"))->text = spine;
    r.element(QStringLiteral("BackTitle"))->text = title;
    r.element(QStringLiteral("FrontTitle"))->text = title;
    r.element(kCoverText)->value = LAB.CDCoverText.str();
    r.element(kInsideText)->value = LAB.CDInsideText.str();
}

LabelPage cdPage() {
    return {cdLabelLayout(), makeUpCdPage, fillCdPage, QStringLiteral("TuneBank Pro 98 Compact Disc Label"), false};
}

} // namespace

Element labelOutline(const QString &name, QRect rect, ElementKind kind) {
    Element e;
    e.name = name;
    e.kind = kind;
    e.rect = rect;
    return e;
}

Element labelText(const QString &name, QRect rect, const FontSpec &font, int rotation, ElementKind kind) {
    Element e = labelOutline(name, rect, kind);
    e.font = font;
    e.ownFont = true;
    e.rotation = rotation;
    return e;
}

Element labelMemo(const QString &field, int length, QRect rect, const FontSpec &font) {
    Element e = labelText(field, rect, font, 0, ElementKind::Memo);
    e.picture = QStringLiteral("@s%1").arg(length);
    return e;
}

FontSpec arialFont(int size, int weight) {
    FontSpec f;
    f.size = size;
    f.weight = weight;
    return f;
}

bool isCassetteLabel() { return clip(LAB.LABELTYPE) == QLatin1String("Cassette"); }

report::Layout cdLabelLayout() {
    report::Layout l;
    report::Band band;
    band.name = QStringLiteral("Label");
    band.height = l.area.height();
    QList<Element> &e = band.elements;
    e << labelOutline(QStringLiteral("BackCard"), QRect(109, 52, 5938, 4677))
      << labelOutline(QStringLiteral("RightFold"), QRect(5807, 42, 0, 4677), ElementKind::Line)
      << labelOutline(QStringLiteral("LeftFold"), QRect(359, 52, 0, 4677), ElementKind::Line)
      << labelOutline(QStringLiteral("FrontCover"), QRect(3115, 4708, 4750, 4750))
      << labelOutline(QStringLiteral("LeftPanel"), QRect(104, 4708, 3021, 4750))
      << labelOutline(QStringLiteral("Image"), QRect(kImageX, kImageY, 0, 0), ElementKind::Image)
      << labelText(QStringLiteral("FrontTitle"), QRect(3188, 4740, 4594, 0), arialFont(20, 700))
      << labelText(QStringLiteral("LeftSpine"), QRect(0, 94, 338, 4594), arialFont(14, 700), 90)
      << labelText(QStringLiteral("RightSpine"), QRect(5818, 115, 438, 4594), arialFont(14, 700), 270)
      << labelText(QStringLiteral("BackTitle"), QRect(401, 73, 5385, 0), arialFont(36, 700));
    e << labelMemo(kCoverText, 3000, QRect(453, 635, 5281, 4052), arialFont(10))
      << labelMemo(kInsideText, 3000, QRect(3188, 5229, 4615, 4177), arialFont(10));
    l.details << band;
    return l;
}

void PreviewLabel() {
    if (isCassetteLabel()) {
        AltCasFmt ? PreviewAltCassetteLabel() : PreviewCassetteLabel();
        return;
    }
    // The form's defaults for an empty position stand for the layout's own, and the label
    // being edited keeps the layout's figures from now on.
    if (LAB.IMAGEPOSITIONX.value() == 0 || LAB.IMAGEPOSITIONX.value() == kFormImageX)
        LAB.IMAGEPOSITIONX = kImageX;
    if (LAB.IMAGEPOSITIONY.value() == 0 || LAB.IMAGEPOSITIONY.value() == kFormImageY)
        LAB.IMAGEPOSITIONY = kImageY;
    previewLabelPage(cdPage());
}

void PrintLabelReport() {
    if (isCassetteLabel()) {
        AltCasFmt ? PrintAltCassetteLabelReport() : PrintCassetteLabelReport();
        return;
    }
    if (LAB.IMAGEPOSITIONX.value() == 0)
        LAB.IMAGEPOSITIONX = kImageX;
    if (LAB.IMAGEPOSITIONY.value() == 0)
        LAB.IMAGEPOSITIONY = kImageY;
    printLabelPage(cdPage());
}

} // namespace tbk
