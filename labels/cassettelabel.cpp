#include "labels/labelprint.h"

#include "core/datafiles.h"
#include "labels/fonts.h"
#include "runtime/report/report.h"

namespace tbk {

namespace {

using report::Align;
using report::Element;
using report::ElementKind;

const QString kSideA = QStringLiteral("LAB:CassetteContentsA");
const QString kSideB = QStringLiteral("LAB:CassetteContentsB");
const QString kTitle = QStringLiteral("LAB:CassetteTitle");
const QString kFlap = QStringLiteral("LAB:CassetteFlap");

Element rule(const QString &name, int x, int y, int width, int height = 0) {
    return labelOutline(name, QRect(x, y, width, height), ElementKind::Line);
}

// A side letter in the page's own font; "B" ends at its position unless it starts there.
Element sideLetter(const QString &letter, int x, int y, bool endsAt = false) {
    Element e = labelOutline(QStringLiteral("Side") + letter, QRect(x, y, 0, 0), ElementKind::Text);
    e.text = letter;
    e.align = endsAt ? Align::EndsAt : Align::Left;
    return e;
}

report::Layout cassetteLayout(CassetteLayout kind) {
    report::Layout l;
    report::Band band;
    band.name = QStringLiteral("Label");
    band.height = l.area.height();
    QList<Element> &e = band.elements;
    e << labelOutline(QStringLiteral("Card"), QRect(177, 625, 3740, 5948));
    if (kind == CassetteLayout::Alternate) {
        e << labelMemo(kFlap, 1024, QRect(219, 667, 3646, 542), arialFont(10))
          << rule(QStringLiteral("FlapRule"), 177, 1208, 3729)
          << labelMemo(kTitle, 1024, QRect(219, 1219, 3646, 458), arialFont(10))
          << rule(QStringLiteral("TitleRule"), 177, 1677, 3729)
          << rule(QStringLiteral("SidesRule"), 2042, 1740, 0, 4600)
          << labelMemo(kSideA, 3000, QRect(219, 1750, 1833, 4594), arialFont(8))
          << labelMemo(kSideB, 3000, QRect(2042, 1750, 1833, 4594), arialFont(8))
          << sideLetter(QStringLiteral("A"), 219, 6333) << sideLetter(QStringLiteral("B"), 3760, 6333, true);
    } else {
        // The preview's contents boxes stand a little higher, and its "B" starts at its place.
        const bool preview = kind == CassetteLayout::StandardPreview;
        const int top = preview ? 3302 : 3313;
        const int height = preview ? 2125 : 2115;
        e << rule(QStringLiteral("SidesTopRule"), 177, 3075, 3729)
          << rule(QStringLiteral("SidesRule"), 2042, 3073, 0, 2365)
          << sideLetter(QStringLiteral("A"), 219, 3104)
          << (preview ? sideLetter(QStringLiteral("B"), 3771, 3104) : sideLetter(QStringLiteral("B"), 3781, 3104, true))
          << labelMemo(kSideA, 3000, QRect(219, top, 1833, height), arialFont(8))
          << labelMemo(kSideB, 3000, QRect(2042, top, 1833, height), arialFont(8))
          << rule(QStringLiteral("TitleRule"), 177, 5438, 3729)
          << labelMemo(kTitle, 1024, QRect(219, 5469, 3646, 458), arialFont(10))
          << rule(QStringLiteral("FlapRule"), 177, 5958, 3729)
          << labelMemo(kFlap, 1024, QRect(219, 5990, 3646, 542), arialFont(10));
    }
    l.details << band;
    return l;
}

void makeUpCassettePage(report::Report &r) {
    ApplyFontToControl(LAB.CASSETTETITLEFONTID.value(), r, kTitle);
    ApplyFontToControl(LAB.CASSETTEFLAPFONTID.value(), r, kFlap);
    for (const QString &side : {kSideA, kSideB})
        ApplyFontToControl(LAB.CASSETTECONTENTSFONTID.value(), r, side);
}

void fillCassettePage(report::Report &r) {
    r.element(kSideA)->value = LAB.CassetteContentsA.str();
    r.element(kSideB)->value = LAB.CassetteContentsB.str();
    r.element(kTitle)->value = LAB.CassetteTitle.str();
    r.element(kFlap)->value = LAB.CassetteFlap.str();
}

} // namespace

LabelPage cassetteLabelPage(CassetteLayout kind) {
    return {cassetteLayout(kind), makeUpCassettePage, fillCassettePage, QStringLiteral("TuneBank Pro 98 Cassette Label"),
            true};
}

void PreviewCassetteLabel() { previewLabelPage(cassetteLabelPage(CassetteLayout::StandardPreview)); }
void PreviewAltCassetteLabel() { previewLabelPage(cassetteLabelPage(CassetteLayout::Alternate)); }
void PrintCassetteLabelReport() { printLabelPage(cassetteLabelPage(CassetteLayout::Standard)); }
void PrintAltCassetteLabelReport() { printLabelPage(cassetteLabelPage(CassetteLayout::Alternate)); }

} // namespace tbk
