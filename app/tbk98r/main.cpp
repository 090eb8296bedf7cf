// The catalogue program: the runtime on Qt's loop, the procedures of every subsystem, and the
// main program body on the first logical thread.
#include "albums/addwizards.h"
#include "albums/albumwizard.h"
#include "albums/browsealbums.h"
#include "albums/browsealbumsandsongs.h"
#include "albums/cddbwizard.h"
#include "albums/selectalbum.h"
#include "albums/updatealbum.h"
#include "albums/xplorealbums.h"
#include "cdaudio/cdplayer.h"
#include "setup/filemanager.h"
#include "setup/housekeeping.h"
#include "setup/mainprogram.h"
#include "setup/preferences.h"
#include "core/procedures.h"
#include "setup/setupwizard.h"
#include "core/splash.h"
#include "setup/tips.h"
#include "impex/exportsongs.h"
#include "impex/importsongs.h"
#include "labels/fonts.h"
#include "labels/labelprint.h"
#include "labels/labelwindows.h"
#include "labels/binderpages.h"
#include "reports/djlog.h"
#include "reports/papersavers.h"
#include "reports/songlistreports.h"
#include "reports/albumreports.h"
#include "reports/playlistreports.h"
#include "reports/songreports.h"
#include "runtime/querywizard/querywizardtexts.h"
#include "runtime/threads/halt.h"
#include "songs/browseplaylists.h"
#include "songs/browsesongs.h"
#include "songs/categories.h"
#include "songs/generateplaylist.h"
#include "songs/media.h"
#include "songs/selectfilenumber.h"
#include "songs/updateplaylist.h"
#include "songs/updateplaylistchart.h"
#include "songs/updateplaylistdetails.h"
#include "songs/updatesong.h"
#include "songs/xploresongs.h"

