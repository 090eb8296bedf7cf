#include "albums/browsealbums.h"

#include "albums/quickcdcover.h"
#include "core/artwork.h"
#include "core/datafiles.h"
#include "core/procedures.h"
#include "runtime/threads/callprotocol.h"
#include "runtime/ui/listcontrol.h"
#include "runtime/ui/windowbuilder.h"
#include "songs/categories.h"
#include "songs/songlists.h"

#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>

#include <iterator>

namespace tbk {

namespace {

// The tabs in the order of their sort orders; the two category tabs are Sort3 and Sort4.
const char *const kTabs[] = {"Album", "Artist", "File #", "Category", "Cat/Art"};
constexpr int kTabCount = 5;
constexpr int kFirstCategoryTab = 3;

bool registered(const char *name) { return procedureRegistered(QString::fromLatin1(name)); }

QPushButton *withIcon(QPushButton *button, const char *icon) {
    button->setIcon(artworkIcon(QString::fromLatin1(icon)));
    return button;
}

// A category tab shows the albums of its own category, the one in the shared buffer when the tab
// was first shown or the one its Select Category chose since, and a new album there takes it.
SortOrder categoryOrder(const data::Key &key, int order) {
    return {&key,
            QStringLiteral("ALB:CategoryID = BRW1::Sort%1:Reset:CAT:CategoryID").arg(order),
            {{QStringLiteral("CAT:CategoryID"), QStringLiteral("ALB:CategoryID"), {}, true}},
            LocatorKind::Incremental,
            1,
            order == kFirstCategoryTab ? expr::PageReader::ThumbScale{-1, 0, 0}
                                       : expr::PageReader::ThumbScale{1, 50, StopLetters}};
}

} // namespace

QString albumListFormat() {
    return QStringLiteral("80L(2)|M~Artist~@s50@80L(2)|M~Album~@s50@49L(2)|M~Media~@s20@43L(2)|M~File Number~@s20@"
                          "49R(2)|M~Released~C(1)@d2@128R(2)|M~XCCD~C(1)@s32@");
}

std::vector<QVariant> albumListRow() {
    return {ALB.Artist.str(),     ALB.Album.str(),        ALB.Media.str(),
            ALB.FileNumber.str(), ALB.ReleaseDate.value(), ALB.XCCD.str()};
}

AlbumSortTabs buildAlbumSortTabs(WindowBuilder &b) {
    AlbumSortTabs tabs;
    for (int i = 0; i < kTabCount; ++i) {
        b.tab(QString::fromLatin1(kTabs[i]));
        if (i >= kFirstCategoryTab) {
            QPushButton *select = b.button(QStringLiteral("Select Cate&gory"));
            // One caption on two tabs: each button is named after its sort order.
            select->setObjectName(QStringLiteral("Select Category:%1").arg(i));
            tabs.selectCategory[i - kFirstCategoryTab] = select;
        }
        b.endTab();
    }
    return tabs;
}

void addAlbumSortOrders(BrowseList &albums) {
    albums.addSortOrder(
        {&ALB.KEYALBUM, {}, {}, LocatorKind::Incremental, 0, {0, 50, StopLetters | StopPunctuation | StopDigits}});
    albums.addSortOrder({&ALB.KEYARTIST, {}, {}, LocatorKind::Incremental, 0, {0, 50, StopLetters}});
    albums.addSortOrder({&ALB.KEYFILENUMBER, {}, {}, LocatorKind::Incremental, 0, {-1, 0, 0}});
    albums.addSortOrder(categoryOrder(ALB.KEYCATEGORY, kFirstCategoryTab));
    albums.addSortOrder(categoryOrder(ALB.KEYCATEGORYARTIST, kFirstCategoryTab + 1));
}

QList<ListPopupItem> albumLabelItems(const QString &flapCaption) {
    const auto procedureReady = [](const char *name) { return [name] { return registered(name); }; };
    return {{QStringLiteral("Create Label..."), nullptr, [] { runProcedure(QString::fromLatin1(kLabelWizard)); },
             procedureReady(kLabelWizard)},
            {flapCaption, nullptr, QuickCDCover, procedureReady(kFlapPrinter)}};
}

bool runAlbumWizard(const char *name, bool insert) {
    const Procedure wizard = findProcedure(QString::fromLatin1(name));
    if (!wizard)
        return false;
    if (insert)
        GlobalRequest = InsertRecord;
    wizard();
    return true;
}

BrowseAlbumsWindow::BrowseAlbumsWindow() : Browse(QStringLiteral("BrowseAlbums"), {&ALB, &CAT}) {
    setCountTitle(QStringLiteral("Albums - "), QStringLiteral(" entries"));
    setBoldSelectedTab(true);
    setTabEntry(QStringLiteral("AlbumTab"));
    setInsertTooltip(QStringLiteral("Insert a new Record"));
    setForm(QString::fromLatin1(kAlbumForm));
    // The album form takes an insert with an album in the buffer as a copy of it.
    setCopyRequest(InsertRecord);
}

QWidget *BrowseAlbumsWindow::buildWindow() {
    WindowBuilder b(*this, QStringLiteral("Albums"), {328, 160});
    const AlbumSortTabs sortTabs = buildAlbumSortTabs(b);
    QPushButton *const *selectCategory = sortTabs.selectCategory;
    ListControl *l = b.list(QStringLiteral("Browse:1"), albumListFormat(), 110, QStringLiteral("Right-Click for Options"));
    Buttons buttons = editButtons(b, QStringLiteral("Copy record"));
    print_ = b.button(QStringLiteral("&Print"), QStringLiteral("Print information"));
    buttons.close = withIcon(b.button(QStringLiteral("Cl&ose")), "EXIT.ICO");
    b.newButtonRow();
    albumWizard_ = withIcon(b.button(QStringLiteral("Album Wi&zard")), "WIZARD.ICO");
    cddbWizard_ = withIcon(b.button(QStringLiteral("CDD&B Wizard")), "109.ICO");
    QLineEdit *locator = locatorEntry(b, QStringLiteral("Quick Locator (select list box and type to locate):"));
    b.picture(artwork(QStringLiteral("TRUMPET.GIF")));
    setButtons(buttons);

    QList<PopupItem> popup{{QStringLiteral("&Add"), buttons.add},
              {QStringLiteral("&Change"), buttons.change},
              {QStringLiteral("&Delete"), buttons.remove},
              {},
              {QStringLiteral("Cop&y"), buttons.copy},
              {},
              {albumWizard_->text(), albumWizard_},
              {},
                                   {print_->text(), print_},
                                   {}};
    setPopup(popup + albumLabelItems(QStringLiteral("Quick CD Cover")));

    BrowseList &albums = makeList(l, ALB, albumListRow);
    albums.setLocatorControl(locator);
    addAlbumSortOrders(albums);

    for (QPushButton *select : {selectCategory[0], selectCategory[1]})
        on(select, EventKind::Accepted, [this] {
            chooseFilter(CAT, BrowseCategories);
        });
    on(print_, EventKind::Accepted, [this] { print(); });
    on(albumWizard_, EventKind::Accepted, [this] { runWizard(kAlbumWizard, true); });
    on(cddbWizard_, EventKind::Accepted, [this] { runWizard(kCddbWizard, false); });

    QWidget *w = b.finish();
    tabs_ = w->findChild<QTabWidget *>();
    setSortTabs(tabs_);
    // The list leads the tab order and has the focus first, as it takes the typing; the sheet
    // above it comes last.
    QWidget *order[] = {l,  buttons.add, buttons.copy, buttons.change, buttons.remove, print_, buttons.close,
                        albumWizard_, cddbWizard_, tabs_->tabBar(), selectCategory[0], selectCategory[1]};
    for (size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
    l->setFocus();

    return w;
}

void BrowseAlbumsWindow::refreshed() {
    print_->setEnabled(registered(kAlbumReport));
    albumWizard_->setEnabled(registered(kAlbumWizard));
    cddbWizard_->setEnabled(registered(kCddbWizard));
}

void BrowseAlbumsWindow::runWizard(const char *name, bool insert) {
    if (runAlbumWizard(name, insert))
        refresh(true);
}

// The report prints the songs of the album in the buffer: the highlighted one, read again.
void BrowseAlbumsWindow::print() {
    const Procedure report = findProcedure(QString::fromLatin1(kAlbumReport));
    if (!report || (!list().empty() && !list().rereadCurrent() && list().failed()))
        return;
    report();
}

void BrowseAlbums() { BrowseAlbumsWindow().run(); }

} // namespace tbk
