// The engine's pages read back: where bands break, what each element draws and where.
#include "runtime/report/report.h"
#include "support/qstringprint.h"
#include "support/report/pagelines.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <gtest/gtest.h>

using namespace tbk::report;
using tbk::report::test::findText;
using tbk::report::test::pageImages;
using tbk::report::test::pageLines;
using tbk::report::test::savePicture;

namespace {

Element text(const QString &name, int x, int y, const QString &fixed = {}) {
    Element e;
    e.name = name;
    e.rect = QRect(x, y, 0, 0);
    e.text = fixed;
    return e;
}

// Header 500 high, footer 300, details 1000: nine details fit on a 10500 print area.
Layout listLayout() {
    Layout l;
    l.header.height = 500;
    l.header.elements << text("Title", 100, 50, "Songs by Title");
    l.footer.height = 300;
    Element number = text("PageNo", 6000, 20);
    number.pageNumber = true;
    number.picture = "@pPage <<<#p";
    l.footer.elements << number;
    Element frame;
    frame.name = "Frame";
    frame.kind = ElementKind::Box;
    frame.rect = QRect(0, 0, 8000, 10500);
    l.overlay.elements << frame;
    Band detail;
    detail.name = "Detail";
    detail.height = 1000;
    Element title = text("MUS:Title", 31, 0);
    title.picture = "@s50";
    detail.elements << title;
    Element track = text("MUS:TrackNumber", 5979, 0);
    track.picture = "@n3b";
    detail.elements << track;
    l.details << detail;
    return l;
}

void printSongs(Report &r, int n) {
    for (int i = 1; i <= n; ++i) {
        r.element("MUS:Title")->value = QString("Song %1").arg(i);
        r.element("MUS:TrackNumber")->value = i;
        ASSERT_TRUE(r.print("Detail"));
    }
}

} // namespace

TEST(ReportEngine, BandsFillPagesBetweenHeaderAndFooterWithTheOverlayUnderneath) {
    Report r(listLayout());
    printSongs(r, 20);
    r.close();
    ASSERT_EQ(r.queue().count(), 3);
    const auto first = pageLines(r.queue(), 1);
    ASSERT_EQ(first.size(), 11);   // title, nine songs, footer
    EXPECT_EQ(first.front(), QStringList{"Songs by Title"});
    EXPECT_EQ(first[1], (QStringList{"Song 1", "  1"}));
    EXPECT_EQ(first[9], (QStringList{"Song 9", "  9"}));
    EXPECT_EQ(first.back(), QStringList{"Page    1"});
    const auto last = pageLines(r.queue(), 3);
    ASSERT_EQ(last.size(), 4);
    EXPECT_EQ(last[1], (QStringList{"Song 19", " 19"}));
    EXPECT_EQ(last.back(), QStringList{"Page    3"});

    // Mils from the paper's corner: the print area starts a quarter inch in.
    const DrawItem *song10 = findText(r.queue(), 2, "Song 10");
    ASSERT_TRUE(song10);
    EXPECT_EQ(song10->rect.topLeft(), QPoint(250 + 31, 250 + 500));
    EXPECT_EQ(findText(r.queue(), 2, "Page    2")->rect.top(), 250 + 10500 - 300 + 20);
    const Page &page = r.queue().page(2);
    EXPECT_EQ(page.paper, QSize(8500, 11000));
    ASSERT_FALSE(page.items.empty());
    EXPECT_EQ(page.items.front().kind, ElementKind::Box);   // drawn first
    EXPECT_EQ(page.items.front().rect, QRect(250, 250, 8000, 10500));
}