#include <QApplication>

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tbk98r"));

    tbk::registerProcedure(QStringLiteral("SetQueryWizardTexts"), tbk::SetQueryWizardTexts);
    tbk::registerProcedure(QStringLiteral("ExportSongs"), tbk::ExportSongs);
    tbk::registerProcedure(QStringLiteral("ImportSongs"), tbk::ImportSongs);
    tbk::registerProcedure(QStringLiteral("ShowAboutWindow"), tbk::ShowAboutWindow);
    tbk::registerProcedure(QStringLiteral("UpdateTBKTips"), tbk::UpdateTBKTips);
    tbk::registerProcedure(QStringLiteral("BrowseTBKTips"), tbk::BrowseTBKTips);
    tbk::registerProcedure(QStringLiteral("BrowseCategories"), tbk::BrowseCategories);
    tbk::registerProcedure(QStringLiteral("UpdateCategories"), tbk::UpdateCategories);
    tbk::registerProcedure(QStringLiteral("BrowseMedia"), tbk::BrowseMedia);
    tbk::registerProcedure(QStringLiteral("UpdateMedia"), tbk::UpdateMedia);
    tbk::registerProcedure(QStringLiteral("UpdateSong"), tbk::UpdateSong);
    tbk::registerProcedure(QStringLiteral("BrowseSongs"), tbk::BrowseSongs);
    tbk::registerProcedure(QStringLiteral("XploreSongs"), tbk::XploreSongs);
    tbk::registerProcedure(QStringLiteral("SelectFileNumber"), tbk::SelectFileNumber);
    tbk::registerProcedure(QStringLiteral("BrowsePlayLists"), tbk::BrowsePlayLists);
    tbk::registerProcedure(QStringLiteral("UpdatePlaylist"), tbk::UpdatePlaylist);
    tbk::registerProcedure(QStringLiteral("UpdatePlaylistDetails"), tbk::UpdatePlaylistDetails);
    tbk::registerProcedure(QStringLiteral("UpdatePlaylistChart"), tbk::UpdatePlaylistChart);
    tbk::registerProcedure(QStringLiteral("GeneratePlaylist"), tbk::GeneratePlaylist);
    tbk::registerProcedure(QStringLiteral("SelectAlbum"), tbk::SelectAlbum);
    tbk::registerProcedure(QStringLiteral("UpdateAlbum"), tbk::UpdateAlbum);
    tbk::registerProcedure(QStringLiteral("BrowseAlbums"), tbk::BrowseAlbums);
    tbk::registerProcedure(QStringLiteral("XploreAlbums"), tbk::XploreAlbums);
    tbk::registerProcedure(QStringLiteral("CDDBWizard"), tbk::CDDBWizard);
    tbk::registerProcedure(QStringLiteral("AlbumWizard"), tbk::AlbumWizard);
    tbk::registerProcedure(QStringLiteral("BrowseAlbumsAndSongs"), tbk::BrowseAlbumsAndSongs);
    tbk::registerProcedure(QStringLiteral("AddSingleArtist"), tbk::AddSingleArtist);
    tbk::registerProcedure(QStringLiteral("AddCompilation"), tbk::AddCompilation);
    tbk::registerProcedure(QStringLiteral("SelectFont"), [] { tbk::SelectFont(); });
    tbk::registerProcedure(QStringLiteral("UpdateFonts"), tbk::UpdateFonts);
    tbk::registerProcedure(QStringLiteral("UpdateFontFreeform"), tbk::UpdateFontFreeform);
    tbk::registerProcedure(QStringLiteral("PreviewLabel"), tbk::PreviewLabel);
    tbk::registerProcedure(QStringLiteral("PrintLabelReport"), tbk::PrintLabelReport);
    tbk::registerProcedure(QStringLiteral("PreviewCassetteLabel"), tbk::PreviewCassetteLabel);
    tbk::registerProcedure(QStringLiteral("PreviewAltCassetteLabel"), tbk::PreviewAltCassetteLabel);
    tbk::registerProcedure(QStringLiteral("PrintCassetteLabelReport"), tbk::PrintCassetteLabelReport);
    tbk::registerProcedure(QStringLiteral("PrintAltCassetteLabelReport"), tbk::PrintAltCassetteLabelReport);
    tbk::registerProcedure(QStringLiteral("IntegratedCDPlayer"), tbk::IntegratedCDPlayer);
    tbk::registerProcedure(QStringLiteral("CDSetup"), tbk::CDSetup);
    tbk::setAddModeChooser(tbk::SelectAddMode);
    tbk::registerProcedure(QStringLiteral("LabelWizard"), tbk::LabelWizard);
    tbk::registerProcedure(QStringLiteral("BrowseLabels"), tbk::BrowseLabels);
    tbk::registerProcedure(QStringLiteral("UpdateLabels"), tbk::UpdateLabels);
    tbk::registerProcedure(QStringLiteral("FileManager"), tbk::FileManager);
    tbk::registerProcedure(QStringLiteral("CreateAlbumDatabase"), tbk::CreateAlbumDatabase);
    tbk::registerProcedure(QStringLiteral("ConvertSongDates"), tbk::ConvertSongDates);
    tbk::registerProcedure(QStringLiteral("ConvertAlbumDates"), tbk::ConvertAlbumDates);
    tbk::registerProcedure(QStringLiteral("TestAlbumLinkIntegrity"), tbk::TestAlbumLinkIntegrity);
    tbk::registerProcedure(QStringLiteral("ProcessAllSongs"), tbk::ProcessAllSongs);
    tbk::registerProcedure(QStringLiteral("EditPreferences"), tbk::EditPreferences);
    tbk::registerProcedure(QStringLiteral("SetupWizard"), tbk::SetupWizard);
    tbk::registerSongReports();
    tbk::registerSongListReports();
    tbk::registerPaperSavers();
    tbk::registerDJLog();
    tbk::registerAlbumReports();
    tbk::registerPlaylistReports();
    tbk::registerProcedure(QStringLiteral("CDBinderPages"), tbk::CDBinderPages);
    tbk::registerProcedure(QStringLiteral("PrintCDBinderPages"), tbk::PrintCDBinderPages);
    tbk::registerProcedure(QStringLiteral("PrintCDFlapPages"), tbk::PrintCDFlapPages);

    return tbk::runProgram(tbk::MainProgram);
}
