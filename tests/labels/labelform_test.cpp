#include "core/procedures.h"
#include "labelwizardtest.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>

using namespace labeltest;

namespace {

class LabelFormTest : public LabelTest {
protected:
    void SetUp() override {
        LabelTest::SetUp();
        registerProcedure(QStringLiteral("UpdateLabels"), UpdateLabels);
    }
    void TearDown() override {
        for (const char *name : {"UpdateLabels", "LabelWizard", "PrintLabelReport", "PreviewLabel"})
            registerProcedure(QString::fromLatin1(name), {});
        LabelTest::TearDown();
    }
    std::shared_ptr<Call> form(qint32 request, qint64 id = 0) {
        return callOnThread(UpdateLabels, request, [id] {
            if (id != 0)
                loadLabel(id);
        });
    }
    std::shared_ptr<Call> openList() {
        auto c = callOnThread(BrowseLabels, 0);
        list = qobject_cast<ListControl *>(findControl(window(*c), QStringLiteral("Browse:1")));
        return c;
    }
    QStringList popup(const Call &c) { return listPopupItems(c.thread, list); }
    QString highlighted() const { return list->rowTexts(list->currentRow()).value(0).trimmed(); }
    // A CD label with every field the form edits.
    static void fullCdLabel() {
        addLabel(1, "Road Mix", "CD");
        LAB.CDSPINE = "Spine";
        LAB.CDTITLE = "Title";
        LAB.CDCoverText = "Cover";
        LAB.CDSPINEFONTID = 4;
        LAB.CDSPINEJUSTIFICATION = "Right";
        LAB.IMAGENAME = "road.png";
        LAB.IMAGEPOSITIONX = 500;
        LAB.IMAGEPOSITIONY = 600;
        LAB.IMAGESIZE = "Actual";
        ASSERT_TRUE(LAB.put());
    }

