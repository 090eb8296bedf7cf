#include "bench/data/catalogue.h"

#include "core/datafiles.h"
#include "runtime/data/transaction.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace tbk::bench {

using namespace tbk::data;

namespace {

const char *const kWords[] = {"Love", "Night", "Blue", "Dance", "Heart", "Fire", "Rain", "Summer",
                              "Dream", "City", "Road", "Gold", "Shadow", "River", "Light", "Wild",
                              "Time", "Moon", "Star", "Stone", "Angel", "Ocean", "Thunder", "Silver"};
const char *const kMedia[] = {"CD", "Cassette", "LP", "MiniDisc", "DAT", "8-Track", "Reel",
                              "45", "78", "DVD", "MP3", "Video"};
const char *const kMixes[] = {"Radio Edit", "Extended Mix", "Live", "Remix", "Acoustic", "Dub"};

QString words(QRandomGenerator &r, int n) {
    QStringList w;
    for (int i = 0; i < n; ++i)
        w << QLatin1String(kWords[r.bounded(int(std::size(kWords)))]);
    return w.join(QLatin1Char(' '));
}

QString artistName(int i) { return QStringLiteral("Artist %1").arg(i, 5, 10, QLatin1Char('0')); }
QString albumTitle(int i) { return QStringLiteral("Album %1").arg(i, 5, 10, QLatin1Char('0')); }

} // namespace

bool addSongs(int firstId, int count, int albums, int categories) {
    QRandomGenerator r{quint32(firstId)};
    for (int i = firstId; i < firstId + count; ++i) {
        const int album = 1 + (i - 1) % albums;
        MUS.clear();
        MUS.ID = i;
        MUS.AlbumID = album;
        MUS.Artist = artistName(r.bounded(1, 5001));
        MUS.Title = words(r, 1 + r.bounded(4)) + QStringLiteral(" %1").arg(i);
        if (r.bounded(5) == 0)
            MUS.Mix = QLatin1String(kMixes[r.bounded(int(std::size(kMixes)))]);
        MUS.Album = albumTitle(album);
        MUS.Media = QLatin1String(kMedia[album % 12]);
        MUS.FileNumber = QStringLiteral("F%1").arg(album, 5, 10, QLatin1Char('0'));
        MUS.ReleaseDate = 1950 + r.bounded(50);
        MUS.CategoryID = 1 + r.bounded(categories);
        MUS.ChartNumber = r.bounded(10) == 0 ? 1 + r.bounded(40) : 0;
        MUS.TrackNumber = 1 + (i - 1) / albums % 20;
        MUS.Side = 1;
        MUS.Time = 12000 + r.bounded(30000);
        if (r.bounded(8) == 0)
            MUS.UserDefinedKeyField = words(r, 1);
        MUS.BeatsPerMinute = r.bounded(3) == 0 ? 0 : 60 + r.bounded(120);
        MUS.Composer = words(r, 2);
        if (!MUS.add())
            return false;
    }
    return true;
}

bool generateCatalogue(const CatalogueSize &size) {
    for (const RegisteredFile &f : registeredDataFiles())
        if (!f.file->create() || !f.file->open())
            return false;
    if (!beginTransaction(5, {&MUS, &ALB, &CAT, &MED}))
        return false;
    for (int i = 0; i < 12; ++i) {
        MED.Media = QLatin1String(kMedia[i]);
        if (!MED.add())
            return false;
    }
    for (int i = 1; i <= size.categories; ++i) {
        CAT.clear();
        CAT.CategoryID = i;
        CAT.Category = QStringLiteral("Category %1").arg(i);
        if (!CAT.add())
            return false;
    }
    QRandomGenerator r(7);
    for (int i = 1; i <= size.albums; ++i) {
        ALB.clear();
        ALB.AlbumID = i;
        ALB.Album = albumTitle(i);
        ALB.Artist = artistName(r.bounded(1, 5001));
        ALB.Media = QLatin1String(kMedia[i % 12]);
        ALB.FileNumber = QStringLiteral("F%1").arg(i, 5, 10, QLatin1Char('0'));
        ALB.CategoryID = 1 + r.bounded(size.categories);
        ALB.ReleaseDate = 1950 + r.bounded(50);
        if (!ALB.add())
            return false;
    }
    if (!addSongs(1, size.songs, size.albums, size.categories) || !commitTransaction()) {
        rollbackTransaction();
        return false;
    }
    for (const RegisteredFile &f : registeredDataFiles())
        f.file->close();
    return true;
}

namespace {

void closeAllDataFiles() {
    for (const RegisteredFile &f : registeredDataFiles())
        f.file->close();
}

void generateIn(const QString &folder, const CatalogueSize &size) {
    closeAllDataFiles();
    QDir::setCurrent(folder);
    if (!generateCatalogue(size)) {
        std::fprintf(stderr, "catalogue generation failed: %d\n", errorCode());
        std::exit(1);
    }
}

// Files stay open in one folder: another catalogue's are closed before this one's open.
void openIn(const QString &folder) {
    static QString current;
    if (folder != current)
        closeAllDataFiles();
    current = folder;
    QDir::setCurrent(folder);
    openAllDataFiles();
}

} // namespace

void useSharedCatalogue() {
    static std::unique_ptr<QTemporaryDir> dir;
    if (!dir) {
        dir = std::make_unique<QTemporaryDir>();
        generateIn(dir->path(), CatalogueSize{});
    }
    openIn(dir->path());
}

QStringList catalogueFolders(int argc, char **argv, std::initializer_list<int> keptSongs) {
    QStringList folders;
    for (int i = 1; i < argc; ++i)
        folders << QFileInfo(QString::fromLocal8Bit(argv[i])).absoluteFilePath();
    if (folders.isEmpty()) {
        for (int songs : keptSongs) {
            useKeptCatalogue(songs);
            folders << QDir::currentPath();
        }
    }
    return folders;
}

void useKeptCatalogue(int songs) {
    const QString parent = qEnvironmentVariable("TBK_BENCH_DIR", QStringLiteral("/tmp"));
    const QString folder = QDir(parent).filePath(QStringLiteral("tbk_bench_%1").arg(songs));
    if (!QFileInfo::exists(folder)) {
        // Made aside and renamed when complete, so that an interrupted run is not reused.
        const QString part = folder + QStringLiteral(".part");
        QDir(part).removeRecursively();
        if (!QDir().mkpath(part)) {
            std::fprintf(stderr, "cannot make %s\n", qPrintable(part));
            std::exit(1);
        }
        std::fprintf(stderr, "making a catalogue of %d songs in %s\n", songs, qPrintable(folder));
        generateIn(part, CatalogueSize{songs, std::max(1, songs / 10), 50});
        if (!QDir().rename(part, folder)) {
            std::fprintf(stderr, "cannot rename %s\n", qPrintable(part));
            std::exit(1);
        }
    }
    openIn(folder);
}

void openAllDataFiles() {
    for (const RegisteredFile &f : registeredDataFiles())
        if (!f.file->isOpen() && !f.file->open())
            std::exit(2);
}

} // namespace tbk::bench
