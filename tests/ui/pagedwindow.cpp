#include "pagedwindow.h"

#include "runtime/ui/listcontrol.h"

#include <QPushButton>
#include <QWidget>

#include <algorithm>

namespace tbk::windowtest {

const QString PagedWindow::kFormat = QStringLiteral(
    "60L(2)|M~Title~@s20@75L(2)|M~Artist~@s20@50L(2)|M~Album~@s20@30R(2)|M~Year~C(0)@n4@"
    "26R(2)|M~BPM~C(0)@n3@28L(2)|M~Time~@s8@30L(2)|M~Media~@s10@30L(2)|M~File~@s10@32R(2)|M~Plays~C(0)@n5@");

QVariant songField(int song, int field) {
    static const char *artists[] = {"Abba", "Blondie", "Chic", "Donna Summer", "Eurythmics", "Fleetwood Mac"};
    static const char *media[] = {"CD", "Vinyl", "MP3"};
    switch (field) {
    case 1: return QStringLiteral("Song %1").arg(song, 4, 10, QLatin1Char('0'));
    case 2: return QString::fromLatin1(artists[song % 6]);
    case 3: return QStringLiteral("Album %1").arg(song / 12 + 1);
    case 4: return qint64(1960 + song % 40);
    case 5: return qint64(80 + song % 60);
    case 6: return QStringLiteral("%1:%2").arg(2 + song % 5).arg(song % 60, 2, 10, QLatin1Char('0'));
    case 7: return QString::fromLatin1(media[song % 3]);
    case 8: return QStringLiteral("F-%1").arg(song / 12 + 1, 3, 10, QLatin1Char('0'));
    case 9: return qint64(song * 7 % 500);
    default: return {};
    }
}

QVariant PagedWindow::Page::field(int row, int field) const {
    return row >= 0 && row < songs.size() ? songField(songs[row], field) : QVariant();
}

PagedWindow::PagedWindow(int songs, QString procedure) : Window(std::move(procedure)), songs_(songs) {}

QWidget *PagedWindow::createWindow() {
    auto *w = new QWidget;
    w->setObjectName(procedureName());
    w->setWindowTitle(QStringLiteral("Songs"));
    w->setGeometry(40, 40, 640, 330);
    list_ = new ListControl(w);
    list_->setObjectName(QStringLiteral("List"));
    list_->setGeometry(10, 10, 620, 270);
    auto *close = new QPushButton(QStringLiteral("Close"), w);
    close->setObjectName(QStringLiteral("Close"));
    close->setGeometry(550, 290, 80, 28);
    return w;
}

bool PagedWindow::openRoutine() {
    list_->setFormat(kFormat);
    list_->setPaged(true);
    list_->setRows(&page_);
    fill(0, 0);
    return true;
}

int PagedWindow::currentSong() const {
    const int row = list_->currentRow();
    return row < 0 ? -1 : page_.songs.value(row, -1);
}

void PagedWindow::fill(int first, int current) {
    const int lines = std::max(1, list_->linesFit());
    // The current song stays on the page when the page is moved or shrunk.
    if (current >= 0 && current >= first + lines)
        first = current - lines + 1;
    first_ = std::clamp(first, 0, std::max(0, songs_ - lines));
    page_.songs.clear();
    for (int s = first_; s < std::min(songs_, first_ + lines); ++s)
        page_.songs.append(s);
    list_->listModel()->pageChanged();
    if (!page_.songs.isEmpty())
        list_->setCurrentRow(std::clamp(current - first_, 0, int(page_.songs.size()) - 1));
    list_->setThumbVisible(page_.songs.size() == lines);
    placeThumb();
}

// The thumb's stops are 100 songs spread evenly from the first to the last; the thumb stands on
// the first stop not before the current song.
void PagedWindow::placeThumb() {
    const int current = currentSong();
    int p = 1;
    while (p < 100 && (p - 1) * (songs_ - 1) / 99 < current)
        ++p;
    list_->setThumb(p);
}

void PagedWindow::scroll(ScrollAction action, int value) {
    const int lines = std::max(1, list_->linesFit());
    int current = std::max(0, currentSong());
    int first = first_;
    switch (action) {
    case ScrollLineUp:
        for (int i = 0; i < value; ++i) {
            if (current > first)
                --current;
            else if (first > 0)
                current = --first;
        }
        break;
    case ScrollLineDown:
        for (int i = 0; i < value; ++i) {
            if (current < first + int(page_.songs.size()) - 1)
                ++current;
            else if (first + lines < songs_)
                current = ++first + lines - 1;
        }
        break;
    case ScrollPageUp:
        first -= lines * value;
        current = std::max(0, current - lines * value);
        break;
    case ScrollPageDown:
        first += lines * value;
        current = std::min(songs_ - 1, current + lines * value);
        break;
    case ScrollTop:
        first = current = 0;
        break;
    case ScrollBottom:
        first = songs_ - lines;
        current = songs_ - 1;
        break;
    case ScrollThumb:
        if (value <= 1)
            first = current = 0;
        else if (value >= 100)
            first = songs_ - lines, current = songs_ - 1;
        else
            first = current = (value - 1) * (songs_ - 1) / 99;
        break;
    }
    fill(first, current);
}

void PagedWindow::takeEvent(const Event &e) {
    seen.append(e.kind);
    switch (e.kind) {
    case EventKind::Scroll:
        scrolls.append(e);
        scroll(ScrollAction(e.key), e.value);
        break;
    case EventKind::Sized:
        fill(first_, currentSong());
        break;
    case EventKind::NewSelection:
        placeThumb();
        break;
    case EventKind::Accepted:
        if (e.control && e.control->objectName() == QLatin1String("Close"))
            closeWindow();
        break;
    default:
        break;
    }
    Window::takeEvent(e);
}

} // namespace tbk::windowtest
