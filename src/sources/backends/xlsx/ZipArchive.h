// The zip reader under the .xlsx source: a package's parts over libzip, deflated ones inflated by zlib.
#pragma once

#include "sources/backends/xlsx/XlsxLimits.h"

#include <QString>

#include <zip.h>
#include <zlib.h>

#include <memory>
#include <string>
#include <unordered_map>

namespace quibo::xlsx {

// What a file that is no workbook is said not to be.
inline const QString Kind = QStringLiteral("an Excel workbook (.xlsx)");

// A part's name as the error messages give it.
QString PartName(const std::string& part);

// A part of the package, unpacked as it is read. A deflated part (nearly every one) is inflated here
// from its packed bytes, in slices small enough that each is checked against the part's CRC while
// still in cache; any other libzip unpacks. Either way a part that does not unpack whole and true
// is refused as damaged.
class ZipFile {
public:
    // The entry at `index` (-1 for none: the part is missing) of the package, by the name asked for.
    ZipFile(zip_t* zip, zip_int64_t index, const QString& path, const std::string& name,
            const XlsxLimits& limits);
    ZipFile(const ZipFile&) = delete;
    ZipFile& operator=(const ZipFile&) = delete;
    ~ZipFile();

    // The part's size as the package gives it, for the room to read it into; a large size is not
    // trusted that far.
    size_t sizeHint() const { return m_sizeHint; }

    // Reads up to `size` bytes into `out`; 0 at the end of the part.
    size_t read(char* out, size_t size);

private:
    static constexpr size_t PackedChunk = size_t(64) << 10;
    static constexpr zip_uint64_t MaxHint = zip_uint64_t(64) << 20;
    static constexpr size_t Slice = size_t(64) << 10;

    [[noreturn]] void damaged() const;

    // Up to `size` bytes inflated into `out`; -1 when the packed bytes are damaged, end early or
    // unpack to other bytes than the part's size and CRC say.
    qint64 inflated(unsigned char* out, size_t size);

    zip_file_t* m_file = nullptr;
    QString m_path;
    std::string m_name;
    qint64 m_bound = 0;
    qint64 m_inflated = 0;
    size_t m_sizeHint = 0;
    bool m_inflating = false; // inflated here from the packed bytes
    z_stream m_stream{};
    std::unique_ptr<unsigned char[]> m_packed;
    zip_uint64_t m_size = 0; // the part's unpacked size and CRC, as the package gives them
    zip_uint32_t m_crc = 0;
    zip_uint64_t m_sizeSoFar = 0;
    uLong m_crcSoFar = 0;
    bool m_ended = false;
};

// Appends a character as UTF-8.
void AppendUtf8(char32_t code, std::string& out);

// A part of XML text read as UTF-8 whatever its writer chose: a UTF-16 part (Excel Mobile writes
// every part so, with a byte-order mark; the XML declaration alone may tell it) or one whose
// declaration names ISO-8859-1 (or latin1) is converted as it is read, its declaration then naming
// UTF-8, and a UTF-8 byte-order mark is dropped, so that the row scanner and the XML parser read the
// same bytes.
class XmlPart {
public:
    explicit XmlPart(std::unique_ptr<ZipFile> file) : m_file(std::move(file)) {}

    size_t sizeHint() const { return m_file->sizeHint(); }

    // Reads up to `size` bytes of UTF-8 into `out`; 0 at the end of the part.
    size_t read(char* out, size_t size);

private:
    enum class Encoding { Unknown, Utf8, Utf16LE, Utf16BE, Latin1 };

    void start();
    // Converts the bytes read so far into m_text, keeping a UTF-16 unit or pair not yet whole.
    void convert(bool atEnd);

    std::unique_ptr<ZipFile> m_file;
    Encoding m_encoding = Encoding::Unknown;
    std::string m_raw;  // bytes read and not yet handed out (UTF-8) or converted (the others)
    std::string m_text; // converted bytes not yet handed out
    size_t m_textAt = 0;
    bool m_ended = false;
};

class ZipArchive {
public:
    // Opens the package; raises when the file is missing, unreadable or no zip.
    ZipArchive(const QString& path, const XlsxLimits& limits);
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;
    ~ZipArchive() { zip_discard(m_zip); }

    const QString& path() const { return m_path; }
    bool has(const std::string& name) const { return locate(name) >= 0; }
    // A part of XML text, as XmlPart reads it.
    std::unique_ptr<XmlPart> open(const std::string& name) const {
        return std::make_unique<XmlPart>(
            std::make_unique<ZipFile>(m_zip, locate(name), m_path, name, m_limits));
    }
    // A whole part of XML text, as XmlPart reads it.
    std::string readAll(const std::string& name) const;

private:
    // The entry of a part's name: as written, in any case, or with backslashes for its slashes, as
    // writers on Windows have zipped a package.
    zip_int64_t locate(const std::string& name) const;

    zip_t* m_zip = nullptr;
    // Each entry by its name in lower case with slashes for backslashes; -1 where two entries fold alike
    // (then neither is found so).
    std::unordered_map<std::string, zip_int64_t> m_folded;
    QString m_path;
    const XlsxLimits& m_limits;
};

} // namespace quibo::xlsx
