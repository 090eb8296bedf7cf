#pragma once
// The report engine's page model. A layout places elements in bands, in thousandths of an inch
// (mils) from the print area's top-left corner; the engine lays the bands out into pages, each
// kept as a display list that draws at any scale and that tests read back.
#include <QColor>
#include <QImage>
#include <QList>
#include <QPageLayout>
#include <QPageSize>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QVariant>

#include <memory>
#include <vector>

namespace tbk::report {

struct FontSpec {
    QString face = QStringLiteral("Arial");
    int size = 10;            // points
    int weight = 400;         // 400 normal, 700 bold
    bool italic = false;
    bool underline = false;
    QColor colour = Qt::black;
    bool strikeOut = false;

    bool operator==(const FontSpec &) const = default;
};

enum class ElementKind { Text, Line, Box, Image, Memo };

enum class Align {
    Left,
    Center,
    Right,
    EndsAt,   // the text ends at the element's x
};

struct Element {
    QString name;
    ElementKind kind = ElementKind::Text;
    // Mils from the band's top-left corner. A text or image without width (or height) takes its
    // own; a line is horizontal when it has a width, vertical when it has a height.
    QRect rect;
    // A fixed text, or the value shown through the picture when the picture is set.
    QString text;
    QString picture;
    QVariant value;
    bool pageNumber = false;   // the value is the number of the page being made
    FontSpec font;
    bool ownFont = false;      // else the layout's default font
    Align align = Align::Left;
    int rotation = 0;          // 0, 90 (reads bottom to top) or 270 (top to bottom)
    bool hidden = false;
    bool filled = false;       // a box filled with the fill colour
    QColor fill = QColor(224, 224, 224);
    QString imageFile;
    QImage image;              // the picture itself, in place of a file (the program's own)

    // The text the element shows now.
    QString shownText(int page) const;
};

struct Band {
    QString name;
    int height = 0;   // mils
    QList<Element> elements;

    Element *find(const QString &name);
};

struct Layout {
    QPageSize paper = QPageSize(QPageSize::Letter);
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QPoint origin = QPoint(250, 250);   // the print area's corner on the paper
    QSize area = QSize(8000, 10500);    // the print area
    FontSpec font;
    Band header;
    Band footer;
    Band overlay;   // drawn first on every page, at the print area's corner
    Band totals;
    QList<Band> details;

    // The element of that name in any band; null when there is none.
    Element *element(const QString &name);
    Band *detail(const QString &name);
    // The paper's size in mils as it lies (landscape swaps the sides).
    QSize paperMils() const;
};

// One drawn thing of a page, in mils from the paper's corner.
struct DrawItem {
    ElementKind kind = ElementKind::Text;   // Memo lines are Text items
    QRect rect;
    QString text;
    FontSpec font;
    Align align = Align::Left;
    int rotation = 0;
    bool filled = false;
    QColor fill;
    QImage image;
    QRect clip;   // empty: none
};

struct Page {
    QSize paper;   // mils
    std::vector<DrawItem> items;
};

// The pages of one run in order. Pages are shared, never changed once made.
class PreviewImageQueue {
public:
    int count() const { return int(pages_.size()); }
    bool isEmpty() const { return pages_.empty(); }
    // 1-based, as the preview counts.
    const Page &page(int number) const { return *pages_.at(std::size_t(number - 1)); }
    void append(std::shared_ptr<const Page> page) { pages_.push_back(std::move(page)); }
    void clear() { pages_.clear(); }

private:
    std::vector<std::shared_ptr<const Page>> pages_;
};

} // namespace tbk::report
