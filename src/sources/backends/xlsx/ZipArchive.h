// The zip reader under the .xlsx source: a package's parts over libzip, deflated ones inflated by zlib.
#pragma once

#include "sources/backends/xlsx/XlsxLimits.h"

#include <QString>

#include <zip.h>
#include <zlib.h>

#include <memory>
#include <string>

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
    ZipFile(zip_t* zip, const QString& path, const std::string& name, const XlsxLimits& limits);
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

class ZipArchive {
public:
    // Opens the package; raises when the file is missing, unreadable or no zip.
    ZipArchive(const QString& path, const XlsxLimits& limits);
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;
    ~ZipArchive() { zip_discard(m_zip); }

    const QString& path() const { return m_path; }
    bool has(const std::string& name) const {
        return zip_name_locate(m_zip, name.c_str(), ZIP_FL_NOCASE) >= 0;
    }
    std::unique_ptr<ZipFile> open(const std::string& name) const {
        return std::make_unique<ZipFile>(m_zip, m_path, name, m_limits);
    }
    // A whole part, unpacked.
    std::string readAll(const std::string& name) const;

private:
    zip_t* m_zip = nullptr;
    QString m_path;
    const XlsxLimits& m_limits;
};

} // namespace quibo::xlsx
