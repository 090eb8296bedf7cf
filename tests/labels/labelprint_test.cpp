// CD and cassette labels through their previews and reports on real files: where each element
// lands on the page, in which font and justification, what the preview leaves in the label,
// and what reaches the printer.
#include "fontstest.h"
#include "labels/labelprint.h"
#include "runtime/report/preview.h"
#include "support/report/pagelines.h"
#include "support/report/previewtesting.h"

#include <QImage>
#include <QProcess>

using namespace fontstest;
using report::Align;
using report::DrawItem;
using report::ElementKind;

namespace {

// Positions on the page count from the paper's corner; the print area starts a quarter inch in.
constexpr int kMargin = 250;

class LabelPrint : public FontsTest {
protected:
    static void addLabel(qint64 id, const QString &type, const std::function<void()> &more = {}) {
        LAB.clear();
        LAB.LabelID = id;
        LAB.LABELDESCRIPTION = QStringLiteral("Label %1").arg(id);
        LAB.LABELTYPE = type;
        if (more)
            more();
        ASSERT_TRUE(LAB.add()) << data::errorCode();
    }
    static std::function<void()> loadLabel(qint64 id) {
        return [id] {
            LAB.clear();
            LAB.LabelID = id;
            LAB.get(LAB.KeyLabelID);
        };
    }
    // A picture of 200 x 100 pixels at 100 dots per inch: 2 x 1 inches of its own.
    static QString picture() {
        QImage img(200, 100, QImage::Format_RGB32);
        img.fill(Qt::blue);
        img.setDotsPerMeterX(3937);
        img.setDotsPerMeterY(3937);
        const QString file = QDir::current().absoluteFilePath("cover.png");
        img.save(file);
        return file;
    }
    static const report::PreviewImageQueue *previewed(const Started &c) { return report::previewedPages(window(*c)); }
    static std::vector<DrawItem> items(const Started &c, ElementKind kind) {
        std::vector<DrawItem> out;
        if (const report::PreviewImageQueue *q = previewed(c))
            for (const DrawItem &it : q->page(1).items)
                if (it.kind == kind)
                    out.push_back(it);
        return out;
    }
    static std::vector<DrawItem> texts(const Started &c, const QString &text) {
        std::vector<DrawItem> out;
        for (const DrawItem &it : items(c, ElementKind::Text))
            if (it.text == text)
                out.push_back(it);
        return out;
    }
    static QRect at(int x, int y, int w, int h) { return QRect(x + kMargin, y + kMargin, w, h); }
    static QStringList printed() { return QFile::exists(pdf()) ? report::test::pdfPages(pdf()) : QStringList(); }
    // The title the printout carries, as pdfinfo reads it.
    static QString printedTitle() {
        QProcess p;
        p.start("pdfinfo", {pdf()});
        EXPECT_TRUE(p.waitForFinished(20000));
        for (const QString &line : QString::fromUtf8(p.readAllStandardOutput()).split('\n'))
            if (line.startsWith("Title:"))
                return line.mid(6).trimmed();
        return {};
    }
};

TEST_F(LabelPrint, TheCdPreviewPlacesEveryElementInItsFontAndMovesTheFormsImageDefaultsIntoTheLabel) {
    addFont(1, "DejaVu Serif", "12", "255", "700");
    const QString image = picture();
    addLabel(1, "CD", [&] {
        LAB.CDSPINE = "Spine Text";
        LAB.CDTITLE = "My Title";
        LAB.CDCoverText = "Back cover words";
        LAB.CDInsideText = QString("inside ").repeated(430);   // past the box's foot
        LAB.CDSPINEFONTID = 1;
        LAB.CDTITLEFONTID = 99;   // no such font
        LAB.CDSPINEJUSTIFICATION = "Left";
        LAB.IMAGENAME = image;
        LAB.IMAGEPOSITIONX = 3771;
        LAB.IMAGEPOSITIONY = 8438;
        LAB.IMAGESIZEX = 1000;
        LAB.IMAGESIZEY = "1000";
    });
    Started c = callOnThread(PreviewLabel, 0, loadLabel(1));
    ASSERT_TRUE(previewed(c));
    const auto spines = texts(c, "Spine Text");
    ASSERT_EQ(spines.size(), 2u);
    EXPECT_EQ(spines[0].rect, at(0, 94, 338, 4594));
    EXPECT_EQ(spines[0].rotation, 90);
    EXPECT_EQ(spines[1].rect, at(5818, 115, 438, 4594));
    EXPECT_EQ(spines[1].rotation, 270);
    for (const DrawItem &s : spines) {
        EXPECT_TRUE(s.font == (report::FontSpec{"DejaVu Serif", 12, 700, false, false, QColor(Qt::red)}));
        EXPECT_EQ(s.align, Align::Left);
    }
    const auto titles = texts(c, "My Title");
    ASSERT_EQ(titles.size(), 2u);
    EXPECT_EQ(titles[0].rect.topLeft(), at(3188, 4740, 0, 0).topLeft());
    EXPECT_EQ(titles[1].rect.topLeft(), at(401, 73, 0, 0).topLeft());
    EXPECT_TRUE(titles[0].font == (report::FontSpec{"Arial", 20, 700}));
    EXPECT_TRUE(titles[1].font == (report::FontSpec{"Arial", 36, 700}));
    EXPECT_EQ(texts(c, "Back cover words").at(0).rect.topLeft(), at(453, 635, 0, 0).topLeft());

    // The long memo is cut at its box: every line clipped to it, none starting below it.
    const QRect inside = at(3188, 5229, 4615, 4177);
    int insideLines = 0;
    for (const DrawItem &it : items(c, ElementKind::Text))
        if (it.text.startsWith("inside")) {
            ++insideLines;
            EXPECT_EQ(it.clip, inside);
            EXPECT_LT(it.rect.top(), inside.bottom());
        }
    EXPECT_GT(insideLines, 20);

    QList<QRect> boxes, lines;
    for (const DrawItem &it : items(c, ElementKind::Box))
        boxes << it.rect;
    for (const DrawItem &it : items(c, ElementKind::Line))
        lines << it.rect;
    EXPECT_EQ(boxes, (QList<QRect>{at(109, 52, 5938, 4677), at(3115, 4708, 4750, 4750), at(104, 4708, 3021, 4750)}));
    EXPECT_EQ(lines, (QList<QRect>{at(5807, 42, 0, 4677), at(359, 52, 0, 4677)}));
    const auto images = items(c, ElementKind::Image);
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(images[0].rect, at(6792, 8052, 1000, 1000));

    ASSERT_TRUE(press(*c, "Exit"));
    EXPECT_TRUE(c->done);
    EXPECT_EQ(c->response, RequestCancelled);
    EXPECT_EQ(LAB.IMAGEPOSITIONX.value(), 6792);
    EXPECT_EQ(LAB.IMAGEPOSITIONY.value(), 8052);
    EXPECT_TRUE(printed().isEmpty());
}

TEST_F(LabelPrint, SpinesAndMemosTakeTheirJustificationWordsAndThePictureItsOwnOrNoSize) {
    const QString image = picture();
    const std::vector<std::pair<QString, Align>> spineWords{
        {"Left", Align::Left}, {"Right", Align::Right}, {"Center", Align::Center}, {"Foo", Align::Left}};
    for (const auto &[word, align] : spineWords) {
        LAB.clear();
        LAB.LABELTYPE = "CD";
        LAB.CDSPINE = "Spine";
        LAB.CDCoverText = "Cover";
        LAB.CDInsideText = "Inside";
        LAB.CDSPINEJUSTIFICATION = word;
        LAB.CDTEXTJUSTIFICATION = word;
        LAB.CDBACKCOVERJUSTIFICATION = word == "Center" ? "Right" : word;
        // "Actual" stores 0 and "0"; a blank name shows no picture whatever its figures.
        LAB.IMAGENAME = word == "Foo" ? QString() : image;
        LAB.IMAGESIZEX = 0;
        LAB.IMAGESIZEY = word == "Right" ? "" : "0";
        Started c = callOnThread(PreviewLabel, 0);
        ASSERT_TRUE(previewed(c)) << word.toStdString();
        for (const DrawItem &s : texts(c, "Spine"))
            EXPECT_EQ(s.align, align) << word.toStdString();
        EXPECT_EQ(texts(c, "Inside").at(0).align, word == "Foo" ? Align::Left : align) << word.toStdString();
        EXPECT_EQ(texts(c, "Cover").at(0).align, word == "Center" ? Align::Right : word == "Foo" ? Align::Left : align);
        const auto images = items(c, ElementKind::Image);
        if (word == "Foo") {
            EXPECT_TRUE(images.empty());
        } else {
            ASSERT_EQ(images.size(), 1u);
            EXPECT_EQ(images[0].rect, at(6792, 8052, 2000, 1000)) << word.toStdString();
        }
        ASSERT_TRUE(press(*c, "Exit"));
    }
    // A picture Qt cannot read (a Windows metafile) prints nothing, as a missing one does; it
    // alone is named, with the reader's reason, before the preview shows.
    QFile wmf("cover.wmf");
    ASSERT_TRUE(wmf.open(QIODevice::WriteOnly));
    wmf.write(QByteArray("\xd7\xcd\xc6\x9a\0\0", 6));
    wmf.close();
    for (const char *name : {"cover.wmf", "missing.png"}) {
        LAB.IMAGENAME = QDir::current().absoluteFilePath(name);
        Started c = callOnThread(PreviewLabel, 0);
        if (QString(name) == "cover.wmf") {
            EXPECT_TRUE(messageText(c->thread).contains(LAB.IMAGENAME.str().trimmed() + ": "));
            ASSERT_TRUE(answer(c, ButtonOK));
        }
        EXPECT_TRUE(messageText(c->thread).isEmpty()) << name;
        ASSERT_TRUE(previewed(c));
        EXPECT_TRUE(items(c, ElementKind::Image).empty()) << name;
        EXPECT_EQ(texts(c, "Spine").size(), 2u);
        ASSERT_TRUE(press(*c, "Exit"));
    }
}

TEST_F(LabelPrint, TheReportReadsTheLabelAgainPrintsAStoredFormDefaultWhereItIsAndReachesThePrinter) {
    const QString image = picture();
    addLabel(1, "CD", [] { LAB.CDTITLE = "Other label"; });
    addLabel(2, "CD", [&] {
        LAB.CDSPINE = "Spine Text";
        LAB.CDTITLE = "Printed Title";
        LAB.CDCoverText = "Track one";
        LAB.IMAGENAME = image;
        LAB.IMAGEPOSITIONX = 3771;
        LAB.IMAGEPOSITIONY = 8438;
    });
    Started c = callOnThread(PrintLabelReport, 0, [] {
        loadLabel(2)();
        LAB.CDTITLE = "Unsaved edit";   // the report prints what the file holds
    });
    EXPECT_EQ(messageText(c->thread), "Do you wish to PREVIEW this Report?");
    ASSERT_TRUE(answer(*c, ButtonYes));
    ASSERT_TRUE(previewed(c));
    EXPECT_EQ(previewed(c)->count(), 1);
    EXPECT_EQ(texts(c, "Printed Title").size(), 2u);
    EXPECT_TRUE(texts(c, "Other label").empty() && texts(c, "Unsaved edit").empty());
    ASSERT_EQ(items(c, ElementKind::Image).size(), 1u);
    EXPECT_EQ(items(c, ElementKind::Image)[0].rect.topLeft(), at(3771, 8438, 0, 0).topLeft());
    ASSERT_TRUE(press(*c, "Print"));
    EXPECT_TRUE(c->done);
    EXPECT_EQ(c->response, RequestCompleted);
    const QStringList pages = printed();
    ASSERT_EQ(pages.size(), 1);
    EXPECT_TRUE(pages[0].contains("Printed Title") && pages[0].contains("Track one")) << pages[0].toStdString();
    EXPECT_EQ(printedTitle(), "TuneBank Pro 98 Compact Disc Label");
}

TEST_F(LabelPrint, ACassetteLabelNeverShowsTheCdLayoutAndTakesTheLayoutAltCasFmtNames) {
    addFont(1, "DejaVu Serif", "9", "0", "400");
    addLabel(1, "Cassette ", [&] {
        LAB.CDTITLE = "CD title";
        LAB.IMAGENAME = picture();
        LAB.CassetteContentsA = "Song on A";
        LAB.CassetteContentsB = "Song on B";
        LAB.CassetteTitle = "Tape Title";
        LAB.CassetteFlap = "Flap words";
        LAB.CASSETTECONTENTSFONTID = 1;
    });
    auto firstText = [&](const Started &c, const QString &t) { return texts(c, t).empty() ? DrawItem{} : texts(c, t)[0]; };

    // The standard preview: contents at y 3302 and a "B" that starts at its place.
    Started c = callOnThread(PreviewLabel, 0, loadLabel(1));
    ASSERT_TRUE(previewed(c));
    EXPECT_TRUE(texts(c, "CD title").empty());
    EXPECT_TRUE(items(c, ElementKind::Image).empty());
    EXPECT_EQ(firstText(c, "Song on A").clip, at(219, 3302, 1833, 2125));
    EXPECT_EQ(firstText(c, "Song on B").clip, at(2042, 3302, 1833, 2125));
    EXPECT_EQ(firstText(c, "Song on A").font.face, "DejaVu Serif");
    EXPECT_TRUE(firstText(c, "Tape Title").font == report::FontSpec{}) << "font 0 leaves the layout's";
    EXPECT_EQ(firstText(c, "B").rect.left(), 3771 + kMargin);
    ASSERT_TRUE(press(*c, "Exit"));

    // The standard report: contents at y 3313, "B" ending at 3781; printed without a preview.
    c = callOnThread(PrintLabelReport, 0, loadLabel(1));
    ASSERT_TRUE(answer(*c, ButtonYes));
    ASSERT_TRUE(previewed(c));
    EXPECT_EQ(firstText(c, "Song on A").clip, at(219, 3313, 1833, 2115));
    EXPECT_EQ(firstText(c, "B").rect.right(), 3781 + kMargin - 1);
    EXPECT_EQ(firstText(c, "Flap words").rect.topLeft(), at(219, 5990, 0, 0).topLeft());
    ASSERT_TRUE(press(*c, "Exit"));

    AltCasFmt = 1;
    for (auto procedure : {PreviewLabel, PrintLabelReport}) {
        c = callOnThread(procedure, 0, loadLabel(1));
        if (procedure == PrintLabelReport) {
            ASSERT_TRUE(answer(*c, ButtonYes));
        }
        ASSERT_TRUE(previewed(c));
        EXPECT_EQ(firstText(c, "Flap words").rect.topLeft(), at(219, 667, 0, 0).topLeft());
        EXPECT_EQ(firstText(c, "Tape Title").rect.topLeft(), at(219, 1219, 0, 0).topLeft());
        EXPECT_EQ(firstText(c, "Song on A").clip, at(219, 1750, 1833, 4594));
        EXPECT_EQ(firstText(c, "A").rect.topLeft(), at(219, 6333, 0, 0).topLeft());
        EXPECT_EQ(firstText(c, "B").rect.right(), 3760 + kMargin - 1);
        ASSERT_TRUE(press(*c, "Exit"));
    }

    c = callOnThread(PrintLabelReport, 0, loadLabel(1));
    ASSERT_TRUE(answer(*c, ButtonNo));
    EXPECT_TRUE(c->done);
    const QStringList pages = printed();
    ASSERT_EQ(pages.size(), 1);
    for (const char *t : {"Flap words", "Tape Title", "Song on A", "Song on B"})
        EXPECT_TRUE(pages[0].contains(t)) << pages[0].toStdString();
    EXPECT_EQ(printedTitle(), "TuneBank Pro 98 Cassette Label");
}

TEST_F(LabelPrint, EmptyCassetteMemosStillPrintTheCardItsRulesAndTheSideLetters) {
    addLabel(1, "Cassette");
    for (quint8 alternate : {0, 1}) {
        AltCasFmt = alternate;
        Started c = callOnThread(PreviewLabel, 0, loadLabel(1));
        ASSERT_TRUE(previewed(c));
        ASSERT_EQ(items(c, ElementKind::Box).size(), 1u);
        EXPECT_EQ(items(c, ElementKind::Box)[0].rect, at(177, 625, 3740, 5948));
        EXPECT_EQ(items(c, ElementKind::Line).size(), alternate ? 3u : 4u);
        EXPECT_EQ(report::test::allLines(*previewed(c)), QStringList{"A | B"});
        ASSERT_TRUE(press(*c, "Exit"));
    }
}

} // namespace

