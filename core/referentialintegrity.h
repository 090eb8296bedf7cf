#pragma once
// Deleting and changing records that other files refer to. Every routine works on the record
// now in its file's buffer, inside a transaction over the file and its dependants (begun with a
// 2-second time-out): it refuses a delete that would leave a dangling reference, carries a
// changed linking value over to the dependants, and rolls everything back when a step fails.
// Every failure is shown by a standard warning before the routine returns.
#include "runtime/data/record.h"
#include "runtime/values/text.h"

#include <QtGlobal>

namespace tbk {

// Delete routines: 0 deleted, 1 not deleted.
int DeleteSongRecord();
int DeleteAlbumRecord();
int DeleteCategoryRecord();
int DeleteMediaRecord();
int DeletePlaylistMasterRecord();
int DeletePlaylistDetailRecord();
int DeleteTipRecord();
int DeleteLabelRecord();
int DeleteFontRecord();
int DeleteAddWizardRecord();

// Update routines: 0 written, 1 not written, 2 changed by another window first (the buffer then
// holds that window's version). When the record changed elsewhere, `changedMessage` set shows
// warning 38 ("Record Was Not Updated"), else warning 15.
int UpdateSongRecord(bool changedMessage);
int UpdateAlbumRecord(bool changedMessage);
int UpdateCategoryRecord(bool changedMessage);
int UpdateMediaRecord(bool changedMessage);
int UpdatePlaylistMasterRecord(bool changedMessage);
int UpdatePlaylistDetailRecord(bool changedMessage);
int UpdateTipRecord(bool changedMessage);
int UpdateLabelRecord(bool changedMessage);
int UpdateFontRecord(bool changedMessage);
int UpdateAddWizardRecord(bool changedMessage);

// Before a form lets the user change a record it keeps the record's linking values, which the
// update routine compares with the new ones.
void CaptureSongLinks();
void CaptureAlbumLinks();
void CaptureCategoryLinks();
void CaptureMediaLinks();
void CapturePlaylistMasterLinks();
void CapturePlaylistDetailLinks();
void CaptureTipLinks();
void CaptureLabelLinks();
void CaptureFontLinks();
void CaptureAddWizardLinks();

// The kept linking values.
struct KeptLinks {
    FixedString<20> media;          // MED:Media
    qint64 categoryID = 0;          // CAT:CategoryID
    qint32 albumID = 0;             // ALB:AlbumID
    FixedString<20> fileNumber;     // ALB:FileNumber
    data::Record album;             // the album as read, whose data its songs hold
};
extern KeptLinks RISave;

// Saves the current error for the next standard warning and rolls the transaction back.
void SaveErrorAndRollBack();

} // namespace tbk
