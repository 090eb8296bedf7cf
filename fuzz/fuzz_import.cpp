// Reads any bytes as a comma-delimited file and imports it as the Import window does (the header
// line dropped or not, batches, turns, the progress window) into real songs and categories files
// made anew in a temporary folder for each input. The first bytes choose which column feeds which
// target, with which picture, and whether the first line is a header. A crash, a sanitizer report
// or a song field outside its size stops the run. The current folder is left alone, so that the
// corpus folders named on the command line stay where they are.
#include "core/datafiles.h"
#include "impex/importreader.h"
#include "impex/importrun.h"
#include "impex/importsong.h"
#include "support/windows/scriptedanswers.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace {

using namespace tbk;

const char *const kPictures[] = {"@S1000", "@N30.9", "@d2", "@t4", "@d17-", "@p<<#p", "@n-13", "@x", "@", ""};
constexpr int kConfigBytes = 8;

void check(bool fine, const char *what) {
    if (!fine) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

QTemporaryDir &folder() {
    static QTemporaryDir dir;
    return dir;
}

QString inputFile() { return folder().filePath(QStringLiteral("in.csv")); }

// Empty songs and categories files, with the one category "Rock".
bool freshFiles() {
    for (data::DataFile *f : {static_cast<data::DataFile *>(&MUS), static_cast<data::DataFile *>(&CAT)}) {
        f->close();
        if (!f->create() || !f->open())
            return false;
    }
    CAT.clear();
    CAT.CategoryID = 3;
    CAT.Category = "Rock";
    return CAT.add();
}

// Every target fed by one of the first columns, chosen and pictured by the input's first bytes.
void assign(ImportFieldLists &lists, const uint8_t *config) {
    for (int i = 0; i < lists.targets.size() && !lists.columns.isEmpty(); ++i) {
        const uint8_t c = config[i % kConfigBytes] >> (i % 3);
        if (c % 4 == 0)
            continue;
        AssignImportField(lists, i, (c + i) % int(lists.columns.size()));
    }
    for (int i = 0; i < lists.columns.size(); ++i)
        if (config[i % kConfigBytes] & 0x80)
            setColumnPicture(lists.columns[i], QString::fromLatin1(kPictures[(config[i % kConfigBytes] + i) % 10]));
}

void checkSong() {
    for (const data::FieldDecl &f : MUS.structure().fields()) {
        const data::Cell &c = MUS.cell(MUS.field(f.name).index());
        if (f.kind == data::FieldKind::Text || f.kind == data::FieldKind::Memo)
            check(c.s.size() <= f.size, "text wider than its field");
        else if (f.kind == data::FieldKind::Byte)
            check(c.n >= 0 && c.n <= 255, "byte out of range");
        else
            check(c.n >= INT32_MIN && c.n <= INT32_MAX, "long out of range");
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    new QApplication(*argc, *argv);
    if (!folder().isValid())
        std::abort();
    for (data::DataFile *f : {static_cast<data::DataFile *>(&MUS), static_cast<data::DataFile *>(&CAT)})
        f->setName(folder().filePath(f->name()));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < kConfigBytes)
        return 0;
    check(freshFiles(), "the data files could not be made");
    {
        QFile f(inputFile());
        check(f.open(QIODevice::WriteOnly | QIODevice::Truncate), "the input could not be written");
        f.write(reinterpret_cast<const char *>(data + kConfigBytes), qint64(size - kConfigBytes));
    }
    bool ended = false;
    // Every message the run shows (a value that does not fit, a song not added) is answered.
    windowtest::runAnswering([&] {
        ImportTransfer t;
        const qint64 fileSize = ImportOpenNamedFile(t, inputFile());
        ImportFieldLists lists;
        if (fileSize > 0 && readImportColumns(t, lists)) {
            check(!lists.columns.isEmpty(), "a line without a column");
            assign(lists, data);
            ImportFileSongs(t, lists, data[0] & 1, fileSize);
        }
        ImportCloseFile(t);
        ended = true;
    });
    check(ended, "the import did not end");
    MUS.set(MUS.KEYID);
    while (MUS.next())
        checkSong();
    return 0;
}
