#include "support/cdlookup/lookupfixture.h"

#include "core/datafiles.h"
#include "core/fileaccess.h"
#include "core/programsettings.h"
#include "runtime/data/errors.h"
#include "runtime/mci/mci.h"
#include "runtime/settings/profile.h"
#include "runtime/threads/halt.h"
#include "runtime/values/dates.h"
#include "support/drivefile.h"
#include "support/windows/windowtesting.h"

#include <QDir>
#include <QFileInfo>

using namespace tbk;

namespace cdlookuptest {

const qint32 kThreeTrackTimes[3] = {timeOf(0, 4, 24), timeOf(0, 4, 26), timeOf(0, 4, 26)};

QByteArray readReply(const QByteArray &entry) {
    return "210 rock 1b031e03 CD database entry follows (until terminating `.')\r\n" + entry + ".\r\n";
}

namespace {
const QString kEntryText = QStringLiteral(
    "# xmcd\r\nDISCID=1b031e03\r\nDTITLE=Bj\u00f6rk \u00c5str\u00f6m / Sj\u00f6n \u00d6ver\r\n"
    "TTITLE0=F\u00f6rsta\r\nTTITLE1=Andra\r\nTTITLE2=Tredje\r\n"
    "EXTD=Inspelad i G\u00e4vle\r\nEXTT0=\r\nPLAYORDER=\r\n");
} // namespace

const QByteArray kUtf8Entry = kEntryText.toUtf8();
const QByteArray kLatin1Entry = kEntryText.toLatin1();
const QByteArray kFiveTitleEntry =
    "DISCID=1b031e03\r\nDTITLE=Various / Sampler\r\nTTITLE0=One / First\r\nTTITLE1=Two / Second\r\n"
    "TTITLE2=Third\r\nTTITLE3=Four / Fourth\r\nTTITLE4=Fifth\r\n";

void DiscLookupTest::SetUp() {
    setExitHook([](int) {});
    describeDrive(QString::fromLatin1(kThreeTrackDisc));
    qputenv("TBK_CDROM", QFile::encodeName(QDir::current().filePath(QStringLiteral("drive.txt"))));
    // The agent is found as the catalogue finds it: by its name, on PATH.
    oldPath_ = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(QFileInfo(QStringLiteral(DISCSEEK_BIN)).path()) + ':' + oldPath_);
    AutomaticLookup = 1;
    GLO.Side = 0;
    putIni(QStringLiteral("Default"), QStringLiteral("Host"), QString::fromLatin1(server.serverLine()),
           QString::fromLatin1(".\\DISCSEEK.INI"));
    openForUse(ALB);
    openForUse(MUS);
    openForUse(CAT);
}

void DiscLookupTest::TearDown() {
    windowtest::endAllThreads();
    INP.close();
    closeAllDataFiles();
    QString answer;
    mciSendString(QStringLiteral("close all"), answer);
    qunsetenv("TBK_CDROM");
    qputenv("PATH", oldPath_);
    AutomaticLookup = 0;
}

void DiscLookupTest::describeDrive(const QString &description) {
    writeDriveFile(QStringLiteral("drive.txt"), description);
}

void DiscLookupTest::scriptAnswer(const QList<QByteArray> &readReplyPieces) {
    server.greeting = {{"201 test CDDBP server v1.5PL0 ready\r\n"}};
    server.on("cddb hello", {{"200 Hello and welcome\r\n"}});
    server.on("cddb query", {{"200 rock 1b031e03 Somebody / Something\r\n"}});
    server.on("cddb read", {readReplyPieces});
    server.on("sites", {{"401 No site information available.\r\n"}});
}

void DiscLookupTest::scriptNoMatch() {
    server.greeting = {{"201 test CDDBP server v1.5PL0 ready\r\n"}};
    server.on("cddb hello", {{"200 Hello and welcome\r\n"}});
    server.on("cddb query", {{"202 No match for disc ID 1b031e03.\r\n"}});
    server.on("quit", {{"230 Goodbye.\r\n"}, true});
}

data::Record DiscLookupTest::addAlbum(qint32 id, const QString &artist, const QString &album, qint64 categoryId,
                                      const QString &notes) {
    ALB.clear();
    ALB.AlbumID = id;
    ALB.Artist = artist;
    ALB.Album = album;
    ALB.Media = QStringLiteral("CD");
    ALB.FileNumber = QStringLiteral("F%1").arg(id);
    ALB.CategoryID = categoryId;
    ALB.Notes = notes;
    EXPECT_TRUE(ALB.add()) << data::errorText().toStdString();
    return ALB.record();
}

data::Record DiscLookupTest::readAlbum(qint32 id) {
    ALB.clear();
    ALB.AlbumID = id;
    EXPECT_TRUE(ALB.get(ALB.KEYALBUMID));
    return ALB.record();
}

QString DiscLookupTest::field(const data::Record &album, const char *name) {
    ALB.setRecord(album);
    return ALB.field(QLatin1String(name)).text();
}

namespace {
QStringList songRows(qint32 albumId, const std::function<QString()> &row) {
    QStringList rows;
    MUS.clear();
    MUS.AlbumID = albumId;
    MUS.setFromBuffer(MUS.KeyAlbumID);
    while (MUS.next() && MUS.AlbumID == albumId)
        rows << row();
    return rows;
}
} // namespace

QStringList DiscLookupTest::songsOf(qint32 albumId) {
    return songRows(albumId, [] {
        return QStringLiteral("%1|%2|%3|%4|%5")
            .arg(MUS.Side.value())
            .arg(MUS.TrackNumber.value())
            .arg(MUS.Artist.str(), MUS.Title.str())
            .arg(MUS.Time.value());
    });
}

QStringList DiscLookupTest::albumDataOf(qint32 albumId) {
    return songRows(albumId, [] {
        return QStringLiteral("%1|%2|%3|%4")
            .arg(MUS.Album.str(), MUS.Media.str())
            .arg(MUS.CategoryID.value())
            .arg(MUS.FileNumber.str());
    });
}

QString DiscLookupTest::exchange(const QString &section, const QString &entry) {
    return getIni(section, entry, QStringLiteral("<none>"), QString::fromLatin1(".\\DISCSEEK.INI"));
}

} // namespace cdlookuptest
