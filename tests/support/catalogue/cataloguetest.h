#pragma once
// Real catalogue files in the test's folder, opened as the program opens them, and songs,
// albums, categories and media made directly. Windows are called through
// support/windows/threadcall.h.
#include "core/datafiles.h"
#include "core/fileaccess.h"
#include "runtime/threads/callprotocol.h"
#include "support/qstringprint.h"
#include "support/windows/threadcall.h"
#include "support/windows/windowtesting.h"

#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>

namespace cataloguetest {

using namespace tbk;
using namespace tbk::windowtest;

// What every catalogue fixture's set-up does: a halt does not end the test program, the files
// are open for use and no call is pending.
void openCatalogue(std::initializer_list<data::DataFile *> files);
// Ends the threads the test left and closes every file.
void closeCatalogue();

// `more` sets further fields before the record is added.
void addSong(qint32 id, const QString &title, qint32 album = 0, int side = 0, int track = 0,
             const QString &fileNumber = {}, const QString &media = QStringLiteral("CD"),
             const std::function<void()> &more = {});
void addAlbum(qint32 id, const QString &artist, const QString &album, const QString &fileNumber = {},
              const QString &media = QStringLiteral("CD"), const QString &cd = {});
void addCategory(qint64 id, const QString &name);
void addMedia(const QString &name);
// A playlist's entry: the song at the sequence number.
void addEntry(qint32 playlist, qint64 seq, qint64 song);
// The record by identifier into the buffer; false when there is none.
bool loadSong(qint32 id);
bool loadAlbum(qint32 id);
// Every record of a file through a key, as the text `row` makes of the buffer.
QStringList rows(data::DataFile &f, const data::Key &k, const std::function<QString()> &row);
// The album's songs in key order as "side.track:title".
QStringList tracks(qint32 album);
// Every category as "id:name", every album as "id:artist/album", every media name.
QStringList categories();
QStringList albums();
QStringList media();

// The songs, albums, categories, media and playlists files.
class CatalogueTest : public testing::Test {
protected:
    void SetUp() override { openCatalogue({&MUS, &ALB, &CAT, &MED, &PLA}); }
    void TearDown() override { closeCatalogue(); }
};

} // namespace cataloguetest
