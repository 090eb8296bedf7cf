#pragma once
// Draws pages of the page model with a QPainter: on a printer, a PDF file or an image.
#include "runtime/report/pagemodel.h"

#include <QFont>

class QPainter;

namespace tbk::report {

// The face that stands in for a face the layouts name; the designs' screen faces have no match
// here.
QString resolvedFace(const QString &face);
// The font of a spec, sized for a painter that draws in mils.
QFont fontInMils(const FontSpec &spec);
// A spec and a font in points, one for the other (a font dialog's choice and its preset).
FontSpec fontSpecOf(const QFont &font, const QColor &colour);
QFont fontOfSpec(const FontSpec &spec);

// Draws the page with its paper's corner at the painter's origin; one painter unit is
// `unitsPerMil` thousandths of an inch's worth of device units.
void drawPage(QPainter &painter, const Page &page, double unitsPerMil);

// The page drawn at that many pixels per mil on white.
QImage pageImage(const Page &page, double pixelsPerMil);

} // namespace tbk::report
