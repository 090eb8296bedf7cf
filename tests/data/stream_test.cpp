// A run of writes in stream mode: what it wrote is there for everyone once it is flushed.
#include "support.h"

#include <QFile>

using namespace tbk;
using namespace tbk::data;
using namespace datatest;

namespace {

class Stream : public testing::Test {
protected:
    void SetUp() override { createAndOpen({&CF, &MUS, &PLA}); }
    void TearDown() override { closeAll(); }
};

TEST_F(Stream, FlushLetsOtherProcessesWriteAndLeavesNoJournal) {
    addSongs(1, 1);
    MUS.stream();
    addSongs(2, 50);
    MUS.flush();
    EXPECT_EQ(runChild({QStringLiteral("touch"), QStringLiteral("1")}), 0);
    EXPECT_EQ(countsOf(QStringLiteral("tbkdata.dat")), std::make_pair(qint64(50), qint64(50)));
    EXPECT_FALSE(QFile::exists(QStringLiteral("tbkdata.dat-journal")));
    // And streaming again after the flush works as the first time.
    MUS.stream();
    addSongs(51, 60);
    MUS.close();
    EXPECT_EQ(runChild({QStringLiteral("touch"), QStringLiteral("60")}), 0);
}

} // namespace
