// File / Print Setup: one printer set-up kept for the whole run, chosen in a set-up dialog.
#include "framefixture.h"

#include "runtime/threads/printersetup.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDialog>
#include <QPrinter>
#include <QRadioButton>

using namespace tbk;
using tbk::windowtest::activeWindow;
using tbk::windowtest::pressButton;
using tbk::windowtest::runUntilIdle;

namespace {

QDialog *openPrintSetup() {
    if (!postFrameCommand(-5) || !runUntilIdle())
        return nullptr;
    return qobject_cast<QDialog *>(activeWindow(frameTable().thread));
}

TEST_F(FrameTest, PrintSetupKeepsItsChoicesForTheWholeRunAndPrintsNothing) {
    ASSERT_TRUE(startMainProgram());
    QDialog *dialog = openPrintSetup();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->windowTitle(), "Print Setup");
    for (QAbstractButton *b : dialog->findChildren<QAbstractButton *>())
        EXPECT_FALSE(b->text().remove(QLatin1Char('&')).contains(QLatin1String("Print"))) << b->text().toStdString();
    auto *landscape = dialog->findChild<QRadioButton *>(QStringLiteral("Landscape"));
    auto *paper = dialog->findChild<QComboBox *>(QStringLiteral("PaperSize"));
    ASSERT_TRUE(landscape && paper);
    landscape->click();
    const int a5 = paper->findText(QStringLiteral("A5"));
    ASSERT_GE(a5, 0);
    paper->setCurrentIndex(a5);
    ASSERT_TRUE(pressButton(frameTable().thread, QStringLiteral("OK")));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_NE(activeWindow(frameTable().thread), dialog);
    // What reports and labels will print with.
    EXPECT_EQ(sharedPrinter().pageLayout().orientation(), QPageLayout::Landscape);
    EXPECT_EQ(sharedPrinter().pageLayout().pageSize().id(), QPageSize::A5);

    // Opened again, it shows what was chosen; Cancel keeps it.
    dialog = openPrintSetup();
    ASSERT_TRUE(dialog);
    landscape = dialog->findChild<QRadioButton *>(QStringLiteral("Landscape"));
    paper = dialog->findChild<QComboBox *>(QStringLiteral("PaperSize"));
    ASSERT_TRUE(landscape && paper);
    EXPECT_TRUE(landscape->isChecked());
    EXPECT_EQ(paper->currentText(), "A5");
    dialog->findChild<QRadioButton *>(QStringLiteral("Portrait"))->click();
    ASSERT_TRUE(pressButton(frameTable().thread, QStringLiteral("Cancel")));
    ASSERT_TRUE(runUntilIdle());
    dialog = openPrintSetup();
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(dialog->findChild<QRadioButton *>(QStringLiteral("Landscape"))->isChecked());
    EXPECT_EQ(sharedPrinter().pageLayout().orientation(), QPageLayout::Landscape);
    ASSERT_TRUE(pressButton(frameTable().thread, QStringLiteral("Cancel")));
    ASSERT_TRUE(runUntilIdle());
    ASSERT_TRUE(exitFrame());
}

} // namespace
