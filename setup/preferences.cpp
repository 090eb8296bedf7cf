#include "setup/preferences.h"

#include "core/artwork.h"
#include "setup/filemanager.h"
#include "setup/housekeeping.h"
#include "records/procedurecall.h"
#include "core/programsettings.h"
#include "setup/settingswindow.h"
#include "setup/setupwizard.h"
#include "runtime/threads/dialogs.h"
#include "runtime/threads/messagebox.h"
#include "runtime/ui/feedback.h"
#include "runtime/ui/fieldcontrol.h"
#include "runtime/ui/windowbuilder.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QPushButton>

namespace tbk {

namespace {

const char *const kCddbText =
    "CDDB is a free, \"public-domain\" database of CD information available\n"
    "through several servers on the Internet.  TuneBank Pro uses a program\n"
    "called Disc Seeker to access this database on demand.  Once you\n"
    "no longer need to change host/logon information in the Disc Seeker,\n"
    "check the automatic mode box below.";
const char *const kHousekeepingText =
    "These functions should only be used to correct known problems\n"
    "in earlier versions.  They can cause damage if used improperly..";
const char *const kCreateQuestion =
    "This function will create the album database based on information in your main TuneBank Pro database.  "
    "It may take some time to complete.  This should only be required if you are upgrading from version 1.1.  "
    "Are you sure you wish to continue?";
const char *const kLinkQuestion =
    "This function will test (and fix where possible) the links between the album database and your main "
    "TuneBank Pro database.  It may take some time to complete.  This should only be required if you are "
    "upgrading from version 1.1.  Are you sure you wish to continue?";

// The add mode's button for a value: its readers go by the first letter, and any letter but C, S
// or A adds normally.
int addModeChoice(const QString &mode) {
    switch (mode.isEmpty() ? 0 : mode.front().toUpper().unicode()) {
    case 'C': return 1;
    case 'S': return 2;
    case 'A': return 3;
    default: return 0;
    }
}

void standIn(QGroupBox *group, int (*choice)(const QString &)) {
    if (auto *option = qobject_cast<OptionField *>(FieldControl::of(group)))
        option->setStandIn([choice](const QVariant &v) { return choice(v.toString()); });
}

// The housekeeping question; Yes runs the process.
void askThenRun(const char *question, void (*process)()) {
    if (message(QString::fromLatin1(question), QStringLiteral("Housekeeping"), MessageIcon::Exclamation,
                ButtonYes | ButtonNo) == ButtonYes)
        process();
}

class PreferencesWindow : public SettingsWindow {
public:
    PreferencesWindow() : SettingsWindow(QStringLiteral("EditPreferences")) { setKeepsPlace(false); }

protected:
    QWidget *createWindow() override {
        const auto s = [](const char *t) { return QString::fromLatin1(t); };
        WindowBuilder b(*this, s("Preferences"), {360, 170});
        b.tab(s("General"));
        b.option(s("Interface"), s("Interface"), {s("Standard"), s("Explorer")});
        auto *dates = b.lookup(s("Date Format:"), s(kDateTextField), s("@s20"));
        b.group(s("Prompts (Field Labels)"));
        b.entry(s("User Defined Key Field:"), s("UDKPrompt"), s("@s24"));
        b.entry(s("Notes Field (on DJ Log):"), s("NotesLabel"), s("@s20"));
        b.endGroup();
        b.endTab();
        b.tab(s("Start Up"));
        b.group(s("Show At Start Up"));
        b.check(s("Albums"), s("SU_Albums"));
        b.check(s("Songs"), s("SU_Songs"));
        b.check(s("Labels"), s("SU_Labels"));
        b.check(s("Playlists"), s("SU_Playlists"));
        b.endGroup();
        b.check(s("Tips"), s("ShowTips"), s("Show tip at startup"));
        b.check(s("At start up, select last order tab used"), s("SaveLastTab"));
        b.endTab();
        b.tab(s("Adding"));
        QGroupBox *addMode =
            b.option(s("Add Mode"), s("AddMode"), {s("Normal"), s("Compilation"), s("Single Artist"), s("Ask Each Time")});
        b.check(s("When adding from CD Player, use the Compilation Wizard"), s("DefaultWizardCompilation"));
        b.check(s("Automatically Add Album Information to Album Database"), s("AutoAddToAlbums"));
        b.endTab();
        b.tab(s("Labels"));
        QGroupBox *labelOrder =
            b.option(s("Label Wizard Order"), s("LabelArtistTitleOrder"), {s("Artist - Title"), s("Title - Artist")});
        b.option(s("Track #/Song Delimiter"), s("GLO:Delimiter"), {s("."), s("]"), s(">"), s(")"), s("*"), s("}")});
        b.check(s("Use Alternate Cassette Format"), s("AltCasFmt"));
        b.endTab();
        b.tab(s("CDDB"));
        b.text(s(kCddbText));
        b.check(s("Call Disc Seeker in automatic mode"), s("AutomaticLookup"));
        b.endTab();
        b.tab(s("Housekeeping"));
        b.text(s(kHousekeepingText));
        QPushButton *create = b.button(s("Create Album Database from TuneBank Database"));
        b.newButtonRow();
        QPushButton *links = b.button(s("Test Album Database Link Integrity"));
        b.newButtonRow();
        QPushButton *mass = b.button(s("Mass Modifications"));
        b.newButtonRow();
        QPushButton *files = b.button(s("File Manager"));
        b.check(s("Log MCI traffic (Warning:  The log will be large!)"), s("UseLog"));
        b.endTab();
        // The page would otherwise share its name with the logo entry.
        b.tab(s("Logo"))->setObjectName(s("LogoPage"));
        b.entry(s("Logo to appear on selected reports:"), s("Logo"), s("@s255"));
        QPushButton *browse = b.button(s("&Browse"));
        b.endTab();
        QPushButton *ok = b.button(s("&OK"));
        QPushButton *cancel = b.button(s("Cancel"));
        QPushButton *wizard = b.button(s("Use Setup Wi&zard"));
        wizard->setIcon(artworkIcon(s("wizard.ico")));
        ok->setDefault(true);
        QWidget *w = b.finish();

        fillDateList(dates);
        shownDate_ = dateText();
        // Either setting's default "1" shows as what it means.
        standIn(addMode, addModeChoice);
        standIn(labelOrder, [](const QString &order) { return order.startsWith(QLatin1Char('A')) ? 0 : 1; });
        bindSettings();
        on(create, EventKind::Accepted, [] { askThenRun(kCreateQuestion, CreateAlbumDatabase); });
        on(links, EventKind::Accepted, [] { askThenRun(kLinkQuestion, TestAlbumLinkIntegrity); });
        on(mass, EventKind::Accepted, [] { massModifications(); });
        on(files, EventKind::Accepted, [] { FileManager(); });
        on(browse, EventKind::Accepted, [this] { browseLogo(); });
        on(ok, EventKind::Accepted, [this] { okPressed(); });
        on(cancel, EventKind::Accepted, [this] {
            LoadProgramSettings();
            closeWindow();
        });
        on(wizard, EventKind::Accepted, [this] {
            callWithRequest(ChangeRecord, SetupWizard);
            closeWindow();
        });
        return w;
    }