TEST(ReportEngine, ABandThatDoesNotFitStartsTheNextPageWholeAndTotalsFollowTheLast) {
    Layout l = listLayout();
    l.totals.height = 800;
    l.totals.elements << text("Total", 31, 0, "Total Time");
    Report r(std::move(l));
    printSongs(r, 9);
    r.printTotals();   // 9000 + 800 would pass the footer at 9700: a page of its own
    r.close();
    ASSERT_EQ(r.queue().count(), 2);
    EXPECT_EQ(pageLines(r.queue(), 2)[1], QStringList{"Total Time"});
    EXPECT_EQ(findText(r.queue(), 2, "Total Time")->rect.top(), 250 + 500);
}

TEST(ReportEngine, ABandTallerThanThePagePrintsClippedOnItsOwnPage) {
    Layout l = listLayout();
    Band huge;
    huge.name = "Huge";
    huge.height = 30000;
    huge.elements << text("Top", 0, 0, "top line") << text("Below", 0, 20000, "far below");
    l.details << huge;
    Report r(std::move(l));
    printSongs(r, 1);
    ASSERT_TRUE(r.print("Huge"));
    printSongs(r, 1);
    r.close();
    // One page before it, its own, one after: never a run of pages.
    ASSERT_EQ(r.queue().count(), 3);
    const DrawItem *top = findText(r.queue(), 2, "top line");
    ASSERT_TRUE(top);
    EXPECT_EQ(top->clip, QRect(250, 750, 8000, 10500 - 300 - 500));
    const DrawItem *below = findText(r.queue(), 2, "far below");
    ASSERT_TRUE(below);
    EXPECT_FALSE(below->clip.intersects(below->rect));
    EXPECT_EQ(pageLines(r.queue(), 3)[1].front(), "Song 1");
    EXPECT_FALSE(r.print("Missing"));
}

TEST(ReportEngine, AlignmentAndRotationPlaceTheTextInItsRect) {
    Layout l;
    Band b;
    b.name = "Label";
    b.height = 5000;
    Element centred = text("Centred", 1000, 0, "Middle");
    centred.rect.setWidth(2000);
    centred.align = Align::Center;
    Element ends = text("B", 3781, 3104, "B");
    ends.align = Align::EndsAt;
    Element spine = text("Spine", 0, 94, "Spine text");
    spine.rect.setSize(QSize(338, 4594));
    spine.rotation = 90;
    Element own = text("Own", 500, 500, "Own width");
    Element cut = text("Cut", 500, 1000, "A text far wider than its element");
    cut.rect.setWidth(400);
    b.elements << centred << ends << spine << own << cut;
    l.details << b;
    Report r(std::move(l));
    r.print("Label");
    r.close();
    const DrawItem *c = findText(r.queue(), 1, "Middle");
    EXPECT_EQ(c->rect, QRect(1250, 250, 2000, c->rect.height()));
    EXPECT_EQ(c->align, Align::Center);
    EXPECT_TRUE(c->clip.isEmpty()) << "it fits its width";
    const DrawItem *longer = findText(r.queue(), 1, "A text far wider than its element");
    EXPECT_EQ(longer->clip, QRect(750, 1250, 400, longer->rect.height())) << "cut at its element's edge";
    const DrawItem *letter = findText(r.queue(), 1, "B");
    EXPECT_EQ(letter->rect.right() + 1, 250 + 3781);   // ends at its position
    EXPECT_GT(letter->rect.width(), 50);
    const DrawItem *s = findText(r.queue(), 1, "Spine text");
    EXPECT_EQ(s->rotation, 90);
    EXPECT_EQ(s->rect, QRect(250, 344, 338, 4594));
    const DrawItem *o = findText(r.queue(), 1, "Own width");
    EXPECT_TRUE(o->clip.isEmpty());
    // Arial 10 at about 7 mils a point: a word of nine letters is well over half an inch.
    EXPECT_GT(o->rect.width(), 500);
    EXPECT_LT(o->rect.width(), 1000);
}

// A page of one memo at the print area's corner.
void printMemo(Report &r, const QString &text, QSize size, Align align = Align::Left) {
    Band b;
    b.name = "Memo";
    b.height = 3000;
    Element memo;
    memo.kind = ElementKind::Memo;
    memo.rect = QRect(QPoint(0, 0), size);
    memo.text = text;
    memo.align = align;
    b.elements << memo;
    r.layout().details << b;
    r.print("Memo");
    r.close();
}

