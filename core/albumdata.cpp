#include "core/albumdata.h"

#include "core/datafiles.h"

#include <optional>

namespace tbk {

void takeFromAlbum(const data::FieldProxy &song, const data::FieldProxy &album, bool always,
                   const data::Record *took, AlbumValues values) {
    const data::FieldRef own = song.ref(), given = album.ref();
    std::optional<QString> was;
    if (took && size_t(given.index()) < took->cells.size()) {
        const data::Cell &c = took->cells[size_t(given.index())];
        was = given.isText() ? c.s : QString::number(c.n);
    }
    const QString value = own.text();
    bool taken;
    if (values == AlbumValues::Changed) {
        if (!was || given.text() == *was)
            return;
        taken = value == *was;
    } else {
        taken = value.isEmpty() || value == QLatin1String("0") || (was && value == *was);
    }
    if (always || taken)
        own.setValue(given.value());
}

void takeAlbumData(bool always, const data::Record *took, bool artist, AlbumValues values) {
    if (artist)
        takeFromAlbum(MUS.Artist, ALB.Artist, always, took, values);
    takeFromAlbum(MUS.FileNumber, ALB.FileNumber, always, took, values);
    takeFromAlbum(MUS.ReleaseDate, ALB.ReleaseDate, always, took, values);
    takeFromAlbum(MUS.CategoryID, ALB.CategoryID, always, took, values);
    takeFromAlbum(MUS.Album, ALB.Album, true, took, values);
    takeFromAlbum(MUS.Media, ALB.Media, true, took, values);
}

} // namespace tbk
