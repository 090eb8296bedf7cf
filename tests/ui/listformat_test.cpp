#include "runtime/ui/listformat.h"

#include <utility>


#include <gtest/gtest.h>

using namespace tbk;

namespace {

const char *const kSongTrackList =
    "[10L|@p(<)p@24L(1)|M@n3@](25)|M~Track~80L(2)|M~Artist~@s30@80L(2)|M~Title~@s30@23L(1)|M~Time~L(2)@s8@"
    "39L(2)|M~Media~@s20@48L(2)|M~File Number~L(0)@s20@46R(2)|M~Release Date~C(0)@d2@19R(2)|M~BPM~R(0)@n_4b@"
    "80L(2)|M~In/Out~L(0)@s20@";

} // namespace

TEST(ListFormat, EveryFormatComesBackExactlyAsItWasRead) {
    const char *formats[] = {
        "80L(2)|M~Artist~@s50@80L(2)|M~Album~@s50@49L(2)|M~Media~@s20@43L(2)|M~File Number~@s20@"
        "49R(2)|M~Released~C(1)@d2@128R(2)|M~XCCD~C(1)@s32@",
        "80L~Media~@s20@",
        "120L@s30@",
        kSongTrackList,
        "25R(1)|~Track~@n3@?166L(1)|~Title~@s50@20L(1)|~Time~@s5@",
        "60L(2)|*M~Artist~@s30@#1#40R*I~Rating~@n3@#7#",
        "20LS(100)F~Odd~@s5@#3#T(1)]",
        "",
        "xx80L",
    };
    for (const char *f : formats)
        EXPECT_EQ(ListFormat::parse(f).toString(), QString(f)) << f;
}

TEST(ListFormat, ColumnsAndGroupsAreReadIntoTheirParts) {
    const ListFormat f = ListFormat::parse(kSongTrackList);
    ASSERT_EQ(f.columns().size(), 9);
    const ListColumn &group = f.columns()[0];
    EXPECT_TRUE(group.isGroup);
    ASSERT_EQ(group.members.size(), 2);
    EXPECT_EQ(group.indent, 25);
    EXPECT_EQ(group.header, "Track");
    EXPECT_EQ(group.members[0].picture, "p(<)p");
    EXPECT_EQ(group.members[1].width, 24);
    EXPECT_EQ(group.members[1].indent, 1);
    EXPECT_TRUE(group.members[1].hasFlag(u'M'));

    const ListColumn &time = f.columns()[3];
    EXPECT_EQ(time.width, 23);
    EXPECT_EQ(time.justification, u'L');
    EXPECT_EQ(time.header, "Time");
    EXPECT_EQ(time.headerJustification, u'L');
    EXPECT_EQ(time.headerIndent, 2);
    EXPECT_EQ(time.picture, "s8");
    EXPECT_TRUE(time.hasFlag(u'|'));
    EXPECT_FALSE(time.hasFlag(u'*'));

    EXPECT_EQ(f.displayColumns().size(), 10);
}

// The displayed columns point into their format: a temporary one does not hand them out.
template <class F>
concept HandsOutColumns = requires(F &&f) { std::forward<F>(f).displayColumns(); };
static_assert(HandsOutColumns<ListFormat &> && HandsOutColumns<const ListFormat &>);
static_assert(!HandsOutColumns<ListFormat> && !HandsOutColumns<const ListFormat>);

TEST(ListFormat, FieldsFollowExplicitNumbersColoursAndIcons) {
    // A colour column takes four more fields after its own, an icon one more.
    const ListFormat f = ListFormat::parse("10L@s5@10L*@s5@10LI@s5@10L@s5@#20#10L@s5@");
    EXPECT_EQ(f.displayFields(), (QList<int>{1, 2, 7, 20, 21}));
}

TEST(ListFormat, FlagsAndFieldNumbersCanBeChanged) {
    ListFormat f = ListFormat::parse("20LS(100)F~A~@s5@");
    ListColumn &c = f.columns()[0];
    EXPECT_TRUE(c.hasFlag(u'F'));
    EXPECT_FALSE(c.hasFlag(u'1'));   // digits inside "(...)" are no flags
    c.setFlag(u'F', false);
    c.setFlag(u'M', true);
    c.setFieldNumber(4);
    EXPECT_EQ(f.toString(), "20LS(100)M~A~@s5@#4#");
    c.setFieldNumber(6);
    EXPECT_EQ(f.toString(), "20LS(100)M~A~@s5@#6#");
}

TEST(ListFormat, DatePicturesTakeTheUsersDateFormat) {
    EXPECT_EQ(replaceDatePictures("49R(2)|M~Released~C(1)@d2@128R~X~@s32@", "d17"),
              "49R(2)|M~Released~C(1)@d17@128R~X~@s32@");
    // Any case, inside groups too, and the "Year Only" picture.
    EXPECT_EQ(replaceDatePictures("[10L@D6@10L@s3@](5)~G~10R@d2@", "n4b"), "[10L@d19@10L@s3@](5)~G~10R@d19@");
    // No date format chosen yet: the design picture stays.
    EXPECT_EQ(replaceDatePictures("10R@d2@", ""), "10R@d2@");
    EXPECT_EQ(replaceDatePictures("10R@d2@", "   "), "10R@d2@");
}