    ListControl *list = nullptr;
};

TEST_F(LabelFormTest, ThePositionPageShowsTheFormsDefaultsAndTheSizeChoiceSetsWidthAndHeight) {
    addLabel(1, "Plain");
    auto c = form(ChangeRecord, 1);
    EXPECT_EQ(window(*c)->windowTitle(), "Changing a Label");
    EXPECT_EQ(focusedName(), "LAB:LABELDESCRIPTION");
    ASSERT_TRUE(chooseTab(c->thread, "Position"));
    EXPECT_EQ(shown(*c, "LAB:IMAGEPOSITIONX"), "3,771");
    EXPECT_EQ(shown(*c, "LAB:IMAGEPOSITIONY"), "8,438");
    // No picture, no position.
    EXPECT_FALSE(visible(*c, "Image Position"));
    ASSERT_TRUE(chooseOption(c->thread, "LAB:IMAGESIZE", "Actual"));
    EXPECT_FALSE(visible(*c, "LAB:IMAGESIZEX"));
    ASSERT_TRUE(chooseOption(c->thread, "LAB:IMAGESIZE", "Other"));
    EXPECT_TRUE(visible(*c, "LAB:IMAGESIZEX"));
    EXPECT_EQ(shown(*c, "LAB:IMAGESIZEX"), "0");
    EXPECT_EQ(shown(*c, "LAB:IMAGESIZEY"), "0");
    ASSERT_TRUE(chooseTab(c->thread, "General"));
    ASSERT_TRUE(type(*c, "LAB:IMAGENAME", "cover.png"));
    ASSERT_TRUE(chooseTab(c->thread, "Position"));
    EXPECT_TRUE(visible(*c, "Image Position"));
    ASSERT_TRUE(press(*c, "OK"));
    ASSERT_TRUE(c->done);
    ASSERT_TRUE(loadLabel(1));
    EXPECT_EQ(LAB.IMAGESIZE.str(), "Other");
    EXPECT_EQ(LAB.IMAGESIZEY.str(), "0");
    EXPECT_EQ(LAB.IMAGEPOSITIONX.value(), 3771);
}

TEST_F(LabelFormTest, TheTypeShowsItsOwnPagesAndCancelledAddsAndChangesLeaveTheFileAsItWas) {
    fullCdLabel();
    auto c = form(InsertRecord);
    EXPECT_EQ(window(*c)->windowTitle(), "Adding a Label");
    EXPECT_EQ(LAB.records(), 2);
    auto *sheet = window(*c)->findChild<QTabWidget *>();
    const auto pages = [sheet] {
        QStringList out;
        for (int i = 0; i < sheet->count(); ++i)
            if (sheet->isTabVisible(i))
                out << sheet->tabText(i);
        return out;
    };
    EXPECT_EQ(pages(), (QStringList{"General", "Side A", "Side B"}));
    ASSERT_TRUE(chooseOption(c->thread, "LAB:LABELTYPE", "CD"));
    EXPECT_EQ(pages(), (QStringList{"General", "Front Cover", "Back Cover", "Position"}));
    EXPECT_TRUE(visible(*c, "LAB:CDSPINE"));
    EXPECT_FALSE(visible(*c, "LAB:CassetteFlap"));
    ASSERT_TRUE(press(*c, "Cancel"));
    ASSERT_TRUE(c->done);
    EXPECT_EQ(c->response, RequestCancelled);
    EXPECT_EQ(labels(), QStringList{"1:Road Mix/CD"});

    c = form(ChangeRecord, 1);
    ASSERT_TRUE(type(*c, "LAB:LABELDESCRIPTION", "Renamed"));
    ASSERT_TRUE(press(*c, "Cancel"));
    EXPECT_EQ(labels(), QStringList{"1:Road Mix/CD"});
}

TEST_F(LabelFormTest, CopyingACdLabelMakesACassetteKeepingTextsFontsAndPlacesAndDeleteAsksFirst) {
    fullCdLabel();
    addLabel(2, "Zed", "Cassette");
    auto c = openList();
    EXPECT_EQ(listRows(list).value(0), "Road Mix|CD||Title");
    ASSERT_TRUE(press(*c, "Copy"));
    EXPECT_EQ(window(*c)->windowTitle(), "Adding a Label");
    EXPECT_EQ(shown(*c, "LAB:LABELDESCRIPTION"), "");
    ASSERT_TRUE(type(*c, "LAB:LABELDESCRIPTION", "Road Copy"));
    ASSERT_TRUE(press(*c, "OK"));
    EXPECT_EQ(labels(), (QStringList{"1:Road Mix/CD", "2:Zed/Cassette", "3:Road Copy/Cassette"}));
    ASSERT_TRUE(loadLabel(3));
    EXPECT_EQ(LAB.CDSPINE.str(), "Spine");
    EXPECT_EQ(LAB.CDCoverText.str(), "Cover");
    EXPECT_EQ(LAB.CDSPINEFONTID.value(), 4);
    EXPECT_EQ(LAB.CDSPINEJUSTIFICATION.str(), "Right");
    EXPECT_EQ(LAB.IMAGEPOSITIONX.value(), 500);
    EXPECT_EQ(LAB.IMAGEPOSITIONY.value(), 600);
    EXPECT_EQ(LAB.IMAGESIZE.str(), "Thumbnail");
    EXPECT_EQ(LAB.IMAGESIZEX.value(), 1000);
    EXPECT_EQ(LAB.IMAGESIZEY.str(), "1000");
    // The list stands on the copy.
    EXPECT_EQ(highlighted(), "Road Copy");

    ASSERT_TRUE(press(*c, "Delete"));
    ASSERT_TRUE(answer(*c, ButtonCancel));
    EXPECT_EQ(LAB.records(), 3);
    ASSERT_TRUE(press(*c, "Delete"));
    ASSERT_TRUE(answer(*c, ButtonOK));
    EXPECT_EQ(labels(), (QStringList{"1:Road Mix/CD", "2:Zed/Cassette"}));
    ASSERT_TRUE(press(*c, "Close"));
}

TEST_F(LabelFormTest, TheListLocatesByTypedLettersAndOffersWhatCanRun) {
    auto c = openList();
    EXPECT_EQ(popup(*c), (QStringList{"Add", "~Change", "~Delete", "-", "~Copy", "-", "~Wizard", "~Print"}));
    ASSERT_TRUE(press(*c, "Close"));
    for (auto [id, name] : std::initializer_list<std::pair<int, const char *>>{
             {1, "Alpha"}, {2, "Cat"}, {3, "Cow"}, {4, "Dog"}})
        addLabel(id, QString::fromLatin1(name), id == 4 ? QStringLiteral("Cassette") : QStringLiteral("CD"));
    QStringList called;
    registerProcedure(QStringLiteral("PrintLabelReport"), [&called] { called << "print " + LAB.LABELDESCRIPTION.str(); });
    registerProcedure(QStringLiteral("LabelWizard"), [&called] {
        called << QStringLiteral("wizard %1 %2").arg(GlobalRequest).arg(LAB.LABELDESCRIPTION.str());
    });
    c = openList();
    EXPECT_EQ(popup(*c), (QStringList{"Add", "Change", "Delete", "-", "Copy", "-", "Wizard", "Print"}));
    QTest::keyClick(list, 'c');
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(highlighted(), "Cat");
    QTest::keyClick(list, 'C');
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(highlighted(), "Cow");
    ASSERT_TRUE(press(*c, "Print"));
    ASSERT_TRUE(press(*c, "Wizard"));
    EXPECT_EQ(called, (QStringList{"print Cow", "wizard 1 Cow"}));
    // By type, then description.
    ASSERT_TRUE(chooseTab(c->thread, "By Type"));
    EXPECT_EQ(listRows(list), (QStringList{"Dog|Cassette||", "Alpha|CD||", "Cat|CD||", "Cow|CD||"}));
    ASSERT_TRUE(press(*c, "Close"));
}

TEST_F(LabelFormTest, APictureNameKeepsItsWholeLengthAndALongerOneIsRefused) {
    // A name past 79 characters, and one past 255.
    const QString folder = QDir::current().filePath(QString(40, 'p') + "/" + QString(40, 'q'));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString longer = folder + "/" + QString(std::max<int>(1, 256 - int(folder.size()) - 5), 'r') + ".png";
    QFile(folder + "/cover.png").open(QIODevice::WriteOnly);
    QFile(longer).open(QIODevice::WriteOnly);
    addLabel(1, "Pictured", "CD");
    auto c = form(ChangeRecord, 1);
    const auto choose = [&c](const QString &file) {
        ASSERT_TRUE(pressButton(c->thread, "Select File"));
        ASSERT_TRUE(runUntil([&c] { return qobject_cast<QFileDialog *>(activeWindow(c->thread)); }));
        auto *dialog = qobject_cast<QFileDialog *>(activeWindow(c->thread));
        EXPECT_EQ(dialog->windowTitle(), "Choose a File");
        EXPECT_TRUE(dialog->nameFilters().contains("GIF Files (*.GIF *.gif)"));
        dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(file);
        dialog->QDialog::accept();
        ASSERT_TRUE(runUntilIdle());
    };
    const QString whole = folder + "/cover.png";
    ASSERT_GT(whole.size(), 79);
    ASSERT_LE(whole.size(), 255);
    choose(whole);
    EXPECT_EQ(shown(*c, "LAB:IMAGENAME"), whole);
    ASSERT_GT(longer.size(), 255);
    choose(longer);
    EXPECT_TRUE(messageText(c->thread).contains("255"));
    ASSERT_TRUE(answer(*c, ButtonOK));
    EXPECT_EQ(shown(*c, "LAB:IMAGENAME"), whole);
    ASSERT_TRUE(press(*c, "OK"));
    ASSERT_TRUE(loadLabel(1));
    EXPECT_EQ(LAB.IMAGENAME.str(), whole);
}

TEST_F(LabelFormTest, SelectFontSetsTheReferenceTheTextShowsAndTheDescriptionNames) {
    FON.clear();
    FON.FONTID = 3;
    FON.TYPEFACE = "DejaVu Serif";
    FON.SIZE = "19";
    FON.COLOUR = "0";
    FON.STYLE = "400";
    ASSERT_TRUE(FON.add());
    addLabel(1, "Fonts", "CD");
    auto c = form(ChangeRecord, 1);
    ASSERT_TRUE(chooseTab(c->thread, "Back Cover"));
    EXPECT_EQ(shown(*c, "Font:LAB:CDCoverText"), "Default Font");
    ASSERT_TRUE(press(*c, "SelectFont:LAB:CDCOVERTEXTFONTID"));
    EXPECT_EQ(window(*c)->windowTitle(), "Favorite Fonts");
    ASSERT_TRUE(press(*c, "Select"));
    EXPECT_EQ(window(*c)->windowTitle(), "Changing a Label");
    EXPECT_TRUE(shown(*c, "Font:LAB:CDCoverText").startsWith("DejaVu Serif 19"));
    EXPECT_EQ(findControl(window(*c), "LAB:CDCoverText")->font().pointSize(), 19);
    ASSERT_TRUE(press(*c, "OK"));
    ASSERT_TRUE(loadLabel(1));
    EXPECT_EQ(LAB.CDCOVERTEXTFONTID.value(), 3);
}

TEST_F(LabelFormTest, PreviewShowsTheLabelAsEditedAndKeepsThePositionThePreviewMoved) {
    addLabel(1, "Previewed", "CD");
    QStringList seen;
    registerProcedure(QStringLiteral("PreviewLabel"), [&seen] {
        seen << LAB.CDSPINE.str();
        LAB.IMAGEPOSITIONX = 6792;
        LAB.IMAGEPOSITIONY = 8052;
    });
    auto c = form(ChangeRecord, 1);
    ASSERT_TRUE(type(*c, "LAB:CDSPINE", "Unsaved spine"));
    ASSERT_TRUE(press(*c, "Preview"));
    EXPECT_EQ(seen, QStringList{"Unsaved spine"});
    ASSERT_TRUE(chooseTab(c->thread, "Position"));
    EXPECT_EQ(shown(*c, "LAB:IMAGEPOSITIONX"), "6,792");
    ASSERT_TRUE(press(*c, "OK"));
    ASSERT_TRUE(loadLabel(1));
    EXPECT_EQ(LAB.IMAGEPOSITIONY.value(), 8052);
    EXPECT_EQ(LAB.CDSPINE.str(), "Unsaved spine");
}

} // namespace

