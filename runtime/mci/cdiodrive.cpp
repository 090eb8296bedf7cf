#include "runtime/mci/cdiodrive.h"

#include "runtime/mci/mcierrors.h"

#include <QElapsedTimer>
#include <QFile>

// cdio.h first: the other headers rely on its types.
#include <cdio/cdio.h>
#include <cdio/audio.h>
#include <cdio/logging.h>
#include <cdio/mmc.h>

namespace tbk {

namespace {

struct CdioCloser {
    void operator()(CdIo_t *p) const { cdio_destroy(p); }
};
using CdioHandle = std::unique_ptr<CdIo_t, CdioCloser>;

CdioHandle openHandle(const QString &path, CdioSource kind) {
    // libcdio reports on stderr what we report through the device's answers.
    cdio_loglevel_default = CDIO_LOG_ERROR;
    const QByteArray source = QFile::encodeName(path);
    const char *name = path.isEmpty() ? nullptr : source.constData();
    switch (kind) {
    case CdioSource::CueImage: return CdioHandle(cdio_open(name, DRIVER_BINCUE));
    case CdioSource::TocImage: return CdioHandle(cdio_open(name, DRIVER_CDRDAO));
    case CdioSource::Drive: break;
    }
    return CdioHandle(cdio_open(name, DRIVER_DEVICE));
}

std::optional<DiscToc> readToc(CdIo_t *p) {
    const track_t first = cdio_get_first_track_num(p);
    const track_t count = cdio_get_num_tracks(p);
    if (first == CDIO_INVALID_TRACK || count == CDIO_INVALID_TRACK || count == 0)
        return std::nullopt;
    DiscToc toc;
    for (track_t t = first; t < first + count; ++t) {
        const lba_t lba = cdio_get_track_lba(p, t);
        if (lba == CDIO_INVALID_LBA || lba < 0)
            return std::nullopt;
        toc.starts.push_back(quint32(lba));
    }
    const lba_t leadout = cdio_get_track_lba(p, CDIO_CDROM_LEADOUT_TRACK);
    if (leadout == CDIO_INVALID_LBA || leadout < 0)
        return std::nullopt;
    toc.leadout = quint32(leadout);
    if (!toc.isValid())
        return std::nullopt;
    return toc;
}

// A disc image: always "in the drive", played on a clock of its own.
class CdioImage : public CdDrive {
public:
    explicit CdioImage(DiscToc toc) : toc_(std::move(toc)) {
        clock_.start();
        player_.reset(toc_.trackStart(1));
    }
    bool trayOpen() const override { return false; }
    const DiscToc *disc() const override { return &toc_; }
    PlayMode mode() override { return player_.mode(clock_.elapsed()); }
    quint32 position() override { return player_.position(clock_.elapsed()); }
    int play(quint32 from, quint32 to) override {
        player_.play(from, to, clock_.elapsed());
        return 0;
    }
    int pause() override {
        player_.pause(clock_.elapsed());
        return 0;
    }
    int resume() override {
        player_.resume(clock_.elapsed());
        return 0;
    }
    int stop() override {
        player_.stop();
        return 0;
    }

private:
    DiscToc toc_;
    QElapsedTimer clock_;
    VirtualPlayer player_;
};

// A real drive: the disc may come and go, and the drive itself plays.
class CdioDrive : public CdDrive {
public:
    CdioDrive(QString path, CdioHandle handle) : path_(std::move(path)), p_(std::move(handle)) {
        readState();
    }

    void refresh() override {
        const int tray = mmc_get_tray_status(p_.get());
        const bool trayOpen = tray == 1;
        // A new disc needs a new handle: the library keeps the table it read first.
        if (trayOpen != trayOpen_ || cdio_get_media_changed(p_.get()) == 1 || (!toc_ && !trayOpen)) {
            if (CdioHandle h = openHandle(path_, CdioSource::Drive))
                p_ = std::move(h);
            readState();
        }
    }

    bool trayOpen() const override { return trayOpen_; }
    const DiscToc *disc() const override { return trayOpen_ || !toc_ ? nullptr : &*toc_; }

    PlayMode mode() override {
        cdio_subchannel_t sub{};
        if (cdio_audio_read_subchannel(p_.get(), &sub) != DRIVER_OP_SUCCESS)
            return PlayMode::Stopped;
        switch (sub.audio_status) {
        case CDIO_MMC_READ_SUB_ST_PLAY: return PlayMode::Playing;
        case CDIO_MMC_READ_SUB_ST_PAUSED: return PlayMode::Paused;
        default: return PlayMode::Stopped;
        }
    }

    quint32 position() override {
        const quint32 home = toc_ ? toc_->trackStart(1) : 0;
        cdio_subchannel_t sub{};
        if (cdio_audio_read_subchannel(p_.get(), &sub) != DRIVER_OP_SUCCESS)
            return home;
        if (sub.audio_status != CDIO_MMC_READ_SUB_ST_PLAY
            && sub.audio_status != CDIO_MMC_READ_SUB_ST_PAUSED)
            return home;
        const lba_t lba = cdio_msf_to_lba(&sub.abs_addr);
        return lba == CDIO_INVALID_LBA || lba < 0 ? home : quint32(lba);
    }

    int play(quint32 from, quint32 to) override {
        msf_t start, end;
        cdio_lba_to_msf(lba_t(from), &start);
        cdio_lba_to_msf(lba_t(to) - 1, &end);
        return result(cdio_audio_play_msf(p_.get(), &start, &end));
    }
    int pause() override { return result(cdio_audio_pause(p_.get())); }
    int resume() override { return result(cdio_audio_resume(p_.get())); }
    int stop() override { return result(cdio_audio_stop(p_.get())); }

private:
    static int result(driver_return_code_t rc) {
        return rc == DRIVER_OP_SUCCESS ? 0 : kMciHardware;
    }

    void readState() {
        trayOpen_ = mmc_get_tray_status(p_.get()) == 1;
        toc_ = trayOpen_ ? std::nullopt : readToc(p_.get());
    }

    QString path_;
    CdioHandle p_;
    bool trayOpen_ = false;
    std::optional<DiscToc> toc_;
};

} // namespace

std::unique_ptr<CdDrive> openCdioDrive(const QString &path, CdioSource kind, QString *why) {
    CdioHandle p = openHandle(path, kind);
    if (!p) {
        *why = path.isEmpty() ? QStringLiteral("no CD drive found")
                              : QStringLiteral("%1 cannot be opened as a CD").arg(path);
        return nullptr;
    }
    if (kind == CdioSource::Drive)
        return std::make_unique<CdioDrive>(path, std::move(p));
    std::optional<DiscToc> toc = readToc(p.get());
    if (!toc) {
        *why = QStringLiteral("%1 holds no readable table of contents").arg(path);
        return nullptr;
    }
    return std::make_unique<CdioImage>(std::move(*toc));
}

} // namespace tbk
