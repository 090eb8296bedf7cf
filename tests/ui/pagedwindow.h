#pragma once
// A browse-like window for tests: a paged list over songs held in memory. It keeps a page of as
// many rows as the list fits and moves it on the list's scroll requests as the browses do: a
// line moves the current row while it can and otherwise reads one more song, a page moves the
// current song by a page, the ends reload from the first or last song, and the thumb's 100 stops
// run evenly over the songs.
#include "runtime/ui/listmodel.h"
#include "runtime/ui/window.h"

#include <QList>

namespace tbk {
class ListControl;
}

namespace tbk::windowtest {

// The song numbered n (0 for the first) as a list's nine fields; its title "Song 0000" is the key.
QVariant songField(int song, int field);

class PagedWindow : public Window {
public:
    explicit PagedWindow(int songs, QString procedure = QStringLiteral("BrowsePaged"));

    ListControl *list() const { return list_; }
    // The song the page starts with, and the current one (-1 when the page is empty).
    int firstSong() const { return first_; }
    int currentSong() const;
    // Every scroll request the window took, and the kinds of all its events.
    QList<Event> scrolls;
    QList<EventKind> seen;

    static const QString kFormat;

protected:
    QWidget *createWindow() override;
    bool openRoutine() override;
    void takeEvent(const Event &e) override;

private:
    class Page : public ListRows {
    public:
        int rowCount() const override { return int(songs.size()); }
        QVariant field(int row, int field) const override;
        QList<int> songs;
    };
    void scroll(ScrollAction action, int value);
    // Reads the page from the song, keeping the song current when it is one of the page.
    void fill(int first, int current);
    void placeThumb();

    int songs_;
    int first_ = 0;
    Page page_;
    ListControl *list_ = nullptr;
};

} // namespace tbk::windowtest
