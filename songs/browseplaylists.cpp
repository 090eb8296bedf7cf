#include "songs/browseplaylists.h"

#include "records/browse.h"
#include "core/datafiles.h"
#include "core/procedures.h"
#include "runtime/ui/listcontrol.h"
#include "runtime/ui/windowbuilder.h"
#include "songs/updateplaylist.h"

#include <QPushButton>
#include <QTabWidget>

namespace tbk {

namespace {

const char *const kPrint = "PrintPlaylist";
const char *const kPrintChart = "PrintPlaylistChart";
const char *const kGenerate = "GeneratePlaylist";

bool registered(const char *name) { return procedureRegistered(QString::fromLatin1(name)); }

class BrowsePlayListsWindow : public Browse {
public:
    BrowsePlayListsWindow() : Browse(QStringLiteral("BrowsePlayLists"), {&PLD, &PLA}) {
        setKeepsListFormat(false);
        setForm(UpdatePlaylist);
    }

protected:
    QWidget *buildWindow() override {
        WindowBuilder b(*this, QStringLiteral("Playlists"), {50, 50});
        b.tab(QStringLiteral("Playlists"));
        ListControl *l = b.list(QStringLiteral("Browse"), QStringLiteral("120L(2)|M~Playlist Description~@S20@"), 110,
                                QStringLiteral("Right-Click for Options"));
        l->setStatusTip(QStringLiteral("Browsing Records"));
        Buttons buttons;
        buttons.add = b.button(QStringLiteral("&Add"));
        buttons.change = b.button(QStringLiteral("&Change"));
        buttons.remove = b.button(QStringLiteral("&Delete"));
        b.endTab();
        print_ = b.button(QStringLiteral("&Print"), QStringLiteral("Print playlist (basic format)"));
        top40_ = b.button(QStringLiteral("&Top 40"), QStringLiteral("Print playlist in a top-?? chart format"));
        buttons.close = b.button(QStringLiteral("Cl&ose"));
        setButtons(buttons);
        setPopup({{QStringLiteral("&Add"), buttons.add},
                  {QStringLiteral("&Change"), buttons.change},
                  {QStringLiteral("&Delete"), buttons.remove},
                  {},
                  // Greyed by the prints' own state, as it is when the menu shows.
                  {print_->text(), nullptr, [this] { print(kPrint, false); }, [] { return registered(kPrint); }},
                  {top40_->text(), nullptr, [this] { print(kPrintChart, true); }, [] { return registered(kPrintChart); }},
                  {},
                  {QStringLiteral("Generate Play List"), nullptr, [] { runProcedure(QString::fromLatin1(kGenerate)); },
                   [] { return registered(kGenerate); }}});

        makeList(l, PLD, [] { return std::vector<QVariant>{PLD.PLAYLISTDESCRIPTION.str(), PLD.PlaylistID.value()}; })
            .addSortOrder({&PLD.KEYPLAYLISTDESCRIPTION, {}, {}, LocatorKind::FirstLetter, 0,
                           {0, 30, StopLetters | StopDigits}});
        on(print_, EventKind::Accepted, [this] { print(kPrint, false); });
        on(top40_, EventKind::Accepted, [this] { print(kPrintChart, true); });
        QWidget *w = b.finish();
        setSortTabs(w->findChild<QTabWidget *>());
        l->setFocus();
        return w;
    }

    void refreshed() override {
        print_->setEnabled(registered(kPrint));
        top40_->setEnabled(registered(kPrintChart));
    }

private:
    // The highlighted playlist as the file holds it now; with none there is nothing to print.
    void print(const char *name, bool renumbers) {
        const Procedure report = findProcedure(QString::fromLatin1(name));
        if (!report || list().empty() || !list().rereadCurrent())
            return;
        report();
        // The chart print writes the entries' places back.
        if (renumbers)
            refresh(true);
    }

    QPushButton *print_ = nullptr;
    QPushButton *top40_ = nullptr;
};

} // namespace

void BrowsePlayLists() { BrowsePlayListsWindow().run(); }

} // namespace tbk
