#include "localdb/GatheredJournal.h"

#include <sqlite3.h>

#include <algorithm>
#include <new>
#include <vector>

namespace quibo::localdb {

namespace {

// The engine appends a journal frame as two writes: its 24-byte header, then the page. A header
// whose second word (the size of the database after the commit) is not zero begins a commit's last
// frame.
constexpr int FrameHeaderSize = 24;
// Beyond this much a long transaction's frames go out before its commit. The platform's layer takes
// less than 128 KiB in one write, so what is gathered goes out in pieces of this size at most.
constexpr size_t GatherLimit = size_t(64) << 10;

sqlite3_vfs* Parent() {
    static sqlite3_vfs* const parent = sqlite3_vfs_find(nullptr);
    return parent;
}

// What a journal holds back: bytes that follow one another in the file from `offset` on.
struct Gathered {
    std::vector<unsigned char> bytes;
    sqlite3_int64 offset = 0;
    bool commitEnds = false; // the page appended next ends a commit
};

struct File {
    sqlite3_file base; // first: the engine sees a File as its sqlite3_file
    sqlite3_file* real;
    Gathered* gathered; // journals only
    File* nextJournal;
};

// Every journal open in the process: the shared index belongs to the database file, not to its
// journal, so a change there first writes whatever any journal holds. The program is single-threaded.
File* openJournals = nullptr;

File* Of(sqlite3_file* file) {
    return reinterpret_cast<File*>(file);
}

const sqlite3_io_methods& RealMethods(sqlite3_file* file) {
    return *Of(file)->real->pMethods;
}

int WriteGathered(File* f) {
    Gathered* g = f->gathered;
    if (!g || g->bytes.empty()) return SQLITE_OK;
    int rc = SQLITE_OK;
    for (size_t done = 0; done < g->bytes.size() && rc == SQLITE_OK; done += GatherLimit) {
        const size_t piece = std::min(GatherLimit, g->bytes.size() - done);
        rc = f->real->pMethods->xWrite(f->real, g->bytes.data() + done, static_cast<int>(piece),
                                       g->offset + sqlite3_int64(done));
    }
    g->bytes.clear();
    g->commitEnds = false;
    return rc;
}

int WriteEveryJournal() {
    int result = SQLITE_OK;
    for (File* f = openJournals; f; f = f->nextJournal)
        if (const int rc = WriteGathered(f); rc != SQLITE_OK && result == SQLITE_OK) result = rc;
    return result;
}

int Close(sqlite3_file* file) {
    File* f = Of(file);
    const int written = WriteGathered(f);
    const int rc = f->real->pMethods->xClose(f->real);
    if (f->gathered) {
        for (File** at = &openJournals; *at; at = &(*at)->nextJournal)
            if (*at == f) {
                *at = f->nextJournal;
                break;
            }
        delete f->gathered;
        f->gathered = nullptr;
    }
    return written != SQLITE_OK ? written : rc;
}

int Read(sqlite3_file* file, void* data, int amount, sqlite3_int64 offset) {
    if (const int rc = WriteGathered(Of(file)); rc != SQLITE_OK) return rc;
    return RealMethods(file).xRead(Of(file)->real, data, amount, offset);
}

int Write(sqlite3_file* file, const void* data, int amount, sqlite3_int64 offset) {
    File* f = Of(file);
    Gathered* g = f->gathered;
    if (!g) return f->real->pMethods->xWrite(f->real, data, amount, offset);
    const bool follows = !g->bytes.empty() && offset == g->offset + sqlite3_int64(g->bytes.size());
    if (!follows) {
        if (const int rc = WriteGathered(f); rc != SQLITE_OK) return rc;
        // Only a frame header begins a gathering; any other write goes straight to the file.
        if (amount != FrameHeaderSize) return f->real->pMethods->xWrite(f->real, data, amount, offset);
        g->offset = offset;
    }
    const auto* bytes = static_cast<const unsigned char*>(data);
    try {
        g->bytes.insert(g->bytes.end(), bytes, bytes + amount);
    } catch (const std::bad_alloc&) {
        // No room to gather: what is held goes out, then this write, as without the gathering.
        if (const int rc = WriteGathered(f); rc != SQLITE_OK) return rc;
        return f->real->pMethods->xWrite(f->real, data, amount, offset);
    }
    if (amount == FrameHeaderSize) {
        g->commitEnds = std::any_of(bytes + 4, bytes + 8, [](unsigned char b) { return b != 0; });
        return SQLITE_OK;
    }
    // The commit's last page: everything gathered goes out now, and its failure is the commit's.
    if (g->commitEnds || g->bytes.size() >= GatherLimit) return WriteGathered(f);
    return SQLITE_OK;
}

int Truncate(sqlite3_file* file, sqlite3_int64 size) {
    if (const int rc = WriteGathered(Of(file)); rc != SQLITE_OK) return rc;
    return RealMethods(file).xTruncate(Of(file)->real, size);
}

int Sync(sqlite3_file* file, int flags) {
    if (const int rc = WriteGathered(Of(file)); rc != SQLITE_OK) return rc;
    return RealMethods(file).xSync(Of(file)->real, flags);
}

int FileSize(sqlite3_file* file, sqlite3_int64* size) {
    if (const int rc = WriteGathered(Of(file)); rc != SQLITE_OK) return rc;
    return RealMethods(file).xFileSize(Of(file)->real, size);
}

int Lock(sqlite3_file* file, int level) {
    return RealMethods(file).xLock(Of(file)->real, level);
}

int Unlock(sqlite3_file* file, int level) {
    return RealMethods(file).xUnlock(Of(file)->real, level);
}

int CheckReservedLock(sqlite3_file* file, int* reserved) {
    return RealMethods(file).xCheckReservedLock(Of(file)->real, reserved);
}

int FileControl(sqlite3_file* file, int op, void* arg) {
    if (const int rc = WriteGathered(Of(file)); rc != SQLITE_OK) return rc;
    return RealMethods(file).xFileControl(Of(file)->real, op, arg);
}

int SectorSize(sqlite3_file* file) {
    return RealMethods(file).xSectorSize(Of(file)->real);
}

int DeviceCharacteristics(sqlite3_file* file) {
    return RealMethods(file).xDeviceCharacteristics(Of(file)->real);
}

int ShmMap(sqlite3_file* file, int region, int size, int extend, void volatile** mapped) {
    if (const int rc = WriteEveryJournal(); rc != SQLITE_OK) return rc;
    return RealMethods(file).xShmMap(Of(file)->real, region, size, extend, mapped);
}

int ShmLock(sqlite3_file* file, int offset, int n, int flags) {
    if (const int rc = WriteEveryJournal(); rc != SQLITE_OK) return rc;
    return RealMethods(file).xShmLock(Of(file)->real, offset, n, flags);
}

// Comes between the two copies of the index header that publish a commit: the frames go out first.
void ShmBarrier(sqlite3_file* file) {
    WriteEveryJournal();
    RealMethods(file).xShmBarrier(Of(file)->real);
}

int ShmUnmap(sqlite3_file* file, int deleteFlag) {
    if (const int rc = WriteEveryJournal(); rc != SQLITE_OK) return rc;
    return RealMethods(file).xShmUnmap(Of(file)->real, deleteFlag);
}

int Fetch(sqlite3_file* file, sqlite3_int64 offset, int amount, void** p) {
    return RealMethods(file).xFetch(Of(file)->real, offset, amount, p);
}

int Unfetch(sqlite3_file* file, sqlite3_int64 offset, void* p) {
    return RealMethods(file).xUnfetch(Of(file)->real, offset, p);
}

const sqlite3_io_methods Methods = {
    3,
    Close,
    Read,
    Write,
    Truncate,
    Sync,
    FileSize,
    Lock,
    Unlock,
    CheckReservedLock,
    FileControl,
    SectorSize,
    DeviceCharacteristics,
    ShmMap,
    ShmLock,
    ShmBarrier,
    ShmUnmap,
    Fetch,
    Unfetch,
};

int Open(sqlite3_vfs*, const char* name, sqlite3_file* file, int flags, int* outFlags) {
    File* f = Of(file);
    f->base.pMethods = nullptr;
    f->real = reinterpret_cast<sqlite3_file*>(f + 1);
    f->gathered = nullptr;
    f->nextJournal = nullptr;
    f->real->pMethods = nullptr; // a failed open need not set it
    const int rc = Parent()->xOpen(Parent(), name, f->real, flags, outFlags);
    if (!f->real->pMethods) return rc;
    // The methods above forward the whole third version, which every file of the platform's has.
    if (f->real->pMethods->iVersion < Methods.iVersion) {
        f->real->pMethods->xClose(f->real);
        return SQLITE_CANTOPEN;
    }
    if (rc == SQLITE_OK && (flags & SQLITE_OPEN_WAL)) {
        f->gathered = new (std::nothrow) Gathered;
        if (!f->gathered) {
            f->real->pMethods->xClose(f->real);
            return SQLITE_NOMEM;
        }
        f->nextJournal = openJournals;
        openJournals = f;
    }
    f->base.pMethods = &Methods;
    return rc;
}

int Delete(sqlite3_vfs*, const char* name, int syncDir) {
    return Parent()->xDelete(Parent(), name, syncDir);
}
int Access(sqlite3_vfs*, const char* name, int flags, int* result) {
    return Parent()->xAccess(Parent(), name, flags, result);
}
int FullPathname(sqlite3_vfs*, const char* name, int size, char* out) {
    return Parent()->xFullPathname(Parent(), name, size, out);
}
void* DlOpen(sqlite3_vfs*, const char* name) {
    return Parent()->xDlOpen(Parent(), name);
}
void DlError(sqlite3_vfs*, int size, char* out) {
    Parent()->xDlError(Parent(), size, out);
}
void (*DlSym(sqlite3_vfs*, void* handle, const char* symbol))(void) {
    return Parent()->xDlSym(Parent(), handle, symbol);
}
void DlClose(sqlite3_vfs*, void* handle) {
    Parent()->xDlClose(Parent(), handle);
}
int Randomness(sqlite3_vfs*, int size, char* out) {
    return Parent()->xRandomness(Parent(), size, out);
}
int Sleep(sqlite3_vfs*, int microseconds) {
    return Parent()->xSleep(Parent(), microseconds);
}
int CurrentTime(sqlite3_vfs*, double* now) {
    return Parent()->xCurrentTime(Parent(), now);
}
int GetLastError(sqlite3_vfs*, int size, char* out) {
    return Parent()->xGetLastError(Parent(), size, out);
}
int CurrentTimeInt64(sqlite3_vfs*, sqlite3_int64* now) {
    return Parent()->xCurrentTimeInt64(Parent(), now);
}

sqlite3_vfs MakeVfs() {
    sqlite3_vfs vfs{};
    vfs.iVersion = 2;
    vfs.szOsFile = static_cast<int>(sizeof(File)) + Parent()->szOsFile;
    vfs.mxPathname = Parent()->mxPathname;
    vfs.zName = "quibo-gathered-journal";
    vfs.xOpen = Open;
    vfs.xDelete = Delete;
    vfs.xAccess = Access;
    vfs.xFullPathname = FullPathname;
    vfs.xDlOpen = DlOpen;
    vfs.xDlError = DlError;
    vfs.xDlSym = DlSym;
    vfs.xDlClose = DlClose;
    vfs.xRandomness = Randomness;
    vfs.xSleep = Sleep;
    vfs.xCurrentTime = CurrentTime;
    vfs.xGetLastError = GetLastError;
    vfs.xCurrentTimeInt64 = CurrentTimeInt64;
    return vfs;
}

} // namespace

const char* GatheredJournalVfs() {
    static sqlite3_vfs vfs = MakeVfs();
    static const bool registered = sqlite3_vfs_register(&vfs, 0) == SQLITE_OK;
    return registered ? vfs.zName : nullptr;
}

} // namespace quibo::localdb
