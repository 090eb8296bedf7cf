#include "mci/drivefixture.h"

#include "cdaudio/discid.h"
#include "cdaudio/mcicommand.h"
#include "runtime/values/dates.h"

#include <cddb/cddb.h>
#include <discid/discid.h>

#include <random>

using namespace tbk;

namespace {

// The track queue a drive reports for a table of contents: each track up to the next start,
// the last one frame short of the lead-out.
DiscTrackList queueOf(const std::vector<quint32> &starts, quint32 leadout) {
    DiscTrackList q;
    for (size_t i = 0; i < starts.size(); ++i) {
        const quint32 end = i + 1 < starts.size() ? starts[i + 1] : leadout - 1;
        q.push_back({starts[i], end - starts[i]});
    }
    return q;
}

TEST(DiscId, WorkedExample) {
    const DiscTrackList q = queueOf({150, 18000}, 38001);
    EXPECT_EQ(q[1].TRACKLENGTH, 20000u);
    qint32 total = 0;
    const QString id = ComputeDiscId(q, total);
    EXPECT_EQ(id, "0801f802");
    EXPECT_EQ(total, 50400);
    EXPECT_EQ(FormatDiscQueryLine(id, q), "0801f802 2 150 18000 506");
}

TEST(DiscId, EmptyQueueLeavesTheTotalAlone) {
    qint32 total = 12345;
    EXPECT_EQ(ComputeDiscId({}, total), "");
    EXPECT_EQ(total, 12345);
    EXPECT_EQ(FormatDiscQueryLine(QString(), {}), "");
}

TEST(DiscId, LengthUsesTheSummedLeadOutAddress) {
    qint32 total = 0;
    // Single track: start 150 (second 2), 149 frames + 1 = lead-out 300 (second 4).
    EXPECT_EQ(ComputeDiscId({{150, 149}}, total), "02000201");
    EXPECT_EQ(total, 200);
    // Last track at 18074 (second 240) of 75 frames: lead-out 18150 is second 242, not 241.
    const QString id = ComputeDiscId({{150, 17924}, {18074, 75}}, total);
    EXPECT_EQ(total, 24000);
    EXPECT_EQ(id.mid(2, 4), "00f0");   // 240 seconds
    EXPECT_EQ(FormatDiscQueryLine(id, {{150, 17924}, {18074, 75}}), id + " 2 150 18074 242");
}

TEST(DiscId, ChecksumIsTakenModulo255) {
    // Start seconds whose digits add to 17 each: fifteen of them make 255.
    std::vector<quint32> seconds{89, 98, 179, 188, 197, 269, 278, 287, 296, 359, 368, 377, 386, 395, 449};
    const auto idOf = [](const std::vector<quint32> &secs) {
        std::vector<quint32> starts;
        for (quint32 s : secs)
            starts.push_back(s * 75);
        qint32 total = 0;
        return ComputeDiscId(queueOf(starts, starts.back() + 7500), total);
    };
    EXPECT_EQ(idOf(seconds).left(2), "00");
    seconds.back() = 459;   // 18: the checksum is 256
    EXPECT_EQ(idOf(seconds).left(2), "01");
}

TEST(DiscId, QueryLineIsNotCutForDiscsWithManyTracks) {
    std::vector<quint32> starts;
    for (quint32 i = 0; i < 99; ++i)
        starts.push_back(150 + i * 3000);
    const DiscTrackList q = queueOf(starts, 150 + 99 * 3000);
    qint32 total = 0;
    const QString line = FormatDiscQueryLine(ComputeDiscId(q, total), q);
    EXPECT_GT(line.size(), 255);
    EXPECT_TRUE(line.endsWith(QLatin1String(" 294150 3962")));
    EXPECT_EQ(line.split(QLatin1Char(' ')).size(), 2 + 99 + 1);
}

// The identifier as two independent libraries compute it from the table of contents.
QString libdiscidId(const std::vector<quint32> &starts, quint32 leadout) {
    std::vector<int> offsets{int(leadout)};
    for (quint32 s : starts)
        offsets.push_back(int(s));
    DiscId *d = discid_new();
    QString id;
    if (discid_put(d, 1, int(starts.size()), offsets.data()))
        id = QString::fromLatin1(discid_get_freedb_id(d));
    discid_free(d);
    return id;
}

QString libcddbId(const std::vector<quint32> &starts, quint32 leadout) {
    cddb_disc_t *disc = cddb_disc_new();
    for (quint32 s : starts) {
        cddb_track_t *t = cddb_track_new();
        cddb_track_set_frame_offset(t, int(s));
        cddb_disc_add_track(disc, t);
    }
    cddb_disc_set_length(disc, leadout / 75);
    cddb_disc_calc_discid(disc);
    const QString id = QStringLiteral("%1").arg(cddb_disc_get_discid(disc), 8, 16, QLatin1Char('0'));
    cddb_disc_destroy(disc);
    return id;
}

TEST(DiscId, AgreesWithReferenceLibraries) {
    std::mt19937 random(20261209);
    int compared = 0;
    for (int i = 0; i < 375; ++i) {
        const int tracks = 1 + i % 99;
        // Track lengths of 4 s to about 80 min / tracks, starts anywhere in a second.
        const quint32 longest = std::max<quint32>(300, 360000 / quint32(tracks));
        std::uniform_int_distribution<quint32> length(300, longest);
        std::vector<quint32> starts{150 + (i % 3 == 0 ? quint32(random() % 4000) : 0u)};
        for (int t = 1; t < tracks; ++t)
            starts.push_back(starts.back() + length(random));
        // Every remainder of the lead-out modulo 75 in turn.
        quint32 leadout = starts.back() + length(random);
        leadout += (75 + quint32(i % 75) - leadout % 75) % 75;
        const DiscTrackList q = queueOf(starts, leadout);
        qint32 total = 0;
        const QString ours = ComputeDiscId(q, total);
        EXPECT_EQ(ours, libdiscidId(starts, leadout)) << "table " << i;
        EXPECT_EQ(ours, libcddbId(starts, leadout)) << "table " << i;
        EXPECT_EQ(total, qint32(leadout / 75 - starts.front() / 75) * 100);
        ++compared;
    }
    EXPECT_EQ(compared, 375);
}

TEST(MsfConversions, ParseSplitAndDigitSums) {
    EXPECT_EQ(ParseMsfToFrames(QStringLiteral("00:02:00")), 150);
    EXPECT_EQ(ParseMsfToFrames(QStringLiteral("74:59:74")), 74 * 4500 + 59 * 75 + 74);
    EXPECT_EQ(ParseMsfToFrames(QStringLiteral("04:00")), 18000);
    EXPECT_EQ(ParseMsfToFrames(QStringLiteral("xx:01:yy")), 75);
    // A failed request reads as 0, though "26" of its code sits where the frames go.
    EXPECT_EQ(ParseMsfToFrames(QStringLiteral("Error:263")), 0);

    for (qint32 frames : {0, 150, 18000, 38001, 74 * 4500 + 59 * 75 + 74}) {
        quint8 m = 0, s = 0, f = 0;
        SplitFramesToMsf(frames, m, s, f);
        EXPECT_LT(s, 60);
        EXPECT_LT(f, 75);
        EXPECT_EQ(m * 4500 + s * 75 + f, frames);
        const QString text = QStringLiteral("%1:%2:%3").arg(m, 2, 10, QLatin1Char('0'))
                                 .arg(s, 2, 10, QLatin1Char('0')).arg(f, 2, 10, QLatin1Char('0'));
        EXPECT_EQ(ParseMsfToFrames(text), frames);
    }

    const std::pair<qint32, qint32> sums[] = {{0, 0}, {-17, 0}, {2, 2}, {240, 6}, {506, 11}, {999999, 54}};
    for (const auto &[n, sum] : sums)
        EXPECT_EQ(SumDecimalDigits(n), sum) << n;
}

TEST(MsfConversions, HexNumbers) {
    EXPECT_EQ(FormatHexNumber(0x0801F802, 0, true), "0801F802");
    EXPECT_EQ(FormatHexNumber(0, 3, true), "00000000");
    EXPECT_EQ(FormatHexNumber(0xFFFFFFFF, 8, true), "FFFFFFFF");
    EXPECT_EQ(FormatHexNumber(0xAB, 4, false), "00AB");
    EXPECT_EQ(FormatHexNumber(0xAB, 40, false), "00000000000000AB");
    EXPECT_EQ(FormatHexNumber(0x12345, 2, false), "12345");   // never loses digits
}

TEST(DiscSerial, CountThenTimeDigits) {
    // Nine tracks, 45:30, the first 4:25 long.
    EXPECT_EQ(BuildDiscSerial(9, timeOf(0, 45, 30), {timeOf(0, 4, 25), timeOf(0, 3, 0), timeOf(0, 5, 1)}),
              " 9273001265011800130101");
    // Three tracks of 20 minutes: 26 characters, cut to 24.
    EXPECT_EQ(BuildDiscSerial(3, timeOf(1, 0, 0), {timeOf(0, 20, 0), timeOf(0, 20, 0), timeOf(0, 20, 0)}),
              " 33600011200011200011200");
    EXPECT_EQ(BuildDiscSerial(12, 1, {2}), "1212");
}

class DiscSerialFromDrive : public DriveTest {};

TEST_F(DiscSerialFromDrive, AsksOnlyForTheTracksTheDiscHas) {
    describe(QStringLiteral("tracks 150\nleadout 20401\nfail 263 status cdaudio length track 2\n"));
    ASSERT_EQ(SendMciCommand(QStringLiteral("open cdaudio shareable")), "1");
    SendMciCommand(QStringLiteral("set cdaudio time format tmsf"));
    // Disc 04:30:01, track 1 04:30:00 (one frame short).
    bool failed = false;
    EXPECT_EQ(ReadDiscSerial(1, &failed), QStringLiteral(" 1%1%2").arg(timeOf(0, 4, 30)).arg(timeOf(0, 4, 30)));
    EXPECT_FALSE(failed);

    describe(QStringLiteral("tracks 150 18000 30000 40000\nleadout 60000\n"));
    EXPECT_EQ(ReadDiscSerial(4), QStringLiteral(" 4%1%2%3%4").arg(timeOf(0, 13, 18))
                                     .arg(timeOf(0, 3, 58)).arg(timeOf(0, 2, 40)).arg(timeOf(0, 2, 13)).left(24));
    describe(QStringLiteral("tracks 150 18000 30000 40000\nleadout 60000\nfail 262 status cdaudio length track 3\n"));
    ReadDiscSerial(4, &failed);
    EXPECT_TRUE(failed);
}

} // namespace
