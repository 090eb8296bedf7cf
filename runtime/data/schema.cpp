#include "runtime/data/schema.h"

#include <sqlite3.h>

#include <stdexcept>

namespace tbk::data::schema {

QString column(const FieldDecl &f) { return QLatin1Char('"') + f.name + QLatin1Char('"'); }

QString columnList(const FileStructure &s) {
    QStringList cols;
    for (const FieldDecl &f : s.fields())
        cols << column(f);
    return cols.join(QLatin1Char(','));
}

QString columnDef(const FieldDecl &f) {
    switch (f.kind) {
    case FieldKind::Text:
        return column(f) + QStringLiteral(" TEXT NOT NULL DEFAULT '' COLLATE TBKTEXT");
    case FieldKind::Memo:
        return column(f) + QStringLiteral(" TEXT NOT NULL DEFAULT ''");
    default:
        return column(f) + QStringLiteral(" INTEGER NOT NULL DEFAULT 0");
    }
}

QStringList createTable(const FileStructure &s, const QString &alias, const QString &table) {
    QStringList defs{QStringLiteral("_rid INTEGER PRIMARY KEY AUTOINCREMENT"),
                     QStringLiteral("_ver INTEGER NOT NULL DEFAULT 0")};
    for (const FieldDecl &f : s.fields())
        defs << columnDef(f);
    return {QStringLiteral("CREATE TABLE %1.%2(%3)").arg(alias, table, defs.join(QLatin1Char(','))),
            QStringLiteral("CREATE TABLE IF NOT EXISTS %1.tbk_meta(name TEXT PRIMARY KEY, value)").arg(alias)};
}

QString indexName(const KeyDecl &k) { return QStringLiteral("k_") + k.name.toLower(); }

QString inKeyCondition(const FileStructure &s, const KeyDecl &k) {
    if (!k.excludesBlanks())
        return {};
    QStringList blank;
    for (int i : k.fields) {
        const FieldDecl &f = s.fields()[size_t(i)];
        blank << column(f) + (f.kind == FieldKind::Text ? QStringLiteral("=''") : QStringLiteral("=0"));
    }
    return QStringLiteral("NOT(") + blank.join(QStringLiteral(" AND ")) + QLatin1Char(')');
}

QString createIndex(const FileStructure &s, const QString &alias, const KeyDecl &k) {
    QStringList cols;
    for (int i : k.fields)
        cols << column(s.fields()[size_t(i)]);
    QString sql = QStringLiteral("CREATE %1INDEX %2.%3 ON records(%4)")
                      .arg(k.unique() ? QStringLiteral("UNIQUE ") : QString(), alias, indexName(k),
                           cols.join(QLatin1Char(',')));
    const QString cond = inKeyCondition(s, k);
    if (!cond.isEmpty())
        sql += QStringLiteral(" WHERE ") + cond;
    return sql;
}

int writeMeta(sqlite3 *db, const FileStructure &s, const QString &alias) {
    const QString values[][2] = {{QStringLiteral("registration"), QString::number(s.registration())},
                                 {QStringLiteral("layout"), s.layoutSignature()},
                                 {QStringLiteral("structure"), exampleText(s)},
                                 {QStringLiteral("owner"), s.ownerPassword()}};
    sqlite3_stmt *st = nullptr;
    const QByteArray sql = QStringLiteral("INSERT OR REPLACE INTO %1.tbk_meta(name,value) VALUES(?,?)").arg(alias).toUtf8();
    int rc = sqlite3_prepare_v2(db, sql.constData(), -1, &st, nullptr);
    for (const auto &v : values) {
        if (rc != SQLITE_OK)
            break;
        const QByteArray n = v[0].toUtf8(), d = v[1].toUtf8();
        sqlite3_bind_text(st, 1, n.constData(), int(n.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 2, d.constData(), int(d.size()), SQLITE_TRANSIENT);
        rc = sqlite3_step(st);
        rc = rc == SQLITE_DONE ? SQLITE_OK : rc;
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    return rc;
}

QStringList countObjects() {
    return {QStringLiteral("tbk_count"), QStringLiteral("tbk_count_add"), QStringLiteral("tbk_count_remove")};
}

QStringList keepCount(const QString &alias) {
    // Trigger bodies name tables of their own schema only, without the alias. The count has no
    // constraint: one that could abort would make every delete keep a statement journal.
    return {QStringLiteral("CREATE TABLE IF NOT EXISTS %1.tbk_count(n INTEGER)").arg(alias),
            QStringLiteral("DROP TRIGGER IF EXISTS %1.tbk_count_add").arg(alias),
            QStringLiteral("DROP TRIGGER IF EXISTS %1.tbk_count_remove").arg(alias),
            QStringLiteral("CREATE TRIGGER %1.tbk_count_add AFTER INSERT ON records BEGIN UPDATE tbk_count SET n=n+1; END").arg(alias),
            QStringLiteral("CREATE TRIGGER %1.tbk_count_remove AFTER DELETE ON records BEGIN UPDATE tbk_count SET n=n-1; END").arg(alias),
            QStringLiteral("DELETE FROM %1.tbk_count").arg(alias),
            QStringLiteral("INSERT INTO %1.tbk_count(n) SELECT count(*) FROM %1.records").arg(alias)};
}

QString exampleText(const FileStructure &s) {
    static const char *kinds[] = {"STRING", "LONG", "BYTE", "DECIMAL", "MEMO"};
    QStringList lines{QStringLiteral("TBKDEX 1"), QStringLiteral("DISK ") + s.diskName(),
                      QStringLiteral("REGISTRATION %1").arg(s.registration())};
    for (const FieldDecl &f : s.fields())
        lines << QStringLiteral("FIELD %1 %2 %3").arg(f.name, QLatin1String(kinds[int(f.kind)])).arg(f.size);
    for (const KeyDecl &k : s.keys())
        lines << QStringLiteral("KEY %1 %2 %3").arg(k.name).arg(k.flags).arg(k.components.join(QLatin1Char(',')));
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

bool parseExample(const QString &text, FileStructure &out, QString *error) {
    const QStringList lines = text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    auto bad = [&](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    if (lines.size() < 3 || lines[0].trimmed() != QLatin1String("TBKDEX 1"))
        return bad(QStringLiteral("not a structure example"));
    QString disk;
    int reg = -1;
    try {
        FileStructure s(QString(), 0);
        for (const QString &raw : lines) {
            const QStringList w = raw.trimmed().split(QLatin1Char(' '), Qt::SkipEmptyParts);
            if (w.isEmpty())
                continue;
            if (w[0] == QLatin1String("DISK") && w.size() == 2) {
                disk = w[1];
            } else if (w[0] == QLatin1String("REGISTRATION") && w.size() == 2) {
                reg = w[1].toInt();
            } else if (w[0] == QLatin1String("FIELD") && w.size() == 4) {
                bool ok = false;
                const int n = w[3].toInt(&ok);
                if (!ok || n <= 0 || n > 1000000)
                    return bad(QStringLiteral("bad size in: ") + raw);
                if (w[2] == QLatin1String("STRING")) s.text(w[1], n);
                else if (w[2] == QLatin1String("LONG")) s.longField(w[1]);
                else if (w[2] == QLatin1String("BYTE")) s.byteField(w[1]);
                else if (w[2] == QLatin1String("DECIMAL")) s.decimal(w[1], n);
                else if (w[2] == QLatin1String("MEMO")) s.memo(w[1], n);
                else return bad(QStringLiteral("bad field type in: ") + raw);
            } else if (w[0] == QLatin1String("KEY") && w.size() == 4) {
                s.key(w[1], w[3], w[2].toUInt());
            } else if (w[0] != QLatin1String("TBKDEX")) {
                return bad(QStringLiteral("unknown line: ") + raw);
            }
        }
        if (disk.isEmpty() || reg < 0 || s.fields().empty())
            return bad(QStringLiteral("incomplete structure example"));
        FileStructure result(disk, reg);
        for (const FieldDecl &f : s.fields()) {
            switch (f.kind) {
            case FieldKind::Text: result.text(f.name, f.size); break;
            case FieldKind::Long: result.longField(f.name); break;
            case FieldKind::Byte: result.byteField(f.name); break;
            case FieldKind::Decimal: result.decimal(f.name, f.size); break;
            case FieldKind::Memo: result.memo(f.name, f.size); break;
            }
        }
        for (const KeyDecl &k : s.keys())
            result.key(k.name, k.components.join(QLatin1Char(',')), k.flags);
        result.finish();
        out = result;
    } catch (const std::logic_error &e) {
        return bad(QString::fromUtf8(e.what()));
    }
    return true;
}

} // namespace tbk::data::schema
