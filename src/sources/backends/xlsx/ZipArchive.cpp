// The zip reader under the .xlsx source: a package's parts over libzip, deflated ones inflated by zlib.
#include "sources/backends/xlsx/ZipArchive.h"

#include "sources/backends/SourceFile.h"

#include <QFile>

#include <algorithm>
#include <new>
#include <string>
#include <unordered_set>
#include <utility>

namespace quibo::xlsx {

QString PartName(const std::string& part) {
    return QString::fromStdString(part);
}

ZipFile::ZipFile(zip_t* zip, const QString& path, const std::string& name, const XlsxLimits& limits)
    : m_path(path), m_name(name) {
    zip_int64_t index = zip_name_locate(zip, name.c_str(), 0);
    if (index < 0) index = zip_name_locate(zip, name.c_str(), ZIP_FL_NOCASE);
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (index >= 0) zip_stat_index(zip, static_cast<zip_uint64_t>(index), 0, &stat);
    constexpr zip_uint64_t Known =
        ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE | ZIP_STAT_CRC | ZIP_STAT_COMP_METHOD | ZIP_STAT_ENCRYPTION_METHOD;
    m_inflating = (stat.valid & Known) == Known && stat.comp_method == ZIP_CM_DEFLATE &&
                  stat.encryption_method == ZIP_EM_NONE;
    if (index >= 0)
        m_file = zip_fopen_index(zip, static_cast<zip_uint64_t>(index), m_inflating ? ZIP_FL_COMPRESSED : 0);
    if (!m_file)
        sourcefile::RaiseBroken(m_path, QStringLiteral("lacks its part \"%1\".").arg(PartName(name)));
    if (m_inflating) {
        if (inflateInit2(&m_stream, -MAX_WBITS) != Z_OK) throw std::bad_alloc();
        m_packed = std::make_unique_for_overwrite<unsigned char[]>(PackedChunk);
        m_size = stat.size;
        m_crc = stat.crc;
    }
    if (stat.valid & ZIP_STAT_SIZE)
        m_sizeHint = static_cast<size_t>(std::min<zip_uint64_t>(stat.size, MaxHint));
    const zip_uint64_t packed = (stat.valid & ZIP_STAT_COMP_SIZE) ? stat.comp_size : 0;
    // A small part may inflate much, up to the floor; past it, only so many times its packed size.
    m_bound = std::min(limits.maxPartSize,
                       std::max(limits.ratioFloor, static_cast<qint64>(packed) * limits.maxRatio));
}

ZipFile::~ZipFile() {
    if (m_inflating) inflateEnd(&m_stream);
    zip_fclose(m_file);
}

size_t ZipFile::read(char* out, size_t size) {
    const qint64 n =
        m_inflating ? inflated(reinterpret_cast<unsigned char*>(out), size) : zip_fread(m_file, out, size);
    if (n < 0) damaged();
    m_inflated += n;
    if (m_inflated > m_bound)
        sourcefile::RaiseBroken(m_path,
                                QStringLiteral("has a part \"%1\" that unpacks to more than %2 bytes; "
                                               "it is refused.")
                                    .arg(PartName(m_name))
                                    .arg(m_bound));
    return static_cast<size_t>(n);
}

void ZipFile::damaged() const {
    sourcefile::RaiseBroken(
        m_path, QStringLiteral("has a damaged part \"%1\": it cannot be unpacked.").arg(PartName(m_name)));
}

qint64 ZipFile::inflated(unsigned char* out, size_t size) {
    size_t produced = 0;
    while (!m_ended && produced < size) {
        if (m_stream.avail_in == 0) {
            const zip_int64_t n = zip_fread(m_file, m_packed.get(), PackedChunk);
            if (n <= 0) return -1;
            m_stream.next_in = m_packed.get();
            m_stream.avail_in = static_cast<uInt>(n);
        }
        unsigned char* slice = out + produced;
        m_stream.next_out = slice;
        m_stream.avail_out = static_cast<uInt>(std::min(Slice, size - produced));
        const int status = inflate(&m_stream, Z_NO_FLUSH);
        if (status != Z_OK && status != Z_STREAM_END) return -1;
        const size_t n = static_cast<size_t>(m_stream.next_out - slice);
        m_crcSoFar = crc32_z(m_crcSoFar, slice, n);
        m_sizeSoFar += n;
        produced += n;
        if (status == Z_STREAM_END) {
            m_ended = true;
            if (m_crcSoFar != m_crc || m_sizeSoFar != m_size) return -1;
        }
    }
    return static_cast<qint64>(produced);
}

namespace {

const QByteArray LocalHeader = QByteArrayLiteral("PK\x03\x04");

// A zip is its parts, each after its header, then its directory's entries and the record that ends
// it. A file whose parts and entries, walked by the sizes their headers give, run to its end or past
// it before that record is cut short. Parts whose sizes follow their data cannot be walked.
bool CutShort(QFile& file) {
    const auto u16 = [](const QByteArray& b, int at) {
        return quint16(quint8(b[at]) | quint8(b[at + 1]) << 8);
    };
    const auto u32 = [&](const QByteArray& b, int at) {
        return quint32(u16(b, at)) | quint32(u16(b, at + 2)) << 16;
    };
    const QByteArray directoryEntry = QByteArrayLiteral("PK\x01\x02");
    qint64 at = 0;
    bool inDirectory = false;
    for (;;) {
        if (at >= file.size()) return true;
        if (!file.seek(at)) return false;
        const QByteArray header = file.read(46);
        if (header.size() < 4) return true;
        inDirectory = inDirectory || header.startsWith(directoryEntry);
        if (inDirectory) { // the directory's entries, up to the record that ends it
            if (!header.startsWith(directoryEntry)) return false;
            if (header.size() < 46) return true;
            at += 46 + qint64(u16(header, 28)) + u16(header, 30) + u16(header, 32);
            continue;
        }
        if (!header.startsWith(LocalHeader)) return false;
        if (header.size() < 30) return true;
        const quint32 packed = u32(header, 18);
        if ((u16(header, 6) & 0x08) || packed == 0xFFFFFFFF) return false;
        at += 30 + qint64(u16(header, 26)) + u16(header, 28) + packed;
    }
}

} // namespace

ZipArchive::ZipArchive(const QString& path, const XlsxLimits& limits) : m_path(path), m_limits(limits) {
    sourcefile::RequireReadableFile(path);
    int error = 0;
    m_zip = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &error);
    if (!m_zip) {
        QFile file(path);
        const bool zip = file.open(QIODevice::ReadOnly) && file.read(4) == LocalHeader;
        if (!zip) sourcefile::RaiseNotOfKind(path, Kind);
        if (error == ZIP_ER_NOZIP && CutShort(file))
            sourcefile::RaiseBroken(
                path, QStringLiteral("is damaged: it is cut short at %1 bytes.").arg(file.size()));
        sourcefile::RaiseBroken(path, QStringLiteral("is damaged: its zip directory could not be read."));
    }
    // A part is found by its name, and a package's names are one whatever their case: with two
    // entries of one name, which of them a reader takes is anyone's guess.
    const zip_int64_t entries = zip_get_num_entries(m_zip, 0);
    std::unordered_set<std::string> names;
    names.reserve(static_cast<size_t>(std::max<zip_int64_t>(entries, 0)));
    for (zip_int64_t i = 0; i < entries; ++i) {
        const char* name = zip_get_name(m_zip, static_cast<zip_uint64_t>(i), 0);
        if (!name) continue;
        std::string folded(name);
        for (char& c : folded)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (names.insert(std::move(folded)).second) continue;
        const std::string twice(name);
        zip_discard(std::exchange(m_zip, nullptr));
        sourcefile::RaiseBroken(
            path, QStringLiteral("has two entries of its part \"%1\"; it cannot be told which to read.")
                      .arg(PartName(twice)));
    }
}

std::string ZipArchive::readAll(const std::string& name) const {
    const std::unique_ptr<ZipFile> file = open(name);
    // Read into room for the whole part at once: growing a string by slices copied it over and over.
    std::string data(std::max(file->sizeHint(), size_t(1) << 12) + 1, '\0');
    size_t size = 0;
    while (const size_t n = file->read(data.data() + size, data.size() - size)) {
        size += n;
        if (size == data.size()) data.resize(2 * data.size());
    }
    data.resize(size);
    return data;
}

} // namespace quibo::xlsx
