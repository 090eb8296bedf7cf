// Reads any bytes as a comma-delimited file and builds a song from each of its lines into real
// songs and categories files (in a temporary folder, each input rolled back). The first bytes
// choose which column feeds which target and with which picture. A crash, a sanitizer report or
// a line, field or value outside its size stops the run.
#include "core/datafiles.h"
#include "impex/importsong.h"
#include "runtime/data/transaction.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace {

using namespace tbk;

const char *const kPictures[] = {"@S1000", "@N30.9", "@d2", "@t4", "@d17-", "@p<<#p", "@n-13", "@x", "@", ""};
constexpr int kConfigBytes = 8;
constexpr int kMostLines = 300;

void check(bool fine, const char *what) {
    if (!fine) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

bool setUp() {
    static QTemporaryDir dir;
    if (!dir.isValid() || !QDir::setCurrent(dir.path()))
        return false;
    for (data::DataFile *f : {static_cast<data::DataFile *>(&MUS), static_cast<data::DataFile *>(&CAT)})
        if (!f->create() || !f->open())
            return false;
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

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static bool ready = [] {
        static int argc = 1;
        static char name[] = "fuzz_import";
        static char *argv[] = {name, nullptr};
        new QCoreApplication(argc, argv);
        return setUp();
    }();
    if (!ready)
        std::abort();
    if (size < kConfigBytes)
        return 0;
    {
        QFile f(QStringLiteral("in.csv"));
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        f.write(reinterpret_cast<const char *>(data + kConfigBytes), qint64(size - kConfigBytes));
    }
    ImportTransfer t;
    t.file.setName(QStringLiteral("in.csv"));
    if (!t.file.open(data::ReadOnly))
        std::abort();
    ImportFieldLists lists;
    if (!readImportColumns(t, lists))
        return 0;
    check(!lists.columns.isEmpty(), "a line without a column");
    assign(lists, data);
    SongBuilder builder(lists);
    check(data::beginTransaction(1, {&MUS, &CAT}), "transaction");
    qint32 id = 1;
    for (int n = 0; n < kMostLines && !t.record.isEmpty(); ++n) {
        check(t.record.size() <= kImportLineSize, "line over its size");
        builder.build(t);
        check(t.fieldText.size() <= 4000, "field over its size");
        checkSong();
        MUS.ID = id++;
        check(MUS.add(), "song not added");
        ImportReadLine(t);
    }
    data::rollbackTransaction();
    return 0;
}
