#pragma once
// Makes a catalogue in the current directory: the eleven data files, with the given numbers of
// songs, albums and categories (deterministic content), plus the twelve media formats.
// Returns false with the runtime error set when a file cannot be made.
#include <QStringList>

#include <initializer_list>

namespace tbk::bench {

struct CatalogueSize {
    int songs = 100000;
    int albums = 10000;
    int categories = 50;
};

bool generateCatalogue(const CatalogueSize &size = {});

// The benchmarks' shared catalogue of the default size: made in a temporary folder on the first
// call (the process exits when that fails), then every data file opened. Makes the folder
// current each time, as a benchmark may have changed it.
void useSharedCatalogue();
// A catalogue of `songs` songs (a tenth as many albums, 50 categories) kept between runs in
// the folder tbk_bench_<songs> under $TBK_BENCH_DIR (default /tmp): made the first time (the
// process exits when that fails), reused after; then every data file opened there.
void useKeptCatalogue(int songs);
// The catalogue folders named on the command line (after the benchmark flags were taken out),
// made absolute; without any, the kept catalogues of these numbers of songs.
QStringList catalogueFolders(int argc, char **argv, std::initializer_list<int> keptSongs);
// Every registered data file open (the process exits when one cannot be opened).
void openAllDataFiles();

// Adds `count` songs with identifiers from `firstId` on to the open songs file (no transaction).
bool addSongs(int firstId, int count, int albums, int categories);

} // namespace tbk::bench
