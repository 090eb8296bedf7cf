#include "labels/fonts.h"

#include "core/datafiles.h"
#include "core/fileaccess.h"
#include "runtime/report/render.h"
#include "runtime/report/report.h"
#include "runtime/ui/fontnumbers.h"
#include "runtime/values/text.h"

#include <QPalette>
#include <QWidget>

#include <optional>

namespace tbk {

namespace {

constexpr int kDescriptionLength = 60;

// The favourite font of that identifier into the Fonts buffer; false for 0 or one not found.
bool readFont(qint32 fontId) {
    if (fontId == 0)
        return false;
    FilesInUse files{&FON};
    FON.clear();
    FON.FONTID = fontId;
    return FON.get(FON.KeyFontID);
}

std::optional<qint64> numberIn(const QString &text) {
    if (!isNumericText(text))
        return std::nullopt;
    return numberInRange<qint64>(numericValue(text));
}

// The designed font and colour with the buffer's favourite laid over them: a text that is no
// number (typed in the freeform form) leaves that property as designed.
std::pair<QFont, QColor> favouriteOver(const QFont &designed, const QColor &designedColour) {
    const QColor colour = [&] {
        const auto n = numberIn(FON.COLOUR);
        return n ? colourOfNumber(*n) : designedColour;
    }();
    FontNumbers numbers;
    numbers.typeface = clip(FON.TYPEFACE);
    const auto size = numberIn(FON.SIZE);
    numbers.size = size && *size > 0 ? numberInRange<int>(double(*size)) : 0;
    const auto style = numberIn(FON.STYLE);
    numbers.style = style ? numberInRange<int>(double(*style)) : numbersOfFont(designed, colour).style;
    return {fontOfNumbers(numbers, designed), colour};
}

} // namespace

void ApplyFontToControl(qint32 fontId, QWidget *control) {
    if (!control || !readFont(fontId))
        return;
    QPalette palette = control->palette();
    const auto [font, colour] = favouriteOver(control->font(), palette.color(QPalette::Text));
    control->setFont(font);
    for (QPalette::ColorRole role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText})
        palette.setColor(role, colour);
    control->setPalette(palette);
}

void ApplyFontToControl(qint32 fontId, report::Report &report, const QString &element) {
    report::Element *e = report.element(element);
    if (!e || !readFont(fontId))
        return;
    const report::FontSpec designed = e->ownFont ? e->font : report.layout().font;
    const auto [font, colour] = favouriteOver(report::fontOfSpec(designed), designed.colour);
    e->font = report::fontSpecOf(font, colour);
    e->ownFont = true;
}

QString DescribeFont(qint32 fontId) {
    if (!readFont(fontId))
        return QStringLiteral("Default Font");
    const QString text = clip(FON.TYPEFACE) + QLatin1Char(' ') + clip(FON.SIZE) + QStringLiteral("  Colour:  ") +
                         clip(FON.COLOUR) + QStringLiteral("  Style:  ") + clip(FON.STYLE);
    return text.left(kDescriptionLength);
}

} // namespace tbk
