#include "albums/xplorealbums.h"

#include "albums/browsealbums.h"
#include "albums/quickcdcover.h"
#include "core/artwork.h"
#include "core/datafiles.h"
#include "core/procedures.h"
#include "runtime/threads/callprotocol.h"
#include "runtime/ui/windowbuilder.h"
#include "songs/songlists.h"

#include <QPushButton>

#include <iterator>

namespace tbk {

namespace {

const char *const kSingleArtist = "AddSingleArtist";
const char *const kCompilation = "AddCompilation";

constexpr XploreColumn kColumns[] = {
    {"ALB:Album", "Album", 200, "Album", "@s50", 'L', true, false, false, true, true},
    {"ALB:Artist", "Artist", 200, "Artist", "@s50", 'L', true, false, false, true, true},
    {"ALB:Media", "Media", 80, "Media", "@s20", 'L', true, false, false, true, true},
    {"ALB:FileNumber", "File Number", 80, "File Number", "@s20", 'L', true, false, false, true, true},
    {"ALB:ReleaseDate", "Release", 40, "Release Date", "@d2", 'L', true, false, false, true, true},
    {"ALB:XCCD", "CDDB Number (Internet)", 128, "XCCD", "@s32", 'L', true, false, false, true, true},
};

const QString kDesign = QStringLiteral(
    "80L(2)|M~Album~@s50@80L(2)|M~Artist~@s50@49L(2)|M~Media~@s20@43L(2)|M~File Number~@s20@"
    "45L(2)|M~Release Date~@d2@128R(2)|M~XCCD~C(1)@s32@");

bool registered(const char *name) { return procedureRegistered(QString::fromLatin1(name)); }

QPushButton *wizardButton(WindowBuilder &b, const QString &text) {
    QPushButton *button = b.button(text);
    button->setIcon(artworkIcon(QStringLiteral("WIZARD.ICO")));
    return button;
}

} // namespace

XploreAlbumsWindow::XploreAlbumsWindow()
    : XploreBrowse(QStringLiteral("XploreAlbums"), {&ALB}, kColumns, QStringLiteral("?Browse:1")) {
    setCountTitle(QStringLiteral("Albums - "), QStringLiteral(" entries"));
    setForm(QString::fromLatin1(kAlbumForm));
    // Copy starts a new album from the highlighted one's values.
    setCopyRequest(InsertRecord);
    setUsesToolbar(false);
}

QWidget *XploreAlbumsWindow::buildExplorer() {
    WindowBuilder b(*this, QStringLiteral("Albums"), {250, 140});
    QLineEdit *locator = locatorEntry(b);
    ListControl *l = b.list(QStringLiteral("Browse:1"), kDesign, 100,
                            QStringLiteral("Click on header to change order, or right-click for options"));
    Buttons buttons = editButtons(b, QStringLiteral("Copy record"));
    buttons.close = b.button(QStringLiteral("Cl&ose"));
    b.newButtonRow();
    singleArtist_ = wizardButton(b, QStringLiteral("Single Artist Wi&zard"));
    compilation_ = wizardButton(b, QStringLiteral("Compilation Wizard"));
    QPushButton *layout = b.button(QStringLiteral("View &Properties"), QStringLiteral("Re-format Columns of BrowseBox"));
    b.picture(artwork(QStringLiteral("TRUMPET.GIF")));
    setButtons(buttons);
    setLayoutButton(layout);

    const auto procedureReady = [](const char *name) { return [name] { return registered(name); }; };
    setPopup({{buttons.add->text(), buttons.add},
              {buttons.change->text(), buttons.change},
              {buttons.remove->text(), buttons.remove},
              {},
              {buttons.copy->text(), buttons.copy},
              {},
              {singleArtist_->text(), singleArtist_},
              {compilation_->text(), compilation_},
              {},
              {QStringLiteral("Create Label..."), nullptr, [] { runProcedure(QString::fromLatin1(kLabelWizard)); },
               procedureReady(kLabelWizard)},
              {QStringLiteral("Quick CD Insert"), nullptr, QuickCDCover, procedureReady(kFlapPrinter)},
              {},
              {layout->text(), layout}});

    BrowseList &albums = makeList(l, ALB, [] {
        return std::vector<QVariant>{ALB.Album.str(),       ALB.Artist.str(),      ALB.Media.str(),
                                     ALB.FileNumber.str(), ALB.ReleaseDate.value(), ALB.XCCD.str(),
                                     ALB.AlbumID.value()};
    });
    albums.setLocatorControl(locator);
    albums.addSortOrder({&ALB.KEYALBUM, {}, {}, LocatorKind::Incremental, 0,
                         {0, 50, StopLetters | StopPunctuation | StopDigits}});

    on(singleArtist_, EventKind::Accepted, [this] { runWizard(kSingleArtist); });
    on(compilation_, EventKind::Accepted, [this] { runWizard(kCompilation); });

    QWidget *w = b.finish();
    QWidget *order[] = {l, buttons.add, buttons.copy, buttons.change, buttons.remove, buttons.close,
                        singleArtist_, compilation_, layout};
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
    return w;
}

void XploreAlbumsWindow::refreshed() {
    singleArtist_->setEnabled(registered(kSingleArtist));
    compilation_->setEnabled(registered(kCompilation));
}

void XploreAlbumsWindow::runWizard(const char *name) {
    const Procedure wizard = findProcedure(QString::fromLatin1(name));
    if (!wizard)
        return;
    callWithRequest(0, wizard);
    refresh(true);
}

void XploreAlbums() { XploreAlbumsWindow().run(); }

} // namespace tbk
