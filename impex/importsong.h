#pragma once
// One song from one line of a comma-delimited file, as the columns are assigned: each line
// starts from an empty song record, texts are cut to their fields' widths, numbers held within
// their fields' ranges, the category found, recognised or added by its text, and the media
// letters "D", "C" and "B" turned into the cassette formats. A release date that is a plain
// year (1 to 3000) is that year: kept bare under "Year Only", else January 1 of it (from 1810,
// the first year whose January 1 is not a bare year's number).
#include "impex/importfields.h"

#include <QHash>

#include <vector>

namespace tbk {

// The category identifier for a category text (cut to 30 characters): 0 for a blank text; the
// identifier of the category of that name; 0 for "0"; a whole number that is a category's
// identifier gives it; otherwise a category of that name is added (the highest identifier plus one, or 1)
// and its identifier given. A failed add gives 0 and sets `addFailed`, the error kept.
qint32 importCategoryId(const QString &text, bool &addFailed);

class SongBuilder {
public:
    explicit SongBuilder(const ImportFieldLists &lists);
    // Builds the song of the transfer's line in the songs buffer. False when a category could
    // not be added (the song has category 0; the error is the add's).
    bool build(ImportTransfer &t);
    // The category texts looked up so far are looked up again: others may have changed the
    // categories meanwhile.
    void forgetCategories() { categories_.clear(); }

private:
    struct Feed {
        int field = -1;          // index in the songs record
        bool text = false;
        bool byte = false;       // a BYTE number; else LONG
        int size = 0;            // characters of a text
        bool category = false;
        bool releaseDate = false;
    };
    struct Column {
        QString picture;
        bool shortTimes = false;   // read as the song form reads a time
        bool numbers = false;      // a number is taken as it is, whatever the date picture
        bool years = false;        // feeds the release date
        std::vector<Feed> feeds;
    };
    qint32 categoryId(const QString &text, bool &addFailed);

    std::vector<Column> columns_;   // up to the last column assigned
    bool yearOnly_;
    QHash<QString, qint32> categories_;
};

} // namespace tbk
