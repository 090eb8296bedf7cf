#pragma once
// Printing a label: the CD label as a tray card with its spines and a front cover, the cassette
// label as an insert card in the standard or the alternate layout (AltCasFmt). The previews
// show the label being edited (the Labels buffer) in the program's own page preview; the
// reports print the highlighted label through the report frame.
#include "runtime/report/pagemodel.h"

#include <QString>

#include <functional>

namespace tbk {

namespace report {
class Report;
}

void PreviewLabel();
void PrintLabelReport();
void PreviewCassetteLabel();
void PreviewAltCassetteLabel();
void PrintCassetteLabelReport();
void PrintAltCassetteLabelReport();

// One label page: its layout (one detail band, "Label"), what is taken from the Labels buffer
// once the page opens (fonts, picture, justification) and before it prints (the texts).
struct LabelPage {
    report::Layout layout;
    std::function<void(report::Report &)> makeUp;
    std::function<void(report::Report &)> fill;
    QString title;
    bool quickScan = false;   // the report sends the Labels file the quick-scan hints
};

// The label in the buffer as one page in the page preview, printed on its Print; the shared
// response is the preview's.
void previewLabelPage(const LabelPage &page);
// The label LAB:LABELID names, read again from the file, through the report frame.
void printLabelPage(const LabelPage &page);

// The pieces a label layout is made of: outlines and rules, and texts in a font of their own.
report::Element labelOutline(const QString &name, QRect rect, report::ElementKind kind = report::ElementKind::Box);
report::Element labelText(const QString &name, QRect rect, const report::FontSpec &font, int rotation = 0,
                          report::ElementKind kind = report::ElementKind::Text);
// A memo element named after its field, which shows the field's value.
report::Element labelMemo(const QString &field, int length, QRect rect, const report::FontSpec &font);
report::FontSpec arialFont(int size, int weight = 400);

// A label type of "Cassette" (trailing blanks aside) prints in a cassette layout.
bool isCassetteLabel();

// The layouts, for the previews and the reports alike (the standard cassette preview differs).
report::Layout cdLabelLayout();
enum class CassetteLayout { Standard, StandardPreview, Alternate };
LabelPage cassetteLabelPage(CassetteLayout kind);

} // namespace tbk
