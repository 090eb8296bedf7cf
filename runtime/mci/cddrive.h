#pragma once
// The CD drive behind the "cdaudio" device: a real drive or disc image through libcdio, or a
// simulated drive described by a text file. Disc positions are absolute frame addresses
// (75 frames a second; the first track of a normal disc starts at frame 150).
#include <QString>
#include <QtGlobal>

#include <memory>
#include <optional>
#include <vector>

namespace tbk {

constexpr quint32 kFramesPerSecond = 75;
constexpr quint32 kFramesPerMinute = 60 * kFramesPerSecond;

struct DiscToc {
    std::vector<quint32> starts;   // start frame of each track, track 1 first
    quint32 leadout = 0;           // frame address of the lead-out

    int trackCount() const { return int(starts.size()); }
    quint32 trackStart(int track) const { return starts[size_t(track - 1)]; }
    // The drive reports the last track one frame short of the lead-out.
    quint32 trackLength(int track) const;
    // From the start of track 1 to the lead-out.
    quint32 discLength() const { return starts.empty() ? 0 : leadout - starts.front(); }
    // The track that holds a frame (1 before the first track's start).
    int trackAt(quint32 frame) const;
    // Starts rising, lead-out after the last start, at most 99 tracks.
    bool isValid() const;
    bool operator==(const DiscToc &) const = default;
};

enum class PlayMode { Stopped, Playing, Paused };

class CdDrive {
public:
    virtual ~CdDrive() = default;
    // Brings what the drive knows up to date; called before every command.
    virtual void refresh() {}
    // The error a command is scripted to fail with (simulated drive), else 0.
    virtual int scriptedFailure(const QString &command) const;
    // The answer a command is scripted to give instead of the drive's own (simulated drive).
    virtual std::optional<QString> scriptedAnswer(const QString &command) const;
    virtual bool trayOpen() const = 0;
    // The disc's table of contents; null while the tray is open or no disc is in it.
    virtual const DiscToc *disc() const = 0;
    virtual PlayMode mode() = 0;
    // The play head's frame address.
    virtual quint32 position() = 0;
    // Each returns 0 or an MCI error code.
    virtual int play(quint32 from, quint32 to) = 0;
    virtual int pause() = 0;
    virtual int resume() = 0;
    virtual int stop() = 0;
};

// Opens the drive that TBK_CDROM names: unset, the system's default drive; a ".cue" or ".toc"
// file, that image; any other existing file, the simulated drive it describes; anything else,
// that device. Null when it cannot be opened, with the reason in *why.
std::unique_ptr<CdDrive> openCdDrive(QString *why);

// Play state of a drive that plays nothing aloud (images, the simulated drive), driven by a
// millisecond clock that only its owner advances.
class VirtualPlayer {
public:
    void reset(quint32 home);
    PlayMode mode(qint64 now);
    quint32 position(qint64 now);
    void play(quint32 from, quint32 to, qint64 now);
    void pause(qint64 now);
    void resume(qint64 now);
    void stop();

private:
    void advance(qint64 now);

    PlayMode mode_ = PlayMode::Stopped;
    quint32 home_ = 0;        // where a stopped drive rests: the start of track 1
    quint32 anchor_ = 0;      // frame at the last play or resume
    qint64 anchorTime_ = 0;   // clock at the last play or resume
    quint32 position_ = 0;    // while stopped or paused
    quint32 end_ = 0;
};

} // namespace tbk
