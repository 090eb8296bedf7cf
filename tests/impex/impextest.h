#pragma once
// Shared pieces of the export tests: a catalogue in the test's folder, the export started as the
// frame starts it, and the file it wrote read back.
#include "support/catalogue/cataloguetest.h"

#include <QStringList>
#include <gtest/gtest.h>

#include <functional>

namespace impextest {

using cataloguetest::addCategory;

// Every test ends with no thread and no data file open.
class ExportTest : public testing::Test {
protected:
    void SetUp() override { cataloguetest::openCatalogue({}); }
    void TearDown() override { cataloguetest::closeCatalogue(); }
};

// The songs and categories files made anew, filled by `fill` (MUS and CAT open meanwhile), then
// closed again for the export to open through its counts.
void makeCatalogue(const std::function<void()> &fill = {});
// A song with the fields every test sets; the caller sets more before adding.
void prepareSong(int id, const QString &artist, const QString &title, int category = 1);
// `count` songs "Artist 0001".."Artist <count>", title "Song n", in category 1 "Rock".
void makeSongs(int count);

// The file's lines (without their ends); empty when it cannot be read.
QStringList fileLines(const QString &path);
QByteArray fileBytes(const QString &path);

// Types the name into the file dialog the thread shows and accepts it; false when none is shown.
bool chooseFile(int thread, const QString &name);
// Runs until the thread has ended.
bool waitForEnd(int thread);

} // namespace impextest
