#include "setup/startuprepair.h"

#include "core/datafiles.h"
#include "core/programstart.h"
#include "runtime/data/datafile.h"
#include "runtime/data/upgrader.h"
#include "runtime/settings/profile.h"
#include "runtime/threads/halt.h"
#include "runtime/threads/messagebox.h"
#include "runtime/values/text.h"

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

bool FixDataFile(data::DataFile &file, std::function<void(const QString &message)> refused) {
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
    const QStringList arguments = repairArguments(disk);
    const auto tell = [name = arguments.first(), refused](const QString &status, const QString &errors) {
        QString text = QStringLiteral("The Fix Utility did not repair %1 (%2).").arg(name, status);
        if (!errors.isEmpty())
            text += QStringLiteral("\n\n") + errors;
        refused(text);
    };
    if (!(refused ? startProgramWatched(program, arguments, tell) : startProgram(program, arguments))) {
        message(QStringLiteral("The Fix Utility could not be started: \"%1\" was found neither in the "
                               "program's folder nor on the PATH.")
                    .arg(QString::fromLatin1(kRepairProgram)),
                kErrorTitle, MessageIcon::Hand);
        return false;
    }
    return true;
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
