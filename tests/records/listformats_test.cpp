#include "records/listformats.h"
#include "runtime/settings/profile.h"
#include "runtime/ui/listformat.h"

#include <gtest/gtest.h>

using namespace tbk;

namespace {
const QString kDesign = QStringLiteral("80L(2)|M~Artist~@s40@#1#60L(2)|M~Released~@d17@#2#");
const QString kWidened = QStringLiteral("120L(2)|M~Artist~@s40@#1#60L(2)|M~Released~@d17@#2#");
const QString kFile = QStringLiteral(".\\POSITION.INI");
} // namespace

TEST(ListFormats, AKeptLayoutComesBackOnlyOverTheDesignItWasKeptAgainst) {
    // First opening: nothing kept, the design is recorded.
    EXPECT_EQ(restoreListFormat("BrowseSongs", "Browse", kDesign), kDesign);
    EXPECT_EQ(getIni("BrowseSongs", "SRCFOriginal?Browse", "", kFile), kDesign);

    saveListFormat("BrowseSongs", "Browse", kWidened);
    EXPECT_EQ(restoreListFormat("BrowseSongs", "Browse", kDesign), kWidened);
    // Another list of the same window, and the same list name in another window, keep their own.
    EXPECT_EQ(restoreListFormat("BrowseSongs", "Tracks", kDesign), kDesign);
    EXPECT_EQ(restoreListFormat("BrowseAlbums", "Browse", kDesign), kDesign);

    // A new date format changes the design: the kept layout is dropped and the new design recorded.
    const QString dated = replaceDatePictures(kDesign, "d2");
    ASSERT_NE(dated, kDesign);
    EXPECT_EQ(restoreListFormat("BrowseSongs", "Browse", dated), dated);
    EXPECT_EQ(getIni("BrowseSongs", "SRCFOriginal?Browse", "", kFile), dated);
    // The layout saved over the new design is used again from then on.
    saveListFormat("BrowseSongs", "Browse", kWidened + "X");
    EXPECT_EQ(restoreListFormat("BrowseSongs", "Browse", dated), kWidened + "X");
}

TEST(ListFormats, ABlankKeptLayoutGivesTheDesign) {
    restoreListFormat("BrowseTips", "List", kDesign);
    saveListFormat("BrowseTips", "List", "");
    EXPECT_EQ(restoreListFormat("BrowseTips", "List", kDesign), kDesign);
}
