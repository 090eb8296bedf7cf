#include "runtime/values/diskwrite.h"

#include <cerrno>
#include <csignal>
#include <cstring>

#include <unistd.h>

namespace tbk {

int writeAllAt(int fd, QByteArrayView bytes, qint64 offset) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::pwrite(fd, bytes.data() + done, size_t(bytes.size() - done), off_t(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        if (n == 0)
            return ENOSPC;   // nothing taken and no reason given: the device is full
        done += n;
    }
    return 0;
}

QString systemErrorText(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

void failWritesPastSizeLimit() { std::signal(SIGXFSZ, SIG_IGN); }

} // namespace tbk
