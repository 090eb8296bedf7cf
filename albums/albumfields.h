#pragma once
// What the windows that edit an album share: the album file as their form knows it, and the two
// drop lists: the media names (sorted by name) and the categories (name and identifier, sorted
// by name), read from their files when the window opens, the checks of an accepted list, and
// the category's name of the album's identifier.
#include "records/formrecord.h"

#include <QString>
#include <QStringList>

#include <vector>

class QComboBox;

namespace tbk {

// ALB with its identifier key and the unique keys a duplicate is reported for, in their order:
// "Album ID", "Album", "Artist", "CD Serial Number".
FormFile albumFormFile();

class AlbumDropLists {
public:
    // Fills both lists; a blank media of the album becomes the first name. False after
    // standard warning 35 with the file's name ("Media" or "Categories"): the window closes.
    bool fill(FormRecord &album, QComboBox *media, QComboBox *category);
    // The accepted media text: the album takes the entry found; 1 (the list is selected
    // again) when there is none.
    int checkMedia(FormRecord &album, const QString &text) const;
    // The accepted category text: blank sets ALB:CategoryID 0, a name its identifier; 1 when
    // the name is not in the list.
    int checkCategory(FormRecord &album, const QString &text) const;
    // The listed name of the category identifier; blank when none is listed.
    QString categoryName(qint64 id) const;

private:
    struct Category {
        QString name;
        qint64 id;
    };
    QStringList media_;
    std::vector<Category> categories_;
};

// When another album has the album's disc serial (`album` in ALB's layout): blanks the serial in
// `album` and returns that album's title and artist, for a message; empty otherwise. ALB's
// buffer is left as it was.
QString dropSerialOfAnotherAlbum(data::Record &album);

// The category of the identifier read into CAT's buffer by CAT:KeyCategoryID (cleared when
// there is none), and its name.
QString readCategoryName(qint64 id);

} // namespace tbk
