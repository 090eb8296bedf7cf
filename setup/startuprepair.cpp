#include "setup/startuprepair.h"

#include "core/datafiles.h"
#include "core/programstart.h"
#include "runtime/data/datafile.h"
#include "runtime/data/upgrader.h"
#include "runtime/settings/profile.h"
#include "runtime/threads/halt.h"
#include "runtime/threads/messagebox.h"
#include "runtime/values/text.h"
#include "tools/datfix/repair.h"

#include <QFile>

#include <algorithm>

namespace tbk {

namespace {

const QString kErrorTitle = QStringLiteral("Error");

// A multi-table disk name ("file!table") keeps the file's part. False when the user stops.
bool singleTableName(QString &name) {
    const qsizetype bang = name.indexOf(QLatin1Char('!'));
    if (bang < 0)
        return true;
    const int answer =
        message(QStringLiteral("This is a multi-table data file. You can try using Fix, but the results are not "
                               "guarenteed and could damage your file further.  Do you want to continue ? "),
                QStringLiteral("Warning"), MessageIcon::Exclamation, ButtonYes | ButtonNo);
    if (answer != ButtonYes)
        return false;
    name = name.left(qMax<qsizetype>(0, bang - 1));
    return true;
}

// The utility's own words for a file it found whole, at the end of one of its lines.
const QString kNoDamage = QStringLiteral("no damage found");

bool saysNoDamage(const QString &said) {
    const QStringList lines = said.split(QLatin1Char('\n'));
    return std::any_of(lines.begin(), lines.end(), [](const QString &l) { return l.trimmed().endsWith(kNoDamage); });
}

} // namespace

QString crashMarker() {
    return clip(getIni(QString::fromLatin1(kCrashMarkerSection), QString::fromLatin1(kCrashMarkerEntry),
                       QString(), defaultSettingsFile()));
}

void clearCrashMarker() { setCrashMarker(QString()); }

data::DataFile *markedDataFile(const QString &marker) {
    const QString name = marker.trimmed();
    if (name.isEmpty())
        return nullptr;
    for (const RegisteredFile &r : registeredDataFiles()) {
        const QString disk = r.file->structure().diskName();
        if (sameText(name, disk, Qt::CaseInsensitive) || sameText(name, r.file->name(), Qt::CaseInsensitive))
            return r.file;
    }
    return nullptr;
}

QStringList repairArguments(const QString &diskName) {
    const QString disk = clip(diskName);
    const qsizetype dot = disk.indexOf(QLatin1Char('.'));
    const QString name = dot >= 0 ? disk : disk + QStringLiteral(".dat");
    const QString base = dot >= 0 ? disk.left(dot) : disk;
    return {name, QStringLiteral("/E:") + base + QStringLiteral(".dex"), QStringLiteral("/K")};
}

QString repairResultFile(const QString &diskName) {
    return repairArguments(diskName).first() + QStringLiteral(".fixreport");
}

bool FixDataFile(data::DataFile &file,
                 std::function<void(const QString &name, int status, const QString &said)> watched) {
    QString disk = file.structure().diskName();
    if (!singleTableName(disk))
        return false;
    const QString answer = data::up_MakeExample(file);
    if (answer == QLatin1String("1")) {
        message(QStringLiteral("Unable to create Example file."), kErrorTitle, MessageIcon::Hand);
        return false;
    }
    if (answer == QLatin1String("2")) {
        message(QStringLiteral("Not a KEYED file."), kErrorTitle, MessageIcon::Hand);
        return false;
    }
    if (answer == QLatin1String("3")) {
        message(QStringLiteral("Error creating Example file : ") + data::errorText(), kErrorTitle, MessageIcon::Hand);
        return false;
    }
    const QString program = QString::fromLatin1(kRepairProgram);
    QStringList arguments = repairArguments(disk);
    if (!watched)
        arguments << QStringLiteral("/R:") + repairResultFile(disk);
    const auto ended = [name = arguments.first(), watched](int status, const QString &said) { watched(name, status, said); };
    if (!(watched ? startProgramWatched(program, arguments, ended) : startProgram(program, arguments))) {
        message(QStringLiteral("The Fix Utility could not be started: \"%1\" was found neither in the "
                               "program's folder nor on the PATH.")
                    .arg(QString::fromLatin1(kRepairProgram)),
                kErrorTitle, MessageIcon::Hand);
        return false;
    }
    return true;
}

void showRepairOutcome(const QString &name, int status, const QString &said) {
    QString text, title = QStringLiteral("Information");
    MessageIcon icon = MessageIcon::Information;
    if (status == datfix::Done && saysNoDamage(said)) {
        text = QStringLiteral("The Fix Utility checked %1: %2.").arg(name, kNoDamage);
    } else if (status == datfix::Done) {
        text = QStringLiteral("The Fix Utility repaired %1.").arg(name);
    } else if (status == datfix::Lost) {
        text = QStringLiteral("The Fix Utility repaired %1 but could not recover every record (exit status %2).")
                   .arg(name)
                   .arg(status);
        title = QStringLiteral("Warning");
        icon = MessageIcon::Exclamation;
    } else {
        text = QStringLiteral("The Fix Utility did not repair %1 (%2).")
                   .arg(name, status < 0 ? QStringLiteral("it ended abnormally") : QStringLiteral("exit status %1").arg(status));
        title = kErrorTitle;
        icon = MessageIcon::Hand;
    }
    if (!said.isEmpty())
        text += QStringLiteral("\n\n") + said;
    message(text, title, icon);
}

void ShowRepairResults() {
    for (const RegisteredFile &r : registeredDataFiles()) {
        const QString disk = r.file->structure().diskName();
        const QString path = repairResultFile(disk);
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            continue;
        const QString result = QString::fromUtf8(f.read(64 * 1024));
        f.close();
        // The exit value, then the utility's own lines.
        const qsizetype eol = result.indexOf(QLatin1Char('\n'));
        bool numbered = false;
        int status = result.left(eol).trimmed().toInt(&numbered);
        if (!numbered)
            status = -1;
        const QString said = eol < 0 ? QString() : result.mid(eol + 1).trimmed();
        showRepairOutcome(repairArguments(disk).first(), status, said);
        QFile::remove(path);
    }
}

RepairOffer OfferStartupRepair() {
    const QString marker = crashMarker();
    if (marker.isEmpty())
        return RepairOffer::NoFileMarked;
    data::DataFile *file = markedDataFile(marker);
    if (!file) {
        // Only a declared file may reach the repair utility's command line.
        clearCrashMarker();
        return RepairOffer::UnknownFileCleared;
    }
    const int answer =
        message(QStringLiteral("Warning : The program may have crashed attempting to open the file ") + marker +
                    QStringLiteral(". Do you wish to have the program attempt ") + QStringLiteral("to fix the file ? "),
                QStringLiteral("Warning"), MessageIcon::None, ButtonYes | ButtonNo);
    if (answer != ButtonYes)
        return RepairOffer::Declined;
    message(QStringLiteral("This program needs to close while the Fix Utility attempts to fix the file. When the "
                           "fix program finishes running you can run this application again."),
            QStringLiteral("Information"), MessageIcon::Information);
    // When the utility did not start, the marker stays so that the next start offers again.
    if (FixDataFile(*file))
        clearCrashMarker();
    halt();
    return RepairOffer::Accepted;
}

} // namespace tbk
