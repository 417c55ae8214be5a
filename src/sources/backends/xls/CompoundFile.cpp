#include "sources/backends/xls/CompoundFile.h"

#include <QSet>
#include <QString>
#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <limits>

namespace quibo {

namespace {

quint16 U16(const uchar* p) {
    return qFromLittleEndian<quint16>(p);
}
quint32 U32(const uchar* p) {
    return qFromLittleEndian<quint32>(p);
}

constexpr quint32 EndOfChain = 0xFFFFFFFE;
constexpr quint32 FreeSector = 0xFFFFFFFF;
constexpr quint32 MaxSector = 0xFFFFFFFA; // above are the markers
const uchar Signature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};

} // namespace

CompoundFile::CompoundFile(const QByteArray& file)
    : m_file(file), m_data(reinterpret_cast<const uchar*>(file.constData())), m_size(file.size()) {}

bool CompoundFile::hasSignature() const {
    return m_size >= 8 && std::memcmp(m_data, Signature, 8) == 0;
}

bool CompoundFile::isCompound() const {
    return m_size >= 512 && hasSignature();
}

bool CompoundFile::fail(Fault fault) const {
    if (m_fault == Fault::None) m_fault = fault;
    return false;
}

const uchar* CompoundFile::needed(quint32 s, qsizetype& length) const {
    const uchar* p = sector(s, length);
    if (p) return p;
    // A sector the allocation table holds (or, while it is read, may hold) that the file ends before.
    const bool held =
        s < m_fat.size() ? m_fat[s] != FreeSector : quint64(s) < quint64(m_fatSectors) * (m_sectorSize / 4);
    if (s <= MaxSector && held) fail(Fault::Cut);
    return nullptr;
}

bool CompoundFile::encrypted() {
    return readDirectory() && m_encrypted;
}

bool CompoundFile::workbook(QByteArray& stream) {
    if (!readDirectory() || m_workbookEntry < 0) return false;
    const auto* root = reinterpret_cast<const uchar*>(m_directory.constData());
    const uchar* e = root + m_workbookEntry;
    const quint64 size = m_major == 3 ? U32(e + 0x78) : (U32(e + 0x78) | quint64(U32(e + 0x7C)) << 32);
    // A stream longer than the file: cut short when the allocation table has room for it.
    const quint64 room = quint64(m_fat.size()) * m_sectorSize;
    if (size > quint64(m_size)) return fail(size <= room ? Fault::Cut : Fault::Sectors);
    const quint32 start = U32(e + 0x74);
    if (size >= m_cutoff) return chain(m_fat, start, size, stream) || fail(Fault::Sectors);
    // The mini stream is bounded by the file like any other stream.
    const quint32 miniSize = U32(root + 0x78);
    if (miniSize > quint64(m_size)) return fail(miniSize <= room ? Fault::Cut : Fault::Sectors);
    QByteArray mini;
    if (!readMiniFat() || !chain(m_fat, U32(root + 0x74), miniSize, mini, true)) return fail(Fault::Sectors);
    return miniChain(mini, quint64(mini.size()) < miniSize, start, size, stream);
}