TEST(ReportEngine, MemosWrapAtWordsAndLineBreaksAndAreCutAtTheirBox) {
    Report r{Layout()};
    printMemo(r,
              "one two three four five six seven\r\nSide B\nlast line here never shown "
              "because the box has no room left for it at all",
              QSize(1500, 600), Align::Right);
    const auto lines = pageLines(r.queue(), 1);
    ASSERT_GE(lines.size(), 3);
    QStringList texts;
    for (const QStringList &line : lines)
        texts << line.join(' ');
    // Whole words on each line, the CR LF and the LF both break.
    EXPECT_TRUE(texts[0].startsWith("one two"));
    EXPECT_FALSE(texts.join(' ').contains("thr ee"));
    EXPECT_TRUE(texts.contains("Side B"));
    EXPECT_EQ(texts.join(' ').simplified().left(33), "one two three four five six seven");
    // Lines that begin below the box are not drawn; those drawn are clipped to it.
    EXPECT_FALSE(texts.join(' ').contains("at all"));
    for (const DrawItem &it : r.queue().page(1).items) {
        EXPECT_LT(it.rect.top(), 250 + 600);
        EXPECT_EQ(it.clip, QRect(250, 250, 1500, 600));
        EXPECT_EQ(it.align, Align::Right);
    }
}

TEST(ReportEngine, AMemoLineKeepsItsLeadingBlanksAndLosesThoseAtABreak) {
    Report r{Layout()};
    printMemo(r, "  1. Song\r\n 10. Song\r\n  2. a title long enough to wrap past the memo's edge", QSize(2000, 2000));
    QStringList texts;
    for (const DrawItem &it : r.queue().page(1).items)
        texts << it.text;
    ASSERT_GE(texts.size(), 4);
    EXPECT_EQ(texts.mid(0, 2), (QStringList{"  1. Song", " 10. Song"}));
    EXPECT_TRUE(texts[2].startsWith("  2. a title"));
    EXPECT_FALSE(texts[3].startsWith(' '));
}

TEST(ReportEngine, ImagesAreHiddenWhenBlankOrUnreadableAndTakeTheirOwnSizeUnlessGiven) {
    ASSERT_TRUE(savePicture("logo.png", QSize(192, 96)));
    QFile wmf("cover.wmf");
    ASSERT_TRUE(wmf.open(QIODevice::WriteOnly));
    wmf.write("\xd7\xcd\xc6\x9a not a picture Qt reads");
    wmf.close();

    Layout l;
    Band b;
    b.name = "Images";
    b.height = 5000;
    auto image = [](const QString &name, const QString &file, QRect rect) {
        Element e;
        e.name = name;
        e.kind = ElementKind::Image;
        e.imageFile = file;
        e.rect = rect;
        return e;
    };
    b.elements << image("Own", "logo.png", QRect(100, 100, 0, 0)) << image("Given", "logo.png", QRect(0, 2000, 500, 0))
               << image("Blank", "  ", QRect(0, 0, 100, 100)) << image("Missing", "none.png", QRect(0, 0, 100, 100))
               << image("Wmf", "cover.wmf", QRect(0, 0, 100, 100));
    l.details << b;
    Report r(std::move(l));
    r.print("Images");
    r.close();
    const std::vector<DrawItem> drawn = pageImages(r.queue(), 1);
    ASSERT_EQ(drawn.size(), 2u);
    EXPECT_EQ(drawn[0].rect, QRect(350, 350, 2000, 1000));
    EXPECT_EQ(drawn[1].rect, QRect(250, 2250, 500, 1000));   // the height not given stays its own
    // The file that is there but cannot be read is named once, with the reader's reason; the
    // missing one is not.
    ASSERT_EQ(r.unreadablePictures().size(), 1);
    EXPECT_TRUE(r.unreadablePictures()[0].startsWith("cover.wmf: "));
    EXPECT_GT(r.unreadablePictures()[0].size(), QString("cover.wmf: ").size());
}