// Not checks, so disabled: run with --gtest_also_run_disabled_tests, TBK_SCREENSHOT set to a
// path without extension and a real display (xvfb-run with QT_QPA_PLATFORM=xcb); saves pictures
// of the font list, the freeform font form, and a CD and a cassette label in the preview.
#include "labels/fonts.h"


namespace {

class LabelScreenshot : public LabelPrint {
protected:
    static void save(const QString &name) {
        EXPECT_TRUE(saveScreen(name + QStringLiteral(".png")));
    }
};

TEST_F(LabelScreenshot, DISABLED_FontsAndLabelPreviews) {
    if (qEnvironmentVariable("TBK_SCREENSHOT").isEmpty())
        GTEST_SKIP() << "TBK_SCREENSHOT not set";
    addFont(1, "DejaVu Serif", "12", "255", "700");
    addFont(2, "DejaVu Sans", "9", "8388608", "4496");
    addFont(3, "DejaVu Sans Mono", "10", "0", "400");
    qint32 reference = 2;
    Started c = callOnThread([&] { SelectFont(reference); }, SelectRecord);
    ASSERT_TRUE(window(*c));
    window(*c)->move(20, 20);
    save("-favoritefonts");
    ASSERT_TRUE(press(*c, "Freeform"));
    window(*c)->move(40, 40);
    save("-freeform");
    ASSERT_TRUE(press(*c, "Cancel"));
    ASSERT_TRUE(press(*c, "Cancel"));

    QString tracks;
    // Numbered as the label wizard numbers them: right-aligned by leading blanks.
    for (int n = 1; n <= 12; ++n)
        tracks += QStringLiteral("%1. Song number %2 of the album\r\n").arg(n, 3).arg(n);
    addLabel(1, "CD", [&] {
        LAB.CDSPINE = "The Artist - The Album";
        LAB.CDTITLE = "The Album";
        LAB.CDCoverText = tracks;
        LAB.CDInsideText = "Recorded live, 1998.\r\nAll songs by the artist.";
        LAB.CDSPINEFONTID = 1;
        LAB.CDSPINEJUSTIFICATION = "Center";
        LAB.CDTEXTJUSTIFICATION = "Center";
        ASSERT_TRUE(report::test::savePicture("big.png", QSize(8000, 8000)));
        LAB.IMAGENAME = QDir::current().absoluteFilePath("big.png");
        LAB.IMAGESIZEX = 1000;
        LAB.IMAGESIZEY = "1000";
    });
    addLabel(2, "Cassette", [&] {
        LAB.CassetteContentsA = tracks.left(200);
        LAB.CassetteContentsB = tracks.mid(200, 200);
        LAB.CassetteTitle = "The Artist - The Album";
        LAB.CassetteFlap = "Flap text";
        LAB.CASSETTETITLEFONTID = 1;
    });
    for (qint64 id : {1, 2}) {
        c = callOnThread(PreviewLabel, 0, loadLabel(id));
        ASSERT_TRUE(window(*c));
        window(*c)->setGeometry(10, 30, 1000, 740);
        ASSERT_TRUE(report::test::clickPage(window(*c), 0));
        ASSERT_TRUE(runUntilIdle());
        save(id == 1 ? "-cdlabel" : "-cassettelabel");
        ASSERT_TRUE(report::test::previewCommand(window(*c), "MenuZoom3"));   // the whole page at 50%
        ASSERT_TRUE(runUntilIdle());
        save(id == 1 ? "-cdlabel-page" : "-cassettelabel-page");
        ASSERT_TRUE(press(*c, "Exit"));
    }
}

} // namespace
