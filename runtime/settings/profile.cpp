#include "runtime/settings/profile.h"

#include "runtime/values/diskwrite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

namespace tbk {

QString settingsFolder() {
    const QString own = qEnvironmentVariable("TBK_CONFIG_DIR");
    if (!own.isEmpty())
        return own;
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty())
        base = QDir::home().filePath(QStringLiteral(".config"));
    return QDir(base).filePath(QStringLiteral("tbk98"));
}

QString defaultSettingsFile() {
    return QDir(settingsFolder()).filePath(QStringLiteral("tbk98sys.ini"));
}

QString findFileNoCase(const QString &given) {
    QString path = given;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    QFileInfo info(path);
    if (info.exists())
        return path;
    const QDir dir = info.dir();
    const QString name = info.fileName();
    if (!dir.exists() || name.isEmpty())
        return path;
    for (const QString &entry : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return dir.filePath(entry);
    }
    return path;
}

QString settingsPath(const QString &file) {
    QString path = file;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (path.startsWith(QLatin1String("./")))
        path = QDir::current().filePath(path.mid(2));
    else if (QDir::isRelativePath(path) && !path.contains(QLatin1Char('/')))
        path = QDir(settingsFolder()).filePath(path);
    else if (QDir::isRelativePath(path))
        path = QDir::current().filePath(path);
    return findFileNoCase(path);
}

namespace {

// One line of a settings file, kept as its bytes so that a write leaves it untouched.
struct Line {
    enum Kind { Other, Section, Entry } kind = Other;
    QByteArray raw;
    QString name;  // section or entry name
    QString value; // entry value
};

QString decode(const QByteArray &bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return QString::fromLatin1(bytes); // an old single-byte file: read it as it is
}

Line parseLine(const QByteArray &raw) {
    Line line;
    line.raw = raw;
    const QString text = decode(raw).trimmed();
    if (text.startsWith(QLatin1Char('['))) {
        line.kind = Line::Section;
        const qsizetype close = text.indexOf(QLatin1Char(']'));
        line.name = (close < 0 ? text.mid(1) : text.mid(1, close - 1)).trimmed();
    } else if (!text.startsWith(QLatin1Char(';'))) {
        const qsizetype eq = text.indexOf(QLatin1Char('='));
        if (eq > 0) {
            line.kind = Line::Entry;
            line.name = text.left(eq).trimmed();
            line.value = text.mid(eq + 1).trimmed();
        }
    }
    return line;
}

QString &lastWriteError() {
    static QString error;
    return error;
}

bool failed(const QString &path, const QString &reason) {
    lastWriteError() = QDir::toNativeSeparators(path) + QStringLiteral(": ") + reason;
    return false;
}

struct IniFile {
    QList<Line> lines;
    QByteArray eol = "\n";

    QString loadError;   // the system's reason when load() failed

    bool load(const QString &path) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) {
            loadError = f.errorString();
            return false;
        }
        const QByteArray all = f.readAll();
        if (all.contains("\r\n"))
            eol = "\r\n";
        QList<QByteArray> raw = all.split('\n');
        if (!all.isEmpty() && all.endsWith('\n'))
            raw.removeLast();
        for (QByteArray &r : raw) {
            if (r.endsWith('\r'))
                r.chop(1);
            lines.append(parseLine(r));
        }
        return true;
    }

    // Index of the first section header of that name, or -1.
    qsizetype section(const QString &name) const {
        for (qsizetype i = 0; i < lines.size(); ++i)
            if (lines[i].kind == Line::Section && lines[i].name.compare(name, Qt::CaseInsensitive) == 0)
                return i;
        return -1;
    }
    // One past the last line of the section that starts at header.
    qsizetype sectionEnd(qsizetype header) const {
        qsizetype i = header + 1;
        while (i < lines.size() && lines[i].kind != Line::Section)
            ++i;
        return i;
    }
    qsizetype entry(qsizetype header, const QString &name) const {
        if (header < 0)
            return -1;
        const qsizetype end = sectionEnd(header);
        for (qsizetype i = header + 1; i < end; ++i)
            if (lines[i].kind == Line::Entry && lines[i].name.compare(name, Qt::CaseInsensitive) == 0)
                return i;
        return -1;
    }

    bool save(const QString &path) const {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QSaveFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            return failed(path, f.errorString());
        QByteArray out;
        for (const Line &l : lines) {
            out += l.raw;
            out += eol;
        }
        if (const int error = writeAllAt(f.handle(), out, 0)) {
            f.cancelWriting();
            return failed(path, systemErrorText(error));
        }
        return f.commit() || failed(path, f.errorString());
    }
};

// A line break in a written name or value would start a line of its own (a forged entry or
// section): it is written as a blank.
QString oneLine(QString s) {
    s.replace(QLatin1Char('\r'), QLatin1Char(' '));
    s.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return s;
}

Line entryLine(const QString &name, const QString &value) {
    return parseLine((oneLine(name) + QLatin1Char('=') + oneLine(value)).toUtf8());
}

} // namespace

QString getIni(const QString &section, const QString &entry, const QString &defaultValue,
               const QString &file) {
    IniFile ini;
    if (!ini.load(settingsPath(file)))
        return defaultValue;
    const qsizetype at = ini.entry(ini.section(section), entry);
    return at < 0 ? defaultValue : ini.lines[at].value;
}

bool putIni(const QString &section, const QString &entry, const QString &value,
            const QString &file) {
    const QString path = settingsPath(file);
    IniFile ini;
    // A file that exists but cannot be read would be replaced by this one entry.
    if (!ini.load(path) && QFileInfo::exists(path))
        return failed(path, ini.loadError);
    const qsizetype header = ini.section(section);
    const qsizetype at = ini.entry(header, entry);
    if (at >= 0) {
        Line line = entryLine(ini.lines[at].name, value);
        // Windows save their places on every close: an unchanged entry costs no write to disk.
        if (line.raw == ini.lines[at].raw)
            return true;
        ini.lines[at] = std::move(line);
    } else if (header >= 0) {
        // After the section's last non-blank line, so that a blank separator stays below it.
        qsizetype insertAt = ini.sectionEnd(header);
        while (insertAt > header + 1 && ini.lines[insertAt - 1].raw.trimmed().isEmpty())
            --insertAt;
        ini.lines.insert(insertAt, entryLine(entry, value));
    } else {
        if (!ini.lines.isEmpty() && !ini.lines.last().raw.trimmed().isEmpty())
            ini.lines.append(parseLine(QByteArray()));
        ini.lines.append(parseLine((QLatin1Char('[') + oneLine(section) + QLatin1Char(']')).toUtf8()));
        ini.lines.append(entryLine(entry, value));
    }
    return ini.save(path);
}

QString iniWriteError() { return lastWriteError(); }

bool removeIni(const QString &section, const QString &entry, const QString &file) {
    const QString path = settingsPath(file);
    IniFile ini;
    if (!ini.load(path))
        return true;
    const qsizetype at = ini.entry(ini.section(section), entry);
    if (at < 0)
        return true;
    ini.lines.removeAt(at);
    return ini.save(path);
}

QStringList iniEntries(const QString &section, const QString &file) {
    IniFile ini;
    QStringList names;
    if (!ini.load(settingsPath(file)))
        return names;
    const qsizetype header = ini.section(section);
    if (header < 0)
        return names;
    const qsizetype end = ini.sectionEnd(header);
    for (qsizetype i = header + 1; i < end; ++i)
        if (ini.lines[i].kind == Line::Entry)
            names.append(ini.lines[i].name);
    return names;
}

} // namespace tbk
