#include "songs/selectfilenumber.h"

#include "core/artwork.h"
#include "records/browse.h"
#include "core/datafiles.h"
#include "runtime/ui/listcontrol.h"
#include "runtime/ui/windowbuilder.h"
#include "songs/categories.h"
#include "songs/songlists.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

namespace tbk {

namespace {

class SelectFileNumberWindow : public Browse {
public:
    SelectFileNumberWindow() : Browse(QStringLiteral("SelectFileNumber"), {&CAT, &MUS}) {
        setCountTitle(QStringLiteral("Browse Music Database - "), QStringLiteral(" entries"));
        setBoldSelectedTab(true);
    }

protected:
    QWidget *buildWindow() override {
        WindowBuilder b(*this, QStringLiteral("Select File Number"), {380, 180});
        b.picture(artwork(QStringLiteral("TRUMPET.GIF")));
        QLineEdit *locator = locatorEntry(b);
        QPushButton *selectCategory = nullptr;
        for (const char *tab : {"By Artist", "By Title", "By Album", "By Media", "By Category", "By Chart #"}) {
            b.tab(QString::fromLatin1(tab));
            if (QLatin1String(tab) == QLatin1String("By Category"))
                selectCategory = b.button(QStringLiteral("&Select Category"));
            b.endTab();
        }
        ListControl *l = b.list(QStringLiteral("Browse"),
                                QStringLiteral("75L(2)|M~Artist~@s30@75L(2)|M~Title~@s30@76L(2)|M~Album~@s30@"
                                               "74L(2)|M~Media~@s20@48L(2)|M~File Number~@s10@"
                                               "45R(2)|M~Release Date~C(0)@d2@120L(2)|M~Category~L(0)@s30@"));
        Buttons buttons;
        buttons.select = b.button(QStringLiteral("&Select"));
        buttons.close = b.button(QStringLiteral("Cl&ose"));
        setButtons(buttons);
        setPopup({{QStringLiteral("&Select"), buttons.select}});

        BrowseList &songs = makeList(l, MUS, [] {
            return std::vector<QVariant>{MUS.Artist.str(), MUS.Title.str(),      MUS.Album.str(),
                                         MUS.Media.str(),  MUS.FileNumber.str(), MUS.ReleaseDate.value(),
                                         CAT.Category.str()};
        });
        songs.setJoin({&CAT}, joinCategory);
        songs.setLocatorControl(locator);
        const int letters = StopLetters, lettersAndDigits = StopLetters | StopDigits;
        songs.addSortOrder({&MUS.SongsByArtist, {}, {}, LocatorKind::Incremental, 0, {0, 50, lettersAndDigits}});
        songs.addSortOrder({&MUS.SongsByTitle, {}, {}, LocatorKind::Incremental, 0, {0, 50, letters}});
        songs.addSortOrder({&MUS.SongsByAlbum, {}, {}, LocatorKind::Incremental, 0, {0, 50, letters}});
        songs.addSortOrder({&MUS.SongsByMedia, {}, {}, LocatorKind::Incremental, 0, {0, 20, letters}});
        songs.addSortOrder({&MUS.SONGSBYCATEGORY, QStringLiteral("MUS:CategoryID = BRW1::Sort4:Reset:CAT:CategoryID"),
                            {{QStringLiteral("CAT:CategoryID"), {}, {}, true}}, LocatorKind::Incremental, 1,
                            {1, 50, lettersAndDigits}});
        songs.addSortOrder({&MUS.SONGSBYCHARTNUMBER, {}, {}, LocatorKind::Incremental, 0, {-1, 0, 0}});
        on(selectCategory, EventKind::Accepted, [this] {
            chooseFilter(CAT, BrowseCategories);
        });
        QWidget *w = b.finish();
        tabs_ = w->findChild<QTabWidget *>();
        setSortTabs(tabs_);
        return w;
    }

private:
    QTabWidget *tabs_ = nullptr;
};

} // namespace

void SelectFileNumber() { SelectFileNumberWindow().run(); }

} // namespace tbk
