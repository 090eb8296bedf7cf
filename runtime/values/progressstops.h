#pragma once
// Progress measured against a key: the range from the first to the last key value is cut into
// 100 stops, and a bar advances each time the current record's key passes the next stop.
#include <QString>
#include <QtGlobal>

namespace tbk {

class RealStops {
public:
    void setup(double low, double high);
    // The first call gives low, the 100th high, the others low + step * (count - 1); calls
    // past the 100th go on adding steps.
    double next();

private:
    double low_ = 0, high_ = 0, step_ = 0;
    int count_ = 0;
};

// Flags of the stop alphabet.
enum StopFlag : int { StopLetters = 1, StopPunctuation = 2, StopDigits = 4, StopLowerCase = 8 };

class StringStops {
public:
    // Keys of the given significant length; flags choose the alphabet; lettersOnly forces
    // upper-case letters only.
    void setup(int length, int flags, bool lettersOnly, const QString &low, const QString &high);
    QString next();

    const QString &alphabet() const { return alphabet_; }
    const QString &prefix() const { return prefix_; }

private:
    qint64 valueOf(const QString &piece) const;
    QString pieceOf(qint64 value) const;

    QString alphabet_;
    QString prefix_;
    QString lowPiece_, highPiece_;
    qint64 lowValue_ = 0, highValue_ = 0, step_ = 0;
    int count_ = 0;
};

// The process-wide stops of the batch processes and browses.
void SetupRealStops(double low, double high);
double GetNextRealStop();
void SetupStringStops(int length, int flags, bool lettersOnly, const QString &low, const QString &high);
QString GetNextStringStop();

} // namespace tbk
