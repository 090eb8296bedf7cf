#include "runtime/mci/simulateddrive.h"

#include <QFile>
#include <QtDebug>

namespace tbk {

namespace {

QString normalized(const QString &command) {
    return command.simplified().toLower();
}

bool readNumber(const QString &text, qint64 *value) {
    bool ok = false;
    *value = text.toLongLong(&ok);
    return ok && *value >= 0;
}

bool readYesNo(const QString &text, const char *yes, const char *no, bool *value) {
    if (text == QLatin1String(yes))
        *value = true;
    else if (text == QLatin1String(no))
        *value = false;
    else
        return false;
    return true;
}

class SimulatedDrive : public CdDrive {
public:
    SimulatedDrive(const QString &path, QByteArray text, DriveDescription d)
        : path_(path), text_(std::move(text)), d_(std::move(d)) {
        resetPlayer();
    }

    void refresh() override {
        QFile file(path_);
        if (!file.open(QIODevice::ReadOnly))
            return;   // a file being replaced: keep what was last read
        QByteArray text = file.readAll();
        if (text == text_)
            return;
        text_ = std::move(text);
        QString why;
        std::optional<DriveDescription> d = parseDriveDescription(QString::fromUtf8(text_), &why);
        if (!d) {
            qWarning("simulated CD drive %s: %s", qPrintable(path_), qPrintable(why));
            return;
        }
        const bool discChanged = d->trayOpen != d_.trayOpen || d->disc != d_.disc;
        d_ = std::move(*d);
        if (discChanged)
            resetPlayer();
    }

    int scriptedFailure(const QString &command) const override {
        const QString c = normalized(command);
        for (const DriveDescription::Failure &f : d_.failures)
            if (f.code != 0 && matches(f, c))
                return f.code;
        return 0;
    }
    std::optional<QString> scriptedAnswer(const QString &command) const override {
        const QString c = normalized(command);
        for (const DriveDescription::Failure &f : d_.failures)
            if (f.code == 0 && matches(f, c))
                return f.answer;
        return std::nullopt;
    }

    bool trayOpen() const override { return d_.trayOpen; }
    const DiscToc *disc() const override { return d_.trayOpen || !d_.disc ? nullptr : &*d_.disc; }
    PlayMode mode() override { return player_.mode(d_.clock); }
    quint32 position() override { return player_.position(d_.clock); }
    int play(quint32 from, quint32 to) override {
        player_.play(from, to, d_.clock);
        return 0;
    }
    int pause() override {
        player_.pause(d_.clock);
        return 0;
    }
    int resume() override {
        player_.resume(d_.clock);
        return 0;
    }
    int stop() override {
        player_.stop();
        return 0;
    }

private:
    static bool matches(const DriveDescription::Failure &f, const QString &command) {
        return f.prefix ? command.startsWith(f.command) : command == f.command;
    }
    void resetPlayer() { player_.reset(disc() ? disc()->trackStart(1) : 0); }

    QString path_;
    QByteArray text_;
    DriveDescription d_;
    VirtualPlayer player_;
};

} // namespace

std::optional<DriveDescription> parseDriveDescription(const QString &text, QString *why) {
    DriveDescription d;
    std::optional<bool> discPresent;
    DiscToc toc;
    bool haveTracks = false, haveLeadout = false;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].section(QLatin1Char('#'), 0, 0).simplified();
        if (line.isEmpty())
            continue;
        const QString key = line.section(QLatin1Char(' '), 0, 0).toLower();
        const QString rest = line.section(QLatin1Char(' '), 1);
        const auto fail = [&](const QString &what) {
            *why = QStringLiteral("line %1: %2").arg(i + 1).arg(what);
            return std::nullopt;
        };
        qint64 n = 0;
        if (key == QLatin1String("tray")) {
            bool open = false;
            if (!readYesNo(rest.toLower(), "open", "closed", &open))
                return fail(QStringLiteral("tray is open or closed"));
            d.trayOpen = open;
        } else if (key == QLatin1String("disc")) {
            bool present = false;
            if (!readYesNo(rest.toLower(), "yes", "no", &present))
                return fail(QStringLiteral("disc is yes or no"));
            discPresent = present;
        } else if (key == QLatin1String("tracks")) {
            toc.starts.clear();
            for (const QString &word : rest.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
                if (!readNumber(word, &n) || n > 0xFFFFFFFFLL)
                    return fail(QStringLiteral("track start '%1' is not a frame number").arg(word));
                toc.starts.push_back(quint32(n));
            }
            haveTracks = true;
        } else if (key == QLatin1String("leadout")) {
            if (!readNumber(rest, &n) || n > 0xFFFFFFFFLL)
                return fail(QStringLiteral("lead-out is a frame number"));
            toc.leadout = quint32(n);
            haveLeadout = true;
        } else if (key == QLatin1String("clock")) {
            if (!readNumber(rest, &n))
                return fail(QStringLiteral("clock is a number of milliseconds"));
            d.clock = n;
        } else if (key == QLatin1String("fail") || key == QLatin1String("answer")) {
            DriveDescription::Failure f;
            if (key == QLatin1String("answer"))
                f.answer = rest.section(QLatin1Char(' '), 0, 0);
            else if (!readNumber(rest.section(QLatin1Char(' '), 0, 0), &n) || n == 0 || n > 0xFFFF)
                return fail(QStringLiteral("fail takes an error code and a command"));
            else
                f.code = int(n);
            f.command = normalized(rest.section(QLatin1Char(' '), 1));
            if (f.command.endsWith(QLatin1Char('*'))) {
                f.prefix = true;
                f.command.chop(1);
            }
            if (f.command.isEmpty())
                return fail(QStringLiteral("%1 takes a code or an answer and a command").arg(key));
            d.failures.push_back(f);
        } else {
            return fail(QStringLiteral("unknown setting '%1'").arg(key));
        }
    }
    if (discPresent.value_or(haveTracks)) {
        if (!haveTracks || !haveLeadout || !toc.isValid()) {
            *why = QStringLiteral("a disc needs rising track starts and a lead-out after them");
            return std::nullopt;
        }
        d.disc = std::move(toc);
    }
    return d;
}

std::unique_ptr<CdDrive> openSimulatedDrive(const QString &path, QString *why) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *why = QStringLiteral("%1: %2").arg(path, file.errorString());
        return nullptr;
    }
    QByteArray text = file.readAll();
    std::optional<DriveDescription> d = parseDriveDescription(QString::fromUtf8(text), why);
    if (!d) {
        *why = QStringLiteral("%1: %2").arg(path, *why);
        return nullptr;
    }
    return std::make_unique<SimulatedDrive>(path, std::move(text), std::move(*d));
}

} // namespace tbk
