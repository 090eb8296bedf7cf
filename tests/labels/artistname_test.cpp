#include "labels/artistname.h"

#include <gtest/gtest.h>

using tbk::ReorderArtistName;

TEST(ReorderArtistName, TurnsSurnameAndGivenNameRound) {
    EXPECT_EQ(ReorderArtistName("Smith, John"), "John Smith");
    EXPECT_EQ(ReorderArtistName("Smith,John"), "John Smith");
    EXPECT_EQ(ReorderArtistName("Smith ,  John  "), "John Smith");
}

TEST(ReorderArtistName, LeavesANameWithoutCommaAsItIs) {
    EXPECT_EQ(ReorderArtistName("Prince"), "Prince");
    EXPECT_EQ(ReorderArtistName("  Prince "), "  Prince ");
    EXPECT_EQ(ReorderArtistName(""), "");
}

TEST(ReorderArtistName, JoinedNames) {
    // Joined before the comma: the whole front is the surname.
    EXPECT_EQ(ReorderArtistName("Simon with Smith, John"), "John Simon with Smith");
    // Joined after the comma: the second artist stays behind the turned-round first one.
    EXPECT_EQ(ReorderArtistName("Smith, John with Jane Doe"), "John Smith with Jane Doe");
    EXPECT_EQ(ReorderArtistName("Smith, John and Jane"), "John Smith and Jane");
    EXPECT_EQ(ReorderArtistName("Smith, John AND Jane"), "John Smith AND Jane");
    // " with " wins over an earlier " and ".
    EXPECT_EQ(ReorderArtistName("Smith, John and Jane with Joe"), "John and Jane Smith with Joe");
}