namespace {

// Not a check, so disabled (see the wizard's screenshots): the form's pages and the label list.
TEST_F(LabelFormTest, DISABLED_Screenshots) {
    if (qEnvironmentVariable("TBK_SCREENSHOT").isEmpty())
        GTEST_SKIP() << "TBK_SCREENSHOT not set";
    fullCdLabel();
    addLabel(2, "Greatest Hits - John Smith", "Cassette");
    LAB.CassetteTitle = "Greatest Hits\r\nJohn Smith";
    ASSERT_TRUE(LAB.put());
    addLabel(3, "Summer Songs", "CD");
    LAB.CDTITLE = "Summer Songs 1999";
    ASSERT_TRUE(LAB.put());
    const QString base = qEnvironmentVariable("TBK_SCREENSHOT");
    auto c = form(ChangeRecord, 1);
    for (const char *tab : {"General", "Front Cover", "Position"}) {
        ASSERT_TRUE(chooseTab(c->thread, QString::fromLatin1(tab)));
        runFor(300);
        EXPECT_TRUE(window(*c)->grab().save(base + "-form-" + QString::fromLatin1(tab).replace(' ', '-') + ".png"));
    }
    ASSERT_TRUE(chooseOption(c->thread, "LAB:IMAGESIZE", "Other"));
    runFor(300);
    EXPECT_TRUE(window(*c)->grab().save(base + "-form-Position-Other.png"));
    ASSERT_TRUE(press(*c, "Cancel"));
    c = form(ChangeRecord, 2);
    runFor(300);
    EXPECT_TRUE(window(*c)->grab().save(base + "-form-General-Cassette.png"));
    ASSERT_TRUE(press(*c, "Cancel"));
    c = openList();
    runFor(300);
    EXPECT_TRUE(window(*c)->grab().save(base + "-browse.png"));
    ASSERT_TRUE(chooseTab(c->thread, "By Type"));
    runFor(300);
    EXPECT_TRUE(window(*c)->grab().save(base + "-browse-bytype.png"));
    ASSERT_TRUE(press(*c, "Close"));
}

} // namespace
