#include "albums/selectalbum.h"

#include "records/browse.h"
#include "core/datafiles.h"
#include "runtime/ui/listcontrol.h"
#include "runtime/ui/windowbuilder.h"

#include <QPushButton>
#include <QTabWidget>

namespace tbk {

namespace {

class SelectAlbumWindow : public Browse {
public:
    SelectAlbumWindow() : Browse(QStringLiteral("SelectAlbum"), {&ALB}) { setResizeMode(2); }

protected:
    QWidget *buildWindow() override {
        WindowBuilder b(*this, QStringLiteral("Select An Album"));
        ListControl *l = b.list(QStringLiteral("Browse:1"),
                                QStringLiteral("80L(2)|M~Album~@s30@80L(2)|M~Artist~@s30@43L(2)|M~File Number~@s10@"
                                               "80L(2)|M~Media~@s20@80R(2)|M~Release Date~C(0)@d2@"));
        Buttons buttons;
        buttons.select = b.button(QStringLiteral("&Select"));
        for (const char *tab : {"Album", "Artist", "File #"}) {
            b.tab(QString::fromLatin1(tab));
            b.endTab();
        }
        QPushButton *close = b.button(QStringLiteral("Cl&ose"));
        setButtons(buttons);
        setPopup({{QStringLiteral("&Select"), buttons.select}});
        makeList(l, ALB, [] {
            return std::vector<QVariant>{ALB.Album.str(), ALB.Artist.str(), ALB.FileNumber.str(), ALB.Media.str(),
                                         ALB.ReleaseDate.value()};
        });
        list().addSortOrder({&ALB.KEYALBUM, {}, {}, LocatorKind::FirstLetter, 0, {0, 50, StopLetters | StopDigits}});
        list().addSortOrder({&ALB.KEYARTIST, {}, {}, LocatorKind::FirstLetter, 0, {-1, 0, 0}});
        list().addSortOrder({&ALB.KEYFILENUMBER, {}, {}, LocatorKind::FirstLetter, 0, {-1, 0, 0}});
        // Callers look at the response; the buffer holds the highlighted album either way.
        on(close, EventKind::Accepted, [this] {
            if (!list().empty())
                list().rereadCurrent();
            closeWindow();
        });
        QWidget *w = b.finish();
        setSortTabs(w->findChild<QTabWidget *>());
        return w;
    }
};

} // namespace

void SelectAlbum() { SelectAlbumWindow().run(); }

} // namespace tbk
