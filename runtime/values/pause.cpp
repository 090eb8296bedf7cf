#include "runtime/values/pause.h"

#include <QThread>

namespace tbk {

namespace {
PauseHook g_hook = nullptr;
} // namespace

void pauseFor(int ms) {
    if (ms <= 0)
        return;
    if (g_hook && g_hook(ms))
        return;
    QThread::msleep(ulong(ms));
}

void setPauseHook(PauseHook hook) { g_hook = hook; }

} // namespace tbk
