#include "runtime/mci/cddrive.h"

#include "runtime/mci/cdiodrive.h"
#include "runtime/mci/simulateddrive.h"

#include <QFileInfo>

#include <algorithm>

namespace tbk {

constexpr int kMaxTracks = 99;

quint32 DiscToc::trackLength(int track) const {
    const quint32 end = track < trackCount() ? trackStart(track + 1) : leadout - 1;
    return end - trackStart(track);
}

int DiscToc::trackAt(quint32 frame) const {
    const auto it = std::upper_bound(starts.begin(), starts.end(), frame);
    return std::max(1, int(it - starts.begin()));
}

bool DiscToc::isValid() const {
    if (starts.empty() || trackCount() > kMaxTracks)
        return false;
    for (size_t i = 1; i < starts.size(); ++i)
        if (starts[i] <= starts[i - 1])
            return false;
    // The last track is reported one frame short, so it needs two frames to keep a length.
    return leadout > starts.back() + 1;
}

int CdDrive::scriptedFailure(const QString &) const {
    return 0;
}

std::optional<QString> CdDrive::scriptedAnswer(const QString &) const { return std::nullopt; }

std::unique_ptr<CdDrive> openCdDrive(QString *why) {
    const QString source = qEnvironmentVariable("TBK_CDROM");
    if (source.isEmpty())
        return openCdioDrive(QString(), CdioSource::Drive, why);
    const QString suffix = QFileInfo(source).suffix().toLower();
    if (suffix == QLatin1String("cue"))
        return openCdioDrive(source, CdioSource::CueImage, why);
    if (suffix == QLatin1String("toc"))
        return openCdioDrive(source, CdioSource::TocImage, why);
    const QFileInfo info(source);
    if (info.isFile())
        return openSimulatedDrive(source, why);
    return openCdioDrive(source, CdioSource::Drive, why);
}

void VirtualPlayer::reset(quint32 home) {
    mode_ = PlayMode::Stopped;
    home_ = position_ = home;
}

void VirtualPlayer::advance(qint64 now) {
    if (mode_ != PlayMode::Playing)
        return;
    // A clock set back (a test rewriting its drive) counts as no time passed.
    const qint64 elapsed = std::max<qint64>(0, now - anchorTime_);
    const qint64 frame = qint64(anchor_) + elapsed * kFramesPerSecond / 1000;
    if (frame >= qint64(end_)) {
        mode_ = PlayMode::Stopped;
        position_ = home_;
    } else {
        position_ = quint32(frame);
    }
}

PlayMode VirtualPlayer::mode(qint64 now) {
    advance(now);
    return mode_;
}

quint32 VirtualPlayer::position(qint64 now) {
    advance(now);
    return position_;
}

void VirtualPlayer::play(quint32 from, quint32 to, qint64 now) {
    mode_ = PlayMode::Playing;
    anchor_ = position_ = from;
    anchorTime_ = now;
    end_ = to;
}

void VirtualPlayer::pause(qint64 now) {
    advance(now);
    if (mode_ == PlayMode::Playing)
        mode_ = PlayMode::Paused;
}

void VirtualPlayer::resume(qint64 now) {
    if (mode_ != PlayMode::Paused)
        return;
    mode_ = PlayMode::Playing;
    anchor_ = position_;
    anchorTime_ = now;
}

void VirtualPlayer::stop() {
    mode_ = PlayMode::Stopped;
    position_ = home_;
}

} // namespace tbk