TEST(ReportEngine, ALargePictureIsReadNoFinerThanThePageShowsIt) {
    // Over the reader's default allocation limit when read whole; 83 inches of its own.
    ASSERT_TRUE(savePicture("big.png", QSize(8000, 8000)));
    Layout l;
    Band b;
    b.name = "Pictures";
    b.height = 10000;
    for (const QRect &rect : {QRect(0, 0, 1000, 1000), QRect(6792, 8052, 0, 0)}) {
        Element e;
        e.kind = ElementKind::Image;
        e.imageFile = "big.png";
        e.rect = rect;
        b.elements << e;
    }
    l.details << b;
    Report r(std::move(l));
    r.print("Pictures");
    r.close();
    const std::vector<DrawItem> drawn = pageImages(r.queue(), 1);
    ASSERT_EQ(drawn.size(), 2u);
    EXPECT_TRUE(r.unreadablePictures().isEmpty());
    // The inch square at 300 dots an inch.
    const QImage &thumb = drawn[0].image;
    EXPECT_EQ(drawn[0].rect, QRect(250, 250, 1000, 1000));
    EXPECT_EQ(thumb.size(), QSize(300, 300));
    EXPECT_EQ(thumb.pixelColor(10, 10), QColor(Qt::blue));
    EXPECT_EQ(thumb.pixelColor(290, 290), QColor(Qt::red));
    // At its own size only the corner on the paper (8.5 x 11 inches), at its own resolution.
    const QRect &actual = drawn[1].rect;
    EXPECT_EQ(actual.topLeft(), QPoint(250 + 6792, 250 + 8052));
    EXPECT_NEAR(actual.right() + 1, 8500, 10);
    EXPECT_NEAR(actual.bottom() + 1, 11000, 10);
    EXPECT_LE(drawn[1].image.width(), 141);
    EXPECT_LE(drawn[1].image.height(), 260);
    EXPECT_EQ(drawn[1].image.pixelColor(drawn[1].image.width() - 1, drawn[1].image.height() - 1), QColor(Qt::blue));
}

TEST(ReportEngine, ElementsChangedBetweenBandsPrintAsChanged) {
    Layout l = listLayout();
    l.font.face = "Arial";
    Report r(std::move(l));
    printSongs(r, 1);
    Element *title = r.element("MUS:Title");
    title->ownFont = true;
    title->font = FontSpec{"Times New Roman", 14, 700, true, true, QColor(128, 0, 0)};
    title->picture = "@s4";
    title->value = "Changed title";
    r.print("Detail");
    r.element("MUS:TrackNumber")->hidden = true;
    r.element("Title")->text = "Songs by Artist";
    r.print("Detail");
    r.endPage();
    r.print("Detail");
    r.close();
    EXPECT_EQ(pageLines(r.queue(), 2)[0], QStringList{"Songs by Artist"});
    const auto lines = pageLines(r.queue(), 1);
    // The header was made when the page began.
    EXPECT_EQ(lines[0], QStringList{"Songs by Title"});
    EXPECT_EQ(lines[2], (QStringList{"Chan", "  1"}));
    EXPECT_EQ(lines[3], QStringList{"Chan"});
    const DrawItem *first = findText(r.queue(), 1, "Song 1");
    const DrawItem *changed = findText(r.queue(), 1, "Chan");
    EXPECT_EQ(first->font.face, "Arial");
    EXPECT_EQ(changed->font.size, 14);
    EXPECT_EQ(changed->font.weight, 700);
    EXPECT_TRUE(changed->font.italic && changed->font.underline);
    EXPECT_EQ(changed->font.colour, QColor(128, 0, 0));
}
