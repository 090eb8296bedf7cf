// Lists held inside a form: Escape there still cancels the form.
#include "addwizardtest.h"
#include "songs/updateplaylist.h"

using namespace addwizardtest;

namespace {

class HeldListTest : public AddWizardTest {
protected:
    void SetUp() override {
        AddWizardTest::SetUp();
        openForUse(PLD);
    }
};

TEST_F(HeldListTest, EscapeOnTheHeldListCancelsTheFormAndTakesThePrimedRecord) {
    struct Case {
        const char *form;
        std::function<Started()> open;
        data::DataFile *primed;
        QString tab, list;
    };
    const Case cases[] = {
        {"playlist", [] { return callOnThread(UpdatePlaylist, InsertRecord, [] { PLD.clear(); }); }, &PLD, {},
         "Browse:2"},
        {"album", [] { return open(InsertRecord); }, &ALB, "Songs", "Browse:2"},
        {"add wizard", [] { return start(AddSingleArtist, InsertRecord); }, &MUS, "Songs", "Browse"},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.form);
        const qint64 before = k.primed->records();
        auto c = k.open();
        ASSERT_EQ(k.primed->records(), before + 1);
        if (!k.tab.isEmpty()) {
            ASSERT_TRUE(chooseTab(c->thread, k.tab));
        }
        auto *list = qobject_cast<ListControl *>(findControl(window(*c), k.list));
        ASSERT_TRUE(list);
        pressListKey(list, Qt::Key_Escape);
        ASSERT_TRUE(runUntilIdle());
        ASSERT_TRUE(c->done);
        EXPECT_EQ(c->response, RequestCancelled);
        EXPECT_EQ(k.primed->records(), before);
    }
}

} // namespace