bool CompoundFile::readDirectory() {
    if (m_directoryRead) return *m_directoryRead;
    m_directoryRead = false;
    if (!readHeader() || !readFat()) return fail(Fault::Sectors);
    QByteArray& dir = m_directory;
    if (!chain(m_fat, m_dirStart, std::numeric_limits<quint64>::max(), dir) || dir.size() < 128)
        return fail(Fault::Directory);
    const auto* d = reinterpret_cast<const uchar*>(dir.constData());
    const qsizetype entries = dir.size() / 128;

    // The root entry holds the mini stream, which holds the streams below the cut-off.
    const uchar* root = d;
    if (root[0x42] != 5) return fail(Fault::Directory);
    // A name longer than its 64-byte field marks a damaged directory.
    for (qsizetype i = 0; i < entries; ++i)
        if (U16(d + i * 128 + 0x40) > 64) return fail(Fault::Directory);
    // The workbook's stream is a child of the root: a stream of that name inside a storage (an
    // embedded object's) is another document's. The root's children form a tree of siblings (left
    // and right) under the root's child; a link outside the directory or back into the tree (or to
    // the root) marks a damaged directory, and so do two streams of one name (compared as the format
    // compares names, without regard to case), of which it cannot be told which is meant.
    constexpr quint32 NoEntry = 0xFFFFFFFF;
    qsizetype book = -1;
    std::vector<bool> seen(static_cast<size_t>(entries));
    seen[0] = true;
    QSet<QString> names;
    std::vector<quint32> pending = {U32(root + 0x4C)};
    while (!pending.empty()) {
        const quint32 id = pending.back();
        pending.pop_back();
        if (id == NoEntry) continue;
        if (id >= quint64(entries) || seen[id]) return fail(Fault::Directory);
        seen[id] = true;
        const uchar* entry = d + qsizetype(id) * 128;
        pending.push_back(U32(entry + 0x44));
        pending.push_back(U32(entry + 0x48));
        if (entry[0x42] != 2) continue;
        const quint16 nameBytes = U16(entry + 0x40);
        if (nameBytes < 2 || nameBytes % 2) continue;
        const QString name = QString::fromUtf16(reinterpret_cast<const char16_t*>(entry),
                                                nameBytes / 2 - 1) // less the NUL
                                 .toUpper();
        if (names.contains(name)) return fail(Fault::Directory);
        names.insert(name);
        if (name == QLatin1String("WORKBOOK"))
            m_workbookEntry = entry - d;
        else if (name == QLatin1String("BOOK"))
            book = entry - d;
        else if (name == QLatin1String("ENCRYPTEDPACKAGE") || name == QLatin1String("ENCRYPTIONINFO"))
            m_encrypted = true;
    }
    if (m_workbookEntry < 0) m_workbookEntry = book;
    m_directoryRead = true;
    return true;
}

bool CompoundFile::readHeader() {
    m_major = U16(m_data + 0x1A);
    const quint16 shift = U16(m_data + 0x1E);
    if (U16(m_data + 0x1C) != 0xFFFE || !((m_major == 3 && shift == 9) || (m_major == 4 && shift == 12)))
        return false;
    m_sectorSize = 1u << shift;
    if (U16(m_data + 0x20) != 6) return false;
    m_fatSectors = U32(m_data + 0x2C);
    m_dirStart = U32(m_data + 0x30);
    m_cutoff = U32(m_data + 0x38);
    m_miniFatStart = U32(m_data + 0x3C);
    m_difatStart = U32(m_data + 0x44);
    m_difatSectors = U32(m_data + 0x48);
    // Every allocation-table sector is a sector of the file: a file without room for as many as
    // its header and extra table sectors list is cut short.
    if (m_fatSectors <= quint64(m_size) / m_sectorSize) return true;
    const quint64 listed = 109 + quint64(m_difatSectors) * (m_sectorSize / 4 - 1);
    return fail(m_fatSectors <= listed ? Fault::Cut : Fault::Sectors);
}

const uchar* CompoundFile::sector(quint32 s, qsizetype& length) const {
    if (s > MaxSector) return nullptr;
    const quint64 at = (quint64(s) + 1) * m_sectorSize;
    if (at >= quint64(m_size)) return nullptr;
    length = std::min<qsizetype>(m_sectorSize, m_size - static_cast<qsizetype>(at));
    return m_data + at;
}

