#include "albums/albumfields.h"

#include "core/datafiles.h"
#include "core/referentialintegrity.h"
#include "core/standardwarnings.h"
#include "runtime/data/errors.h"
#include "runtime/ui/fieldcontrol.h"
#include "runtime/values/text.h"

#include <QComboBox>

namespace tbk {

namespace {

const QString kMediaField = QStringLiteral("ALB:Media");

// Reads the file through the key from its start, one call per record; the buffer is as it was
// afterwards. False after warning 35 on a read error.
bool readAll(data::DataFile &file, const data::Key &key, const std::function<void()> &take) {
    const data::Record kept = file.record();
    file.set(key);
    while (file.next())
        take();
    const bool read = data::errorCode() == data::RecordNotAvailable;
    file.setRecord(kept);
    if (!read)
        ShowStandardWarningWithText(35, file.label());
    return read;
}

} // namespace

FormFile albumFormFile() {
    return {&ALB,
            &ALB.KEYALBUMID,
            QStringLiteral("Album ID"),
            DeleteAlbumRecord,
            UpdateAlbumRecord,
            CaptureAlbumLinks,
            {{&ALB.KEYALBUM, QStringLiteral("Album")},
             {&ALB.KEYARTIST, QStringLiteral("Artist")},
             {&ALB.KEYCDIDENTIFIER, QStringLiteral("CD Serial Number")}}};
}

QString dropSerialOfAnotherAlbum(data::Record &album) {
    const data::Record kept = ALB.record();
    ALB.setRecord(album);
    const qint32 id = ALB.AlbumID.value();
    QString owner;
    if (!ALB.CDIDENTIFIER.empty() && ALB.get(ALB.KEYCDIDENTIFIER) && ALB.AlbumID.value() != id) {
        owner = QLatin1Char('"') + clip(ALB.Album.str()) + QLatin1Char('"');
        if (!ALB.Artist.empty())
            owner += QStringLiteral(" by ") + clip(ALB.Artist.str());
        ALB.setRecord(album);
        ALB.CDIDENTIFIER = QString();
        album = ALB.record();
    }
    ALB.setRecord(kept);
    return owner;
}

bool AlbumDropLists::fill(FormRecord &album, QComboBox *media, QComboBox *category) {
    media_.clear();
    categories_.clear();
    if (!readAll(MED, MED.KeyMedia, [this] { media_ << MED.Media.str(); }) ||
        !readAll(CAT, CAT.KeyCategory, [this] { categories_.push_back({CAT.Category.str(), CAT.CategoryID.value()}); }))
        return false;
    static_cast<LookupField *>(FieldControl::of(media))->setChoices(media_);
    QStringList names;
    for (const Category &c : categories_)
        names << c.name;
    static_cast<LookupField *>(FieldControl::of(category))->setChoices(names);
    if (album.value(kMediaField).toString().isEmpty() && !media_.isEmpty())
        album.setValue(kMediaField, media_.first());
    return true;
}

int AlbumDropLists::checkMedia(FormRecord &album, const QString &text) const {
    for (const QString &m : media_)
        if (sameText(m, text, Qt::CaseInsensitive)) {
            album.setValue(kMediaField, m);
            return 0;
        }
    return 1;
}

int AlbumDropLists::checkCategory(FormRecord &album, const QString &text) const {
    const QString field = QStringLiteral("ALB:CategoryID");
    if (text.isEmpty()) {
        album.setValue(field, 0);
        return 0;
    }
    for (const Category &c : categories_)
        if (sameText(c.name, text, Qt::CaseInsensitive)) {
            album.setValue(field, c.id);
            return 0;
        }
    return 1;
}

QString AlbumDropLists::categoryName(qint64 id) const {
    for (const Category &c : categories_)
        if (c.id == id)
            return c.name;
    return {};
}

QString readCategoryName(qint64 id) {
    CAT.clear();
    CAT.CategoryID = id;
    if (id == 0 || !CAT.get(CAT.KeyCategoryID))
        CAT.clear();
    return CAT.Category.str();
}

} // namespace tbk
