#include "testbrowse.h"

#include "core/datafiles.h"
#include "runtime/threads/scheduler.h"
#include "runtime/ui/listcontrol.h"
#include "runtime/ui/windowbuilder.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

using namespace tbk;

namespace coretest {

const QString TestSongBrowse::kFormat = QStringLiteral(
    "80L(2)|M~Artist~@s50@80L(2)|M~Title~@s50@40L(2)|M~Media~@s20@40L(2)|M~File Number~@s20@"
    "50L(2)|M~Category~@s30@24R(2)|M~BPM~@n_4b@40R(2)|M~Released~@d17b@");

TestSongBrowse::TestSongBrowse(std::function<void()> form) : Browse(QStringLiteral("BrowseTestSongs"), {&MUS, &MED, &CAT}) {
    setForm(std::move(form));
    setCountTitle(QStringLiteral("Songs - "), QStringLiteral(" entries"));
}

QWidget *TestSongBrowse::buildWindow() {
    WindowBuilder b(*this, QStringLiteral("Browse Songs"), {330, 170});
    QLineEdit *locator = b.entry(QStringLiteral("Locator:"), QStringLiteral("Locator"), QStringLiteral("@S30"));
    locator->setReadOnly(true);
    for (const char *tab : {"By Artist", "By Media", "By Category", "By BPM"}) {
        b.tab(QString::fromLatin1(tab));
        b.endTab();
    }
    ListControl *l = b.list(QStringLiteral("Browse"), kFormat, 120, QStringLiteral("Right-Click for Options"));
    Buttons buttons;
    buttons.add = b.button(QStringLiteral("&Add"));
    buttons.copy = b.button(QStringLiteral("Cop&y"));
    buttons.change = b.button(QStringLiteral("&Change"));
    buttons.remove = b.button(QStringLiteral("&Delete"));
    QPushButton *search = b.button(QStringLiteral("&Search"));
    buttons.select = b.button(QStringLiteral("Se&lect"));
    buttons.close = b.button(QStringLiteral("Cl&ose"));
    setButtons(buttons);
    setPopup({{QStringLiteral("&Add"), buttons.add},
              {QStringLiteral("&Change"), buttons.change},
              {QStringLiteral("&Delete"), buttons.remove},
              {},
              {QStringLiteral("&Search"), search}});

    BrowseList &songs = makeList(l, MUS, [] {
        return std::vector<QVariant>{MUS.Artist.str(), MUS.Title.str(), MUS.Media.str(), MUS.FileNumber.str(),
                                     CAT.Category.str(), MUS.BeatsPerMinute.value(), MUS.ReleaseDate.value()};
    });
    songs.setJoin({&CAT}, [] {
        CAT.clear();
        CAT.CategoryID = MUS.CategoryID.value();
        if (MUS.CategoryID.value() == 0 || !CAT.get(CAT.KeyCategoryID))
            CAT.clear();
    });
    songs.setLocatorControl(locator);
    songs.addSortOrder({&MUS.SongsByArtist, {}, {}, LocatorKind::Incremental, 0, {0, 0, StopLetters | StopDigits}});
    songs.addSortOrder({&MUS.SongsByMedia, QStringLiteral("UPPER(MUS:Media) = UPPER(BRW1::Sort1:Reset:MED:Media)"),
                       {{QStringLiteral("MED:Media"), QStringLiteral("MUS:Media")}}, LocatorKind::Incremental, 1,
                       {1, 0, StopLetters | StopDigits}});
    songs.addSortOrder({&MUS.SONGSBYCATEGORY, QStringLiteral("MUS:CategoryID = BRW1::Sort2:Reset:CAT:CategoryID"),
                       {{QStringLiteral("CAT:CategoryID"), QStringLiteral("MUS:CategoryID")}}, LocatorKind::Incremental,
                       1, {1, 0, StopLetters | StopDigits}});
    songs.addSortOrder({&MUS.KEYBEATSPERMINUTE, {}, {}, LocatorKind::Incremental, 0, {0, 0, 0}});
    on(search, EventKind::Accepted, [this] {
        list().setQueryFilter(searchFilter);
        refresh(true);
    });
    QWidget *w = b.finish();
    setSortTabs(w->findChild<QTabWidget *>());
    return w;
}

int startSongBrowse(TestSongBrowse *&browse, std::function<void()> form) {
    return startThread([&browse, form] {
        TestSongBrowse w(form);
        browse = &w;
        w.run();
        browse = nullptr;
    });
}

} // namespace coretest