bool CompoundFile::readFat() {
    std::vector<quint32> fatSectors;
    for (int i = 0; i < 109 && fatSectors.size() < m_fatSectors; ++i)
        fatSectors.push_back(U32(m_data + 0x4C + 4 * i));
    quint32 next = m_difatStart;
    for (quint32 n = 0; fatSectors.size() < m_fatSectors; ++n) {
        qsizetype length = 0;
        if (n >= m_difatSectors) return false;
        const uchar* p = needed(next, length);
        if (!p) return false;
        if (length < qsizetype(m_sectorSize)) return fail(Fault::Cut);
        const quint32 perSector = m_sectorSize / 4 - 1;
        for (quint32 i = 0; i < perSector && fatSectors.size() < m_fatSectors; ++i)
            fatSectors.push_back(U32(p + 4 * i));
        next = U32(p + 4 * perSector);
    }
    m_fat.reserve(fatSectors.size() * (m_sectorSize / 4));
    for (quint32 s : fatSectors) {
        qsizetype length = 0;
        const uchar* p = needed(s, length);
        if (!p) return false;
        if (length < qsizetype(m_sectorSize)) return fail(Fault::Cut);
        for (quint32 i = 0; i < m_sectorSize / 4; ++i)
            m_fat.push_back(U32(p + 4 * i));
    }
    return true;
}

bool CompoundFile::readMiniFat() {
    QByteArray bytes;
    if (!chain(m_fat, m_miniFatStart, std::numeric_limits<quint64>::max(), bytes)) return false;
    const auto* p = reinterpret_cast<const uchar*>(bytes.constData());
    m_miniFat.clear();
    for (qsizetype i = 0; i + 4 <= bytes.size(); i += 4)
        m_miniFat.push_back(U32(p + i));
    return true;
}

bool CompoundFile::chain(const std::vector<quint32>& table, quint32 s, quint64 size, QByteArray& out,
                         bool toCutEnd) const {
    out.clear();
    const bool sized = size != std::numeric_limits<quint64>::max();
    if (sized && contiguous(table, s, size)) {
        // Written in one run, as writers lay out a stream: read in place, not copied.
        out = QByteArray::fromRawData(m_file.constData() + (quint64(s) + 1) * m_sectorSize,
                                      static_cast<qsizetype>(size));
        return true;
    }
    if (sized) out.reserve(static_cast<qsizetype>(size));
    std::vector<bool> seen(table.size());
    qsizetype length = m_sectorSize;
    while (!sized || quint64(out.size()) < size) {
        // A stream short of its size: the file ends inside its last sector, or its chain ends early.
        const bool cutEnd = length < qsizetype(m_sectorSize);
        if (s == EndOfChain) {
            if (!sized || (toCutEnd && cutEnd)) return true;
            return cutEnd ? fail(Fault::Cut) : false;
        }
        const uchar* p = needed(s, length);
        if (!p || s >= table.size() || seen[s]) return false;
        seen[s] = true;
        const qsizetype wanted =
            sized ? qsizetype(std::min<quint64>(length, size - quint64(out.size()))) : length;
        out.append(reinterpret_cast<const char*>(p), wanted);
        s = table[s];
    }
    return true;
}

bool CompoundFile::contiguous(const std::vector<quint32>& table, quint32 s, quint64 size) const {
    const quint64 first = (quint64(s) + 1) * m_sectorSize;
    if (s > MaxSector || first + size > quint64(m_size)) return false;
    const quint64 sectors = (size + m_sectorSize - 1) / m_sectorSize;
    for (quint64 k = 0; k + 1 < sectors; ++k)
        if (s + k >= table.size() || table[s + k] != s + k + 1) return false;
    return sectors == 0 || s + sectors - 1 < table.size();
}

bool CompoundFile::miniChain(const QByteArray& mini, bool cut, quint32 s, quint64 size,
                             QByteArray& out) const {
    out.clear();
    std::vector<bool> seen(m_miniFat.size());
    while (quint64(out.size()) < size) {
        const quint64 at = quint64(s) * 64;
        if (s >= m_miniFat.size() || seen[s]) return fail(Fault::Sectors);
        const qsizetype wanted = qsizetype(std::min<quint64>(64, size - quint64(out.size())));
        if (at + quint64(wanted) > quint64(mini.size())) return fail(cut ? Fault::Cut : Fault::Sectors);
        seen[s] = true;
        out.append(mini.constData() + at, wanted);
        s = m_miniFat[s];
    }
    return true;
}

} // namespace quibo
