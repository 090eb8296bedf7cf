#pragma once
// The favourite fonts: a short list of typeface, size, colour and style kept in the Fonts file,
// named from a label by their identifier (0, or a font no longer there: the design's own font).
#include <QString>
#include <QtGlobal>

class QWidget;

namespace tbk {

namespace report {
class Report;
}

// The list "Favorite Fonts". With request 4 it opens on the font the reference names, and
// "&Select" writes the chosen font's identifier into it (response 1); Cancel leaves it (2).
void SelectFont(qint32 &fontReference);
// The plain list, as the procedure registry starts it.
void SelectFont();
// A favourite font through the font dialog, and by typing its four numbers.
void UpdateFonts();
void UpdateFontFreeform();

// Gives the control (or the report's element) the favourite font's typeface, size, colour and
// style; a property whose text is no number keeps the designed one. 0 or a font not found
// changes nothing. Leaves the font read in the Fonts buffer.
void ApplyFontToControl(qint32 fontId, QWidget *control);
void ApplyFontToControl(qint32 fontId, report::Report &report, const QString &element);
// "Arial 10  Colour:  255  Style:  700", at most 60 characters; "Default Font" for 0 or a
// font not found.
QString DescribeFont(qint32 fontId);

} // namespace tbk
