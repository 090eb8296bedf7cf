// Bringing a file of an older registration to the declared layout.
#include "runtime/data/datafile.h"
#include "runtime/data/driver.h"
#include "runtime/data/schema.h"

#include <QFileInfo>
#include <QMap>

namespace tbk::data {

namespace {

struct OldLayout {
    int registration = -1;
    QMap<QString, QString> columns;   // lower-case name -> name as stored
};

bool readOldLayout(const QString &alias, const QString &label, OldLayout &out) {
    sqlite3_stmt *st = driver::prepare(
        QStringLiteral("SELECT value FROM %1.tbk_meta WHERE name='registration'").arg(alias), label);
    if (!st)
        return false;
    if (sqlite3_step(st) == SQLITE_ROW)
        out.registration = sqlite3_column_int(st, 0);
    sqlite3_reset(st);
    st = driver::prepare(QStringLiteral("SELECT name FROM pragma_table_info('records',?)"), label);
    if (!st)
        return false;
    const QByteArray a = alias.toUtf8();
    sqlite3_bind_text(st, 1, a.constData(), int(a.size()), SQLITE_TRANSIENT);
    while (sqlite3_step(st) == SQLITE_ROW) {
        const QString n = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)));
        out.columns.insert(n.toLower(), n);
    }
    sqlite3_reset(st);
    return true;
}

} // namespace

bool DataFile::upgrade() {
    if (!checkClosedOutsideTransaction())
        return false;
    if (!QFileInfo::exists(fullPath())) {
        setError(FileNotFound, label_);
        return false;
    }
    return withExclusiveAttach([&]() -> bool {
        if (verifyLayout())
            return true;   // already in the declared layout
        if (errorCode() != InvalidRecordDeclaration && errorCode() != InvalidKeyFile)
            return false;
        OldLayout old;
        if (!readOldLayout(alias_, label_, old))
            return false;
        if (old.registration < 0 || old.registration > structure_->registration()
            || !old.columns.contains(QStringLiteral("_rid"))) {
            setError(InvalidRecordDeclaration, label_);
            return false;
        }
        // Copy every declared field that the old file has, by name; the rest start blank.
        QStringList into{QStringLiteral("_rid"), QStringLiteral("_ver")};
        QStringList from{QStringLiteral("_rid"), old.columns.contains(QStringLiteral("_ver")) ? QStringLiteral("_ver") : QStringLiteral("0")};
        for (const FieldDecl &f : structure_->fields()) {
            const auto it = old.columns.constFind(f.name.toLower());
            if (it == old.columns.constEnd())
                continue;
            const QString src = QLatin1Char('"') + *it + QLatin1Char('"');
            into << schema::column(f);
            switch (f.kind) {
            case FieldKind::Text:
                from << QStringLiteral("rtrim(substr(CAST(coalesce(%1,'') AS TEXT),1,%2))").arg(src).arg(f.size);
                break;
            case FieldKind::Memo:
                from << QStringLiteral("substr(CAST(coalesce(%1,'') AS TEXT),1,%2)").arg(src).arg(f.size);
                break;
            default:
                from << QStringLiteral("CAST(coalesce(%1,0) AS INTEGER)").arg(src);
                break;
            }
        }
        QStringList sql{QStringLiteral("BEGIN")};
        sql << QStringLiteral("DROP TABLE IF EXISTS %1.records_new").arg(alias_);
        sql << schema::createTable(*structure_, alias_, QStringLiteral("records_new"));
        sql << QStringLiteral("INSERT INTO %1.records_new(%2) SELECT %3 FROM %1.records")
                   .arg(alias_, into.join(QLatin1Char(',')), from.join(QLatin1Char(',')));
        sql << QStringLiteral("DROP TABLE %1.records").arg(alias_);
        sql << QStringLiteral("ALTER TABLE %1.records_new RENAME TO records").arg(alias_);
        const qsizetype firstKey = sql.size();
        for (const KeyDecl &k : structure_->keys())
            sql << schema::createIndex(*structure_, alias_, k);
        sql << schema::keepCount(alias_);   // the triggers went with the old table
        driver::finalizeAll();
        const bool ok = runScript(sql, firstKey);
        driver::finalizeAll();
        if (!ok)
            return false;
        if (const int rc = schema::writeMeta(driver::db(), *structure_, alias_); rc != SQLITE_OK) {
            driver::fail(rc, label_);
            sqlite3_exec(driver::db(), "ROLLBACK", nullptr, nullptr, nullptr);
            return false;
        }
        return driver::commitOrRollback(label_);
    });
}

} // namespace tbk::data
