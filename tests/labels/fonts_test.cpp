// The favourite fonts on real files: their description, laying them over window controls and
// report elements, the list in select mode, and the two forms with their dialogs.
#include "fontstest.h"
#include "labels/fonts.h"
#include "runtime/report/report.h"
#include "runtime/ui/listcontrol.h"

#include <QColorDialog>
#include <QComboBox>
#include <QFontDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace fontstest;

namespace {

class Fonts : public FontsTest {
protected:
    static ListControl *list(const Started &c) { return qobject_cast<ListControl *>(findControl(window(*c), "Browse:1")); }
    static QString currentRow(const Started &c) {
        ListControl *l = list(c);
        return l ? l->rowTexts(l->currentRow()).join("|") : QString();
    }
    // Answers the font dialog the thread shows with the font and the named colour, or cancels it.
    static void answerFontDialog(const Started &c, const std::optional<QFont> &font, const QString &colour = "Black") {
        auto *dialog = qobject_cast<QFontDialog *>(window(*c));
        ASSERT_TRUE(dialog);
        EXPECT_EQ(dialog->windowTitle(), "Choose Font");
        if (font) {
            dialog->setCurrentFont(*font);
            auto *box = dialog->findChild<QComboBox *>("Colour");
            ASSERT_TRUE(box);
            box->setCurrentIndex(box->findText(colour));
            dialog->accept();
        } else {
            dialog->reject();
        }
        ASSERT_TRUE(runUntilIdle());
    }
};

TEST_F(Fonts, AFontIsDescribedByItsFourTextsCutAtSixtyAndAMissingOneIsTheDefault) {
    addFont(1, "Arial", "10", "255", "700");
    addFont(2, QString(32, 'W'), "12345678901234567890", "16777215", "4796");
    EXPECT_EQ(DescribeFont(1), "Arial 10  Colour:  255  Style:  700");
    const QString longOne = DescribeFont(2);
    EXPECT_EQ(longOne.size(), 60);
    EXPECT_EQ(longOne, (QString(32, 'W') + " 12345678901234567890  Colour:  1677").left(60));
    EXPECT_EQ(DescribeFont(0), "Default Font");
    FON.FONTID = 1;
    ASSERT_TRUE(FON.get(FON.KeyFontID));
    ASSERT_TRUE(FON.remove());
    EXPECT_EQ(DescribeFont(1), "Default Font");
    EXPECT_EQ(DescribeFont(99), "Default Font");
}

TEST_F(Fonts, AFavouriteLiesOverAControlAndAnElementPropertyByPropertyAndAMissingOneChangesNothing) {
    addFont(1, "DejaVu Serif", "14", "255", "4796");   // bold italic, red
    addFont(2, "DejaVu Sans", "big", "blue", "x");      // typed in the freeform form
    addFont(3, "Gone", "9", "0", "400");
    FON.FONTID = 3;
    ASSERT_TRUE(FON.get(FON.KeyFontID));
    ASSERT_TRUE(FON.remove());

    QLineEdit designed;
    QFont designedFont("DejaVu Sans Mono", 11);
    designedFont.setUnderline(true);
    designed.setFont(designedFont);
    const QColor designedColour = designed.palette().color(QPalette::Text);
    for (qint32 untouched : {0, 3, 77}) {
        ApplyFontToControl(untouched, &designed);
        EXPECT_EQ(designed.font(), designedFont) << untouched;
        EXPECT_EQ(designed.palette().color(QPalette::Text), designedColour);
    }
    QLineEdit a;
    a.setFont(designedFont);
    ApplyFontToControl(1, &a);
    EXPECT_EQ(a.font().family(), "DejaVu Serif");
    EXPECT_EQ(a.font().pointSize(), 14);
    EXPECT_TRUE(a.font().bold() && a.font().italic() && !a.font().underline());
    EXPECT_EQ(a.palette().color(QPalette::Text), QColor(Qt::red));
    EXPECT_EQ(qint64(FON.FONTID.value()), 1) << "the font read stays in the buffer";
    QLineEdit b;
    b.setFont(designedFont);
    ApplyFontToControl(2, &b);
    EXPECT_EQ(b.font().family(), "DejaVu Sans");
    EXPECT_EQ(b.font().pointSize(), 11);
    EXPECT_TRUE(b.font().underline()) << "a style that is no number keeps the designed one";
    EXPECT_EQ(b.palette().color(QPalette::Text), designedColour);

    report::Layout layout;
    report::Element title;
    title.name = "Title";
    title.rect = QRect(0, 0, 1000, 0);
    layout.details.append({"Detail", 500, {title}});
    report::Report r(layout);
    ApplyFontToControl(3, r, "Title");
    EXPECT_FALSE(r.element("Title")->ownFont);
    ApplyFontToControl(1, r, "Title");
    EXPECT_TRUE(r.element("Title")->font == (report::FontSpec{"DejaVu Serif", 14, 700, true, false, QColor(Qt::red)}));
    ApplyFontToControl(2, r, "Title");
    EXPECT_TRUE(r.element("Title")->font == (report::FontSpec{"DejaVu Sans", 14, 700, true, false, QColor(Qt::red)}));
}

TEST_F(Fonts, SelectModeOpensOnTheReferencedFontAndOnlySelectChangesTheReference) {
    addFont(1, "Arial", "10", "0", "400");
    addFont(2, "Courier", "12", "255", "700");
    addFont(3, "Times", "8", "0", "400");
    qint32 reference = 2;
    Started c = callOnThread([&] { SelectFont(reference); }, SelectRecord);
    ASSERT_TRUE(list(c));
    EXPECT_EQ(window(*c)->windowTitle(), "Favorite Fonts");
    EXPECT_EQ(listRows(list(c)), (QStringList{"Arial|10|0|400", "Courier|12|255|700", "Times|8|0|400"}));
    EXPECT_EQ(currentRow(c), "Courier|12|255|700");
    auto *select = qobject_cast<QPushButton *>(findControl(window(*c), "Select"));
    EXPECT_TRUE(select->isVisible() && select->isEnabled() && select->isDefault());
    list(c)->setCurrentRow(2);
    ASSERT_TRUE(runUntilIdle());
    ASSERT_TRUE(press(*c, "Cancel"));
    EXPECT_TRUE(c->done);
    EXPECT_EQ(c->response, RequestCancelled);
    EXPECT_EQ(reference, 2);

    c = callOnThread([&] { SelectFont(reference); }, SelectRecord);
    list(c)->setCurrentRow(2);
    ASSERT_TRUE(runUntilIdle());
    ASSERT_TRUE(press(*c, "Select"));
    EXPECT_EQ(c->response, RequestCompleted);
    EXPECT_EQ(reference, 3);

    // A plain list: nothing to select.
    c = callOnThread([] { SelectFont(); }, 0);
    EXPECT_FALSE(findControl(window(*c), "Select")->isEnabled());
    ASSERT_TRUE(press(*c, "Cancel"));
    EXPECT_TRUE(c->done);
}

TEST_F(Fonts, AddGoesThroughTheFontDialogAndNeitherACancelNorADuplicateLeavesARecord) {
    Started c = callOnThread([] { SelectFont(); }, 0);
    ASSERT_TRUE(press(*c, "Add"));
    EXPECT_EQ(fonts(), QStringList{"1:///"}) << "primed while the dialog is open";
    answerFontDialog(c, std::nullopt);
    EXPECT_EQ(fonts(), QStringList{});
    EXPECT_EQ(window(*c)->windowTitle(), "Favorite Fonts");

    QFont chosen("DejaVu Serif", 12);
    chosen.setBold(true);
    ASSERT_TRUE(press(*c, "Add"));
    answerFontDialog(c, chosen, "Red");
    ASSERT_EQ(fonts().size(), 1);
    EXPECT_EQ(fonts().front(), "1:DejaVu Serif/12/255/700");
    EXPECT_EQ(listRows(list(c)), QStringList{"DejaVu Serif|12|255|700"});

    ASSERT_TRUE(press(*c, "Add"));
    answerFontDialog(c, chosen, "Red");
    EXPECT_EQ(messageText(c->thread), "Adding this record creates a duplicate entry for the key:FON:KeyTypeFace");
    ASSERT_TRUE(answer(*c, ButtonOK));
    EXPECT_EQ(window(*c)->windowTitle(), "Adding a Favorite Font");
    ASSERT_TRUE(press(*c, "Cancel"));
    EXPECT_EQ(fonts(), QStringList{"1:DejaVu Serif/12/255/700"});

    // Change: the dialog opens on the font and its answer is written.
    ASSERT_TRUE(press(*c, "Change"));
    auto *dialog = qobject_cast<QFontDialog *>(window(*c));
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->currentFont().family(), "DejaVu Serif");
    EXPECT_EQ(dialog->currentFont().pointSize(), 12);
    chosen.setPointSize(20);
    answerFontDialog(c, chosen, "Red");
    EXPECT_EQ(fonts(), QStringList{"1:DejaVu Serif/20/255/700"});
    ASSERT_TRUE(press(*c, "Cancel"));
}

