#pragma once
// The CD reading the album form offers, set where the program starts. While a piece is not
// set, the buttons that need it are disabled and the read on entering an empty ID does nothing.
#include <QString>
#include <QtGlobal>

#include <functional>

namespace tbk {

struct AlbumDiscReading {
    // ReadCompactDisc(identifyOnly, fillRows): 1 when the disc was read. It works on the album
    // record buffer and the songs file.
    std::function<int(quint8, quint8)> readCompactDisc;
    // ComputeDiscId over the thread's track queue; the disc length in hundredths goes to the
    // argument.
    std::function<QString(qint32 &)> computeDiscId;
    // LookUpDiscForAlbum, on the album record buffer.
    std::function<void()> lookUpDiscForAlbum;
};

AlbumDiscReading &albumDiscReading();

} // namespace tbk
