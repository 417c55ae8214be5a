// The zip reader under the .xlsx source: a package's parts over libzip, deflated ones inflated by zlib.
#include "sources/backends/xlsx/ZipArchive.h"

#include "sources/backends/SourceFile.h"

#include <QFile>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <new>
#include <string>
#include <unordered_set>
#include <utility>

namespace quibo::xlsx {

QString PartName(const std::string& part) {
    return QString::fromStdString(part);
}

ZipFile::ZipFile(zip_t* zip, zip_int64_t index, const QString& path, const std::string& name,
                 const XlsxLimits& limits)
    : m_path(path), m_name(name) {
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

void AppendUtf8(char32_t code, std::string& out) {
    auto put = [&](char32_t byte) { out.push_back(static_cast<char>(byte)); };
    if (code < 0x80) {
        put(code);
    } else if (code < 0x800) {
        put(0xC0 | (code >> 6));
        put(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        put(0xE0 | (code >> 12));
        put(0x80 | ((code >> 6) & 0x3F));
        put(0x80 | (code & 0x3F));
    } else {
        put(0xF0 | (code >> 18));
        put(0x80 | ((code >> 12) & 0x3F));
        put(0x80 | ((code >> 6) & 0x3F));
        put(0x80 | (code & 0x3F));
    }
}

namespace {

// Where the encoding name of the declaration at the start of `text` stands, between its quotes:
// [from, to); false without a declaration or a name.
bool EncodingName(const std::string& text, size_t& from, size_t& to) {
    if (text.compare(0, 5, "<?xml") != 0) return false;
    const size_t end = text.find("?>");
    const size_t at = text.find("encoding", 0);
    if (end == std::string::npos || at == std::string::npos || at > end) return false;
    const size_t open = text.find_first_of("\"'", at);
    if (open == std::string::npos || open > end) return false;
    const size_t close = text.find(text[open], open + 1);
    if (close == std::string::npos || close > end) return false;
    from = open + 1;
    to = close;
    return true;
}

// The encoding a converted part's declaration names, now UTF-8: "encoding='UTF-16'" read as written
// would send the XML parser back to UTF-16.
void DeclareUtf8(std::string& text) {
    size_t from = 0, to = 0;
    if (EncodingName(text, from, to)) text.replace(from, to - from, "UTF-8");
}

// Whether the declaration names ISO-8859-1 or latin1, in any case: the names the XML parser reads as
// Latin-1 (any other it reads as UTF-8).
bool DeclaresLatin1(const std::string& text) {
    size_t from = 0, to = 0;
    if (!EncodingName(text, from, to)) return false;
    std::string name = text.substr(from, to - from);
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
    return name == "iso-8859-1" || name == "latin1";
}

} // namespace

size_t XmlPart::read(char* out, size_t size) {
    if (m_encoding == Encoding::Unknown) start();
    if (m_encoding == Encoding::Utf8) {
        if (m_raw.empty()) return m_file->read(out, size);
        const size_t n = std::min(size, m_raw.size());
        std::memcpy(out, m_raw.data(), n);
        m_raw.erase(0, n);
        return n;
    }
    while (m_textAt == m_text.size() && !m_ended) {
        m_text.clear();
        m_textAt = 0;
        char chunk[1 << 15];
        const size_t n = m_file->read(chunk, sizeof chunk);
        m_raw.append(chunk, n);
        m_ended = n == 0;
        convert(m_ended);
    }
    const size_t n = std::min(size, m_text.size() - m_textAt);
    std::memcpy(out, m_text.data() + m_textAt, n);
    m_textAt += n;
    return n;
}

// A byte-order mark tells the encoding, or without one the first characters of a declaration ("<?"
// as UTF-16 units); anything else is UTF-8.
void XmlPart::start() {
    char head[4];
    size_t got = 0;
    while (got < sizeof head)
        if (const size_t n = m_file->read(head + got, sizeof head - got))
            got += n;
        else
            break;
    m_raw.assign(head, got);
    const auto starts = [&](std::string_view bytes) { return m_raw.compare(0, bytes.size(), bytes) == 0; };
    using namespace std::string_view_literals;
    m_encoding = Encoding::Utf8;
    if (starts("\xEF\xBB\xBF"sv)) {
        m_raw.erase(0, 3);
    } else if (starts("\xFF\xFE"sv) || starts("<\0?\0"sv)) {
        m_encoding = Encoding::Utf16LE;
    } else if (starts("\xFE\xFF"sv) || starts("\0<\0?"sv)) {
        m_encoding = Encoding::Utf16BE;
    }
    const bool declared = m_encoding == Encoding::Utf8 && starts("<?xm"sv);
    if (m_encoding == Encoding::Utf8 && !declared) return;
    if (static_cast<unsigned char>(m_raw[0]) >= 0xFE) m_raw.erase(0, 2);
    // The declaration is whole within the first bytes read.
    char chunk[1 << 12];
    const size_t n = m_file->read(chunk, sizeof chunk);
    m_raw.append(chunk, n);
    m_ended = n == 0;
    if (declared) {
        if (!DeclaresLatin1(m_raw)) return;
        m_encoding = Encoding::Latin1;
    }
    convert(m_ended);
    DeclareUtf8(m_text);
}

void XmlPart::convert(bool atEnd) {
    if (m_encoding == Encoding::Latin1) {
        for (const char byte : m_raw)
            AppendUtf8(static_cast<unsigned char>(byte), m_text);
        m_raw.clear();
        return;
    }
    const bool little = m_encoding == Encoding::Utf16LE;
    const auto unit = [&](size_t at) {
        const auto lo = static_cast<unsigned char>(m_raw[at + (little ? 0 : 1)]);
        const auto hi = static_cast<unsigned char>(m_raw[at + (little ? 1 : 0)]);
        return static_cast<char16_t>(lo | hi << 8);
    };
    size_t at = 0;
    for (; at + 2 <= m_raw.size(); at += 2) {
        const char16_t u = unit(at);
        if (u >= 0xD800 && u < 0xDC00) {
            if (at + 4 > m_raw.size() && !atEnd) break; // its pair comes with the next bytes
            const char16_t low = at + 4 <= m_raw.size() ? unit(at + 2) : 0;
            if (low >= 0xDC00 && low < 0xE000) {
                AppendUtf8(0x10000 + ((char32_t(u) - 0xD800) << 10) + (low - 0xDC00), m_text);
                at += 2;
                continue;
            }
        }
        // A lone surrogate stands for no character: the parser is shown one it refuses nowhere else.
        AppendUtf8(u >= 0xD800 && u < 0xE000 ? char32_t(0xFFFD) : char32_t(u), m_text);
    }
    m_raw.erase(0, at);
    if (atEnd && !m_raw.empty()) { // half a unit: the part ends inside a character
        AppendUtf8(0xFFFD, m_text);
        m_raw.clear();
    }
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
    m_folded.reserve(names.bucket_count());
    for (zip_int64_t i = 0; i < entries; ++i) {
        const char* name = zip_get_name(m_zip, static_cast<zip_uint64_t>(i), 0);
        if (!name) continue;
        std::string folded(name);
        for (char& c : folded)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        std::string slashed = folded;
        std::replace(slashed.begin(), slashed.end(), '\\', '/');
        if (const auto [at, added] = m_folded.emplace(std::move(slashed), i); !added) at->second = -1;
        if (names.insert(std::move(folded)).second) continue;
        const std::string twice(name);
        zip_discard(std::exchange(m_zip, nullptr));
        sourcefile::RaiseBroken(
            path, QStringLiteral("has two entries of its part \"%1\"; it cannot be told which to read.")
                      .arg(PartName(twice)));
    }
}

zip_int64_t ZipArchive::locate(const std::string& name) const {
    zip_int64_t index = zip_name_locate(m_zip, name.c_str(), 0);
    if (index < 0) index = zip_name_locate(m_zip, name.c_str(), ZIP_FL_NOCASE);
    if (index >= 0) return index;
    std::string folded(name);
    for (char& c : folded)
        c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c == '\\' ? '/' : c;
    const auto found = m_folded.find(folded);
    return found == m_folded.end() ? -1 : found->second;
}

std::string ZipArchive::readAll(const std::string& name) const {
    const std::unique_ptr<XmlPart> file = open(name);
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