    bool openRoutine() override {
        // "Standard", the first of the interface choices.
        if (auto *option = qobject_cast<OptionField *>(FieldControl::of(controls().control(QStringLiteral("Interface"))));
            option && !option->buttons().isEmpty())
            option->buttons().front()->setFocus();
        return true;
    }

private:
    static void massModifications() {
        beep();
        const int pressed = message(QStringLiteral("These functions will process every \"Song\" record in your database."),
                                    QStringLiteral("Mass Modifications"), MessageIcon::Exclamation,
                                    {QStringLiteral("Set 0 Side/Disc"), QStringLiteral("Unavailable"), QStringLiteral("Cancel")});
        if (pressed == 1)
            ProcessAllSongs();
    }

    void browseLogo() {
        const QString chosen = fileDialog(QStringLiteral("Choose a File"), Logo.str(), QStringLiteral("All Files|*.*"));
        if (chosen.isEmpty())
            return;
        const QString path = QFileInfo(chosen).absoluteFilePath();
        // Cut to the setting's width, the name would point at another file or none.
        if (path.size() > Logo.size()) {
            message(QStringLiteral("The logo's file name is longer than %1 characters; please choose a file "
                                   "with a shorter name.").arg(Logo.size()),
                    QStringLiteral("Choose a File"), MessageIcon::Exclamation);
            return;
        }
        Logo = path;
        controls().setValue(QStringLiteral("Logo"), Logo.str());
    }

    void okPressed() {
        takeSettings();
        SettingsWriter writer;
        writer.putShared();
        writer.putByte("AltCasFmt", AltCasFmt);
        writer.putByte("UseLog", UseLog);
        writer.putByte("ShowTips", ShowTips);
        writer.putByte("SaveLastTab", SaveLastTab);
        writer.putByte("DefaultWizardCompilation", DefaultWizardCompilation);
        const QString chosen = dateText();
        if (chosen != shownDate_)
            message(QStringLiteral("Date format changes will not affect currently open windows.  You can close and "
                                   "re-open windows, or exit and restart TuneBank Pro to view information using the "
                                   "new date format."),
                    QStringLiteral("Information"));
        if (DateFormat.str() != QLatin1String(kYearOnlyFormat) && chosen == QLatin1String(kYearOnlyText))
            offerYearOnlyConversion();
        writer.putDateFormat(chosen);
        writer.reportFailure();
        closeWindow();
    }

    QString shownDate_;
};

} // namespace

void EditPreferences() {
    ProcedureCall call;
    call.setResponse(RequestCancelled);
    if (SetupWizardComplete == 0) {
        SetupWizard();
        return;
    }
    readStartupSettings();
    PreferencesWindow().run();
}

} // namespace tbk
