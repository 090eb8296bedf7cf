#pragma once
// The program settings: section "Settings" of the program settings file, loaded into
// process-wide values shared by every thread.
#include "runtime/values/text.h"

#include <QString>
#include <QtGlobal>

namespace tbk {

extern FixedString<255> ProgramIniFile;   // "TBank98.INI", set by the frame on entry

extern quint8 SU_Albums;
extern quint8 SU_Songs;
extern quint8 SU_Playlists;
extern quint8 SU_Labels;
extern FixedString<20> AutoAddToAlbums;
extern FixedString<20> AddMode;
extern FixedString<20> LabelArtistTitleOrder;
extern FixedString<24> UDKPrompt;
extern FixedString<20> NotesLabel;
extern FixedString<6> DateFormat;
extern FixedString<255> Logo;
extern quint8 UseLog;
extern FixedString<20> Interface;
extern qint32 CDTimer;
extern quint8 SetupWizardComplete;
extern quint8 DefaultWizardCompilation;
extern quint8 SaveLastTab;
extern quint8 AltCasFmt;
extern quint8 DbgMode;
extern quint8 ShowTips;
// Lets the CD reading call the lookup agent in its automatic mode. Kept for the run only: it is
// never read from or written to the settings file.
extern quint8 AutomaticLookup;

// Report criteria, shared by every report thread. Loading the settings resets the first
// three; the custom-font choice and the starts-with text last for the whole run.
extern FixedString<10> ReportLayout;      // "Standard" or "Brief"
extern FixedString<8> SelectedOrAll;      // "All" or "Selected"
extern quint8 ReportPreviewChoice;        // 1 preview, 0 print at once
extern quint8 ReportUseCustomFont;        // 1 offers the font dialog when a report opens
extern FixedString<30> ReportSelection;   // the starts-with text of "Selected"

// Globals named GLO:X.
struct GlobalValues {
    FixedString<1> Delimiter{"."};
    // The side or disc whose songs an album window shows; the song form and the CD reading
    // take it for new songs.
    quint8 Side = 0;
};
extern GlobalValues GLO;

inline const char *const kProgramIniName = "TBank98.INI";
inline const char *const kSettingsSection = "Settings";
inline const char *const kGlobalSettingsSection = "Global Settings";
inline const char *const kFontsSection = "Fonts";

void LoadProgramSettings();
// "Explorer" (trailing blanks aside) selects the explorer-style lists.
bool explorerInterface();
// "Year Only": date fields are kept and shown as bare years.
bool yearOnlyDates();

} // namespace tbk
