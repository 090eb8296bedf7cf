#include "core/programsettings.h"

#include "runtime/settings/profile.h"
#include "runtime/values/picture.h"

#include <concepts>

namespace tbk {

FixedString<255> ProgramIniFile{kProgramIniName};

quint8 SU_Albums = 0;
quint8 SU_Songs = 0;
quint8 SU_Playlists = 0;
quint8 SU_Labels = 0;
FixedString<20> AutoAddToAlbums{"1"};
FixedString<20> AddMode{"1"};
FixedString<20> LabelArtistTitleOrder{"1"};
FixedString<24> UDKPrompt{"Custom"};
FixedString<20> NotesLabel{"Notes"};
FixedString<6> DateFormat;
FixedString<255> Logo;
quint8 UseLog = 0;
FixedString<20> Interface{"Standard"};
qint32 CDTimer = 150;
quint8 SetupWizardComplete = 0;
quint8 DefaultWizardCompilation = 0;
quint8 SaveLastTab = 1;
quint8 AltCasFmt = 0;
quint8 DbgMode = 0;
quint8 ShowTips = 1;
quint8 AutomaticLookup = 0;

FixedString<10> ReportLayout{"Standard"};
FixedString<8> SelectedOrAll{"All"};
quint8 ReportPreviewChoice = 1;
quint8 ReportUseCustomFont = 0;
FixedString<30> ReportSelection;

GlobalValues GLO;

namespace {

QString readSetting(const char *entry, const char *defaultValue) {
    return getIni(QString::fromLatin1(kSettingsSection), QString::fromLatin1(entry),
                  QString::fromLatin1(defaultValue), ProgramIniFile);
}

template <int N>
void load(FixedString<N> &target, const char *entry, const char *defaultValue) {
    target = readSetting(entry, defaultValue);
}

// A number setting takes the text's numeric value; a file edited by hand may hold one beyond
// the setting's type, which is then held at the type's range.
template <std::integral Number>
void load(Number &target, const char *entry, const char *defaultValue) {
    target = numberInRange<Number>(numericValue(readSetting(entry, defaultValue)));
}

} // namespace

void LoadProgramSettings() {
    load(SU_Albums, "SU_Albums", "0");
    load(SU_Songs, "SU_Songs", "0");
    load(SU_Playlists, "SU_Playlists", "0");
    load(SU_Labels, "SU_Labels", "0");
    load(AutoAddToAlbums, "AutoAddToAlbums", "1");
    load(AddMode, "AddMode", "1");
    load(LabelArtistTitleOrder, "LabelArtistTitleOrder", "1");
    load(GLO.Delimiter, "GLO:Delimiter", ".");
    load(UDKPrompt, "UDKPrompt", "Custom");
    load(NotesLabel, "NotesLabel", "Notes");
    load(DateFormat, "DateFormat", "");
    load(Logo, "Logo", "");
    load(UseLog, "UseLog", "0");
    load(Interface, "Interface", "Standard");
    load(CDTimer, "CDTimer", "150");
    load(SetupWizardComplete, "SetupWizardComplete", "0");
    load(DefaultWizardCompilation, "DefaultWizardCompilation", "0");
    load(SaveLastTab, "SaveLastTab", "1");
    load(AltCasFmt, "AltCasFmt", "0");
    load(DbgMode, "DbgMode", "0");
    load(ShowTips, "ShowTips", "1");

    ReportLayout = QStringLiteral("Standard");
    SelectedOrAll = QStringLiteral("All");
    ReportPreviewChoice = 1;
}

bool explorerInterface() {
    return sameText(Interface, QStringLiteral("Explorer"));
}

bool yearOnlyDates() { return pictureFamily(DateFormat.str()) == QLatin1Char('n'); }

} // namespace tbk
