#pragma once
// What the song lists share: the looked-up names loaded with each row, the choice of the
// record a filtered tab shows, the search through the query wizard, the drag of a song and the
// procedures they start on threads of their own.
#include "runtime/data/datafile.h"
#include "runtime/querywizard/queryfields.h"

#include <QPointer>
#include <QString>

#include <cstddef>

class QLineEdit;
class QPushButton;

namespace tbk {

class BrowseList;
class ListControl;
class WindowBuilder;

// The locator's text under its prompt; the list's keys write it, not the user.
QLineEdit *locatorEntry(WindowBuilder &b, const QString &prompt = QStringLiteral("Locator:"));

// The song's category into the categories buffer, blank when it has none or it is gone.
void joinCategory();
// The same, and the song's media format into the media buffer.
void joinCategoryAndMedia();

// A song list's search: the query wizard's field queue under the list's query name, the filter
// in force (blank: none) and the Search and Reset Search buttons. The filter lives as long as the
// window; after each change the window refreshes its list with force.
class SongSearch {
public:
    SongSearch(QString queryName, QString fieldList);
    void setButtons(QPushButton *search, QPushButton *reset);
    // When the window opens: the queue prepared; a refused field list disables both buttons.
    void prepare();
    // The wizard on the filter in force; true when the user ran a query, whose filter the list
    // then takes.
    bool run(BrowseList &list);
    void apply(BrowseList &list, const QString &filter);
    // Every song again; Reset Search disabled.
    void reset(BrowseList &list);
    const QString &filter() const { return filter_; }

private:
    QString queryName_, fieldList_;
    QueryFieldQueue queue_;
    bool failed_ = false;
    QString filter_;
    QPointer<QPushButton> search_, reset_;
};

// The list drags the identifier of the song under the mouse as "Songs"; `idValue` is where
// the identifier stands among the row maker's values.
void makeSongDragSource(ListControl *control, const BrowseList &list, std::size_t idValue);

// Reports, import and export run on threads of their own, so the list stays usable.
void startOnOwnThread(const QString &procedure);

} // namespace tbk
