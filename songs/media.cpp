#include "songs/media.h"

#include "core/datafiles.h"
#include "core/referentialintegrity.h"
#include "songs/namelists.h"

namespace tbk {

namespace {
// Windows' virtual-key code 222 is the quote key.
constexpr int kDittoKey = Qt::Key_Apostrophe;

DittoStore &mediaDitto() {
    static DittoStore store;
    return store;
}
} // namespace

void BrowseMedia() {
    NameBrowse({QStringLiteral("BrowseMedia"), QStringLiteral("Browse Media Formats"), {}, QStringLiteral("Browse:1"),
                QStringLiteral("80L(2)|M~Media~@s20@"), true, &MED, &MED.KeyMedia, 20, QStringLiteral("&Add"),
                QStringLiteral("&Change"), QStringLiteral("&Delete"), QStringLiteral("&Select"),
                QStringLiteral("E&xit"), false, UpdateMedia})
        .run();
}

void UpdateMedia() {
    NameForm({QStringLiteral("UpdateMedia"),
              {&MED, nullptr, {}, DeleteMediaRecord, UpdateMediaRecord, CaptureMediaLinks,
               {{&MED.KeyMedia, QStringLiteral("MED:KeyMedia")}}},
              QStringLiteral("&Media:"), QStringLiteral("MED:Media"), QStringLiteral("@s20"),
              QStringLiteral("Adding Media Format"), QStringLiteral("Changing Media Format"), &mediaDitto(),
              kDittoKey})
        .run();
}

} // namespace tbk
