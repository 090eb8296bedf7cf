#include "songs/categories.h"

#include "core/datafiles.h"
#include "core/referentialintegrity.h"
#include "songs/namelists.h"

namespace tbk {

namespace {
DittoStore &categoryDitto() {
    static DittoStore store;
    return store;
}
} // namespace

void BrowseCategories() {
    NameBrowse({QStringLiteral("BrowseCategories"), QStringLiteral("Categories"), {50, 50}, QStringLiteral("Browse"),
                QStringLiteral("80L(2)|M~Category~@s30@"), false, &CAT, &CAT.KeyCategory, 30,
                QStringLiteral("&Insert"), QStringLiteral("&Change"), QStringLiteral("&Delete"),
                QStringLiteral("&Select"), QStringLiteral("Cl&ose"), true, UpdateCategories})
        .run();
}

void UpdateCategories() {
    NameForm({QStringLiteral("UpdateCategories"),
              {&CAT, &CAT.KeyCategoryID, QStringLiteral("CAT:KeyCategoryID"), DeleteCategoryRecord,
               UpdateCategoryRecord, CaptureCategoryLinks, {{&CAT.KeyCategory, QStringLiteral("CAT:KeyCategory")}}},
              QStringLiteral("&Category:"), QStringLiteral("CAT:Category"), QStringLiteral("@s30"),
              QStringLiteral("Add Category"), QStringLiteral("Change Category"), &categoryDitto(), kDittoKeyLeftOfOne})
        .run();
}

} // namespace tbk
