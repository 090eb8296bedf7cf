#pragma once
// While one lives, SQLite connections opened meanwhile write through a disk that can fill up:
// once fillAfter() is called, a write that would grow the files by more than the room left fails
// with SQLITE_FULL, as on a full file system. Nothing gives room back.
#include <QtGlobal>

#include <sqlite3.h>

#include <algorithm>
#include <cstring>

class FullDisk {
public:
    FullDisk() { sqlite3_vfs_register(&vfs(), 1); }
    // A connection still open goes on through it, unlimited.
    ~FullDisk() {
        room() = -1;
        sqlite3_vfs_register(base(), 1);
    }
    FullDisk(const FullDisk &) = delete;
    FullDisk &operator=(const FullDisk &) = delete;

    void fillAfter(qint64 bytes) { room() = bytes; }

private:
    struct File {
        sqlite3_file base;
        sqlite3_file *real;
        qint64 size;
    };

    static qint64 &room() {
        static qint64 r = -1;   // unlimited
        return r;
    }
    static sqlite3_vfs *base() {
        static sqlite3_vfs *b = sqlite3_vfs_find("unix");
        return b;
    }
    static sqlite3_file *real(sqlite3_file *f) { return reinterpret_cast<File *>(f)->real; }

    static int write(sqlite3_file *f, const void *data, int n, sqlite3_int64 at) {
        File *file = reinterpret_cast<File *>(f);
        const qint64 grows = std::max<qint64>(0, at + n - file->size);
        if (room() >= 0 && grows > room())
            return SQLITE_FULL;
        const int rc = file->real->pMethods->xWrite(file->real, data, n, at);
        if (rc == SQLITE_OK) {
            file->size += grows;
            if (room() >= 0)
                room() -= grows;
        }
        return rc;
    }
    static const sqlite3_io_methods *methods() {
        static const sqlite3_io_methods m = {
            1,
            [](sqlite3_file *f) {
                const int rc = real(f)->pMethods->xClose(real(f));
                sqlite3_free(real(f));
                return rc;
            },
            [](sqlite3_file *f, void *b, int n, sqlite3_int64 at) { return real(f)->pMethods->xRead(real(f), b, n, at); },
            write,
            [](sqlite3_file *f, sqlite3_int64 size) {
                File *file = reinterpret_cast<File *>(f);
                file->size = std::min<qint64>(file->size, size);
                return file->real->pMethods->xTruncate(file->real, size);
            },
            [](sqlite3_file *f, int flags) { return real(f)->pMethods->xSync(real(f), flags); },
            [](sqlite3_file *f, sqlite3_int64 *size) { return real(f)->pMethods->xFileSize(real(f), size); },
            [](sqlite3_file *f, int lock) { return real(f)->pMethods->xLock(real(f), lock); },
            [](sqlite3_file *f, int lock) { return real(f)->pMethods->xUnlock(real(f), lock); },
            [](sqlite3_file *f, int *out) { return real(f)->pMethods->xCheckReservedLock(real(f), out); },
            [](sqlite3_file *f, int op, void *arg) { return real(f)->pMethods->xFileControl(real(f), op, arg); },
            [](sqlite3_file *f) { return real(f)->pMethods->xSectorSize(real(f)); },
            [](sqlite3_file *f) { return real(f)->pMethods->xDeviceCharacteristics(real(f)); },
            nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,   // version 1: no shared memory, no mapping
        };
        return &m;
    }
    static sqlite3_vfs &vfs() {
        static sqlite3_vfs v = [] {
            sqlite3_vfs s = *base();
            s.pNext = nullptr;
            s.szOsFile = int(sizeof(File));
            s.zName = "fulldisk";
            s.xOpen = [](sqlite3_vfs *, const char *name, sqlite3_file *f, int flags, int *outFlags) {
                File *file = reinterpret_cast<File *>(f);
                file->real = static_cast<sqlite3_file *>(sqlite3_malloc(base()->szOsFile));
                std::memset(file->real, 0, size_t(base()->szOsFile));
                const int rc = base()->xOpen(base(), name, file->real, flags, outFlags);
                if (rc != SQLITE_OK || !file->real->pMethods) {
                    sqlite3_free(file->real);
                    f->pMethods = nullptr;
                    return rc == SQLITE_OK ? SQLITE_CANTOPEN : rc;
                }
                sqlite3_int64 size = 0;
                file->real->pMethods->xFileSize(file->real, &size);
                file->size = size;
                f->pMethods = methods();
                return SQLITE_OK;
            };
            return s;
        }();
        return v;
    }
};