TEST_F(Fonts, TheFreeformFormTakesTypedTextsAndTheColourDialogAndRecallsTheLastWithDitto) {
    addFont(1, "Arial", "10", "0", "400");
    addFont(2, "Courier", "12", "0", "400");
    Started c = callOnThread([] { SelectFont(); }, 0);
    ASSERT_TRUE(press(*c, "Freeform"));
    EXPECT_EQ(window(*c)->windowTitle(), "Update Font Information (Freeform)");
    ASSERT_TRUE(type(*c, "FON:SIZE", "huge"));
    ASSERT_TRUE(press(*c, "ChooseColour"));
    auto *colours = qobject_cast<QColorDialog *>(window(*c));
    ASSERT_TRUE(colours);
    EXPECT_EQ(colours->windowTitle(), "Select Color");
    colours->setCurrentColor(Qt::blue);
    colours->accept();
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(controlText(c->thread, "FON:COLOUR").trimmed(), QString::number(0xFF0000));
    EXPECT_EQ(controlText(c->thread, "FON:SIZE").trimmed(), "huge") << "the typed text survives the dialog";
    ASSERT_TRUE(press(*c, "OK"));
    EXPECT_EQ(fonts(), (QStringList{"1:Arial/huge/16711680/400", "2:Courier/12/0/400"}));
    EXPECT_EQ(listRows(list(c)), (QStringList{"Arial|huge|16711680|400", "Courier|12|0|400"}));

    // Ditto recalls the focused field from the font this form saved last.
    list(c)->setCurrentRow(1);
    ASSERT_TRUE(runUntilIdle());
    ASSERT_TRUE(press(*c, "Freeform"));
    EXPECT_EQ(controlText(c->thread, "FON:TYPEFACE").trimmed(), "Courier");
    ASSERT_TRUE(clickInto(c->thread, "FON:SIZE"));
    QTest::keyClick(findControl(window(*c), "FON:SIZE"), Qt::Key_Apostrophe, Qt::ControlModifier);
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(controlText(c->thread, "FON:SIZE").trimmed(), "huge");
    EXPECT_EQ(controlText(c->thread, "FON:TYPEFACE").trimmed(), "Courier");
    ASSERT_TRUE(press(*c, "OK"));
    EXPECT_EQ(fonts(), (QStringList{"1:Arial/huge/16711680/400", "2:Courier/huge/0/400"}));
    ASSERT_TRUE(press(*c, "Cancel"));
}

} // namespace
