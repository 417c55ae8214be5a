#pragma once

// .xls files written record by record, for the reader's tests: each BIFF version's records as its
// writers lay them out, a workbook or worksheet file of them, and the compound file that holds a
// workbook's stream.

#include <QByteArray>
#include <QString>

#include <cstring>
#include <utility>
#include <vector>

namespace quibo::test::biff {

inline QByteArray U16(quint16 v) {
    const char bytes[2] = {char(v & 0xFF), char(v >> 8)};
    return QByteArray(bytes, 2);
}
inline QByteArray U32(quint32 v) {
    return U16(quint16(v & 0xFFFF)) + U16(quint16(v >> 16));
}
inline QByteArray F64(double v) {
    QByteArray bytes(8, '\0');
    std::memcpy(bytes.data(), &v, 8); // the test machines are little-endian, as the format is
    return bytes;
}
inline QByteArray Record(quint16 id, const QByteArray& data) {
    return U16(id) + U16(quint16(data.size())) + data;
}
// A record with its last `bytes` bytes cut off, its size told to match.
inline QByteArray Cut(const QByteArray& record, int bytes) {
    const QByteArray data = record.mid(4, record.size() - 4 - bytes);
    return Record(quint16(quint8(record[0]) | quint8(record[1]) << 8), data);
}

constexpr quint32 NoEntry = 0xFFFFFFFF;

// One directory entry of a compound file and its stream: type 1 a storage, 2 a stream, 5 the root.
struct Entry {
    Entry(QString n, quint8 t, quint32 c = NoEntry, quint32 l = NoEntry, quint32 r = NoEntry,
          QByteArray s = {})
        : name(std::move(n)), type(t), child(c), left(l), right(r), stream(std::move(s)) {}
    QString name;
    quint8 type;
    quint32 child, left, right;
    QByteArray stream;
};

// A compound file of 512-byte sectors: the header, the allocation table, the directory, then each
// stream, padded to the 4096 bytes below which a stream would go to the mini stream.
inline QByteArray Compound(std::vector<Entry> entries) {
    while (entries.size() % 4)
        entries.push_back(Entry(QString(), 0));
    const quint32 dirSectors = quint32(entries.size() / 4);
    quint32 streamSectors = 0;
    for (Entry& e : entries)
        if (e.type == 2) {
            e.stream.append(QByteArray(qMax(0, int(4096 - e.stream.size())), '\0'));
            streamSectors += quint32((e.stream.size() + 511) / 512);
        }
    quint32 fatSectors = 1; // each holds 128 links, its own among them
    while (fatSectors * 128 < fatSectors + dirSectors + streamSectors)
        ++fatSectors;
    Q_ASSERT(fatSectors <= 109);
    std::vector<quint32> fat(fatSectors, 0xFFFFFFFD);
    for (quint32 s = 1; s <= dirSectors; ++s)
        fat.push_back(s == dirSectors ? 0xFFFFFFFE : fatSectors + s);
    QByteArray directory, streams;
    for (Entry& e : entries) {
        quint32 start = 0xFFFFFFFE, size = 0;
        if (e.type == 2) {
            size = quint32(e.stream.size());
            e.stream.append(QByteArray(int((512 - size % 512) % 512), '\0'));
            start = quint32(fat.size());
            const quint32 sectors = quint32(e.stream.size() / 512);
            for (quint32 k = 0; k < sectors; ++k)
                fat.push_back(k + 1 == sectors ? 0xFFFFFFFE : start + k + 1);
            streams.append(e.stream);
        }
        QByteArray name(64, '\0');
        const qsizetype nameBytes = e.name.isEmpty() ? 0 : (e.name.size() + 1) * 2;
        std::memcpy(name.data(), e.name.utf16(), size_t(e.name.size()) * 2);
        directory += name + U16(quint16(nameBytes)) + QByteArray(1, char(e.type)) + QByteArray(1, '\1') +
                     U32(e.left) + U32(e.right) + U32(e.child) + QByteArray(36, '\0') + U32(start) +
                     U32(size) + U32(0);
    }
    fat.resize(size_t(fatSectors) * 128, 0xFFFFFFFF);
    QByteArray header = QByteArray::fromHex("D0CF11E0A1B11AE1") + QByteArray(16, '\0') + U16(0x3E) + U16(3) +
                        U16(0xFFFE) + U16(9) + U16(6) + QByteArray(6, '\0') + U32(0) + U32(fatSectors) +
                        U32(fatSectors) + U32(0) + U32(4096) + U32(0xFFFFFFFE) + U32(0) + U32(0xFFFFFFFE) +
                        U32(0);
    for (quint32 i = 0; i < 109; ++i)
        header += U32(i < fatSectors ? i : 0xFFFFFFFF);
    QByteArray table;
    for (quint32 f : fat)
        table += U32(f);
    return header + table + directory + streams;
}

// A compound file whose workbook stream (below 4096 bytes) lies in the mini stream, the file's last
// sectors, which end with the stream's last byte, not padded out: as PhpSpreadsheet's
// tests/data/Reader/XLS/sample.xls is laid out (checked against it).
inline QByteArray UnpaddedMiniFile(const QByteArray& stream) {
    const quint32 miniSectors = quint32((stream.size() + 63) / 64);
    const quint32 sectors = (miniSectors * 64 + 511) / 512;
    auto entry = [](const QString& name, quint8 type, quint32 child, quint32 start, quint32 size) {
        QByteArray bytes(64, '\0');
        std::memcpy(bytes.data(), name.utf16(), size_t(name.size()) * 2);
        return bytes + U16(quint16((name.size() + 1) * 2)) + QByteArray(1, char(type)) + QByteArray(1, '\1') +
               U32(NoEntry) + U32(NoEntry) + U32(child) + QByteArray(36, '\0') + U32(start) + U32(size) +
               U32(0);
    };
    QByteArray header = QByteArray::fromHex("D0CF11E0A1B11AE1") + QByteArray(16, '\0') + U16(0x3E) + U16(3) +
                        U16(0xFFFE) + U16(9) + U16(6) + QByteArray(6, '\0') + U32(0) + U32(1) + U32(1) +
                        U32(0) + U32(4096) + U32(2) + U32(1) + U32(0xFFFFFFFE) + U32(0) + U32(0);
    for (int i = 1; i < 109; ++i)
        header += U32(0xFFFFFFFF);
    QByteArray fat = U32(0xFFFFFFFD) + U32(0xFFFFFFFE) + U32(0xFFFFFFFE), miniFat;
    for (quint32 k = 0; k < sectors; ++k)
        fat += U32(k + 1 == sectors ? 0xFFFFFFFE : 4 + k);
    for (quint32 k = 0; k < miniSectors; ++k)
        miniFat += U32(k + 1 == miniSectors ? 0xFFFFFFFE : k + 1);
    const QByteArray directory = entry(QStringLiteral("Root Entry"), 5, 1, 3, miniSectors * 64) +
                                 entry(QStringLiteral("Workbook"), 2, NoEntry, 0, quint32(stream.size()));
    return header + fat.leftJustified(512, '\xFF') + directory.leftJustified(512, '\0') +
           miniFat.leftJustified(512, '\xFF') + stream;
}

// The records of one BIFF version: 2, 3, 4 (Excel 2 to 4), 5 (Excel 5 and 95) or 8 (Excel 97-2003).
class Biff {
public:
    explicit Biff(int version) : m_v(version) {}
    int version() const { return m_v; }

    // A BOF of `kind`: 0x0005 a workbook's globals, 0x0010 a worksheet, 0x0100 an Excel 4 workbook.
    QByteArray Bof(quint16 kind) const {
        switch (m_v) {
        case 2:
            return Record(0x0009, U16(0) + U16(kind));
        case 3:
        case 4:
            return Record(m_v == 3 ? 0x0209 : 0x0409, U16(0) + U16(kind) + U16(0));
        case 5:
            return Record(0x0809, U16(0x0500) + U16(kind) + U32(0));
        default:
            return Record(0x0809, U16(0x0600) + U16(kind) + U32(0) + U32(0) + U32(0));
        }
    }
    QByteArray Eof() const { return Record(0x000A, {}); }

    // A cell's row, column and style: an XF index, or BIFF2's attributes naming the format itself.
    QByteArray Head(quint16 row, quint16 column, quint8 style = 0) const {
        if (m_v == 2)
            return U16(row) + U16(column) + QByteArray(1, '\0') + QByteArray(1, char(style)) +
                   QByteArray(1, '\0');
        return U16(row) + U16(column) + U16(style);
    }
    QByteArray Number(quint16 row, quint16 column, double value, quint8 style = 0) const {
        return Record(m_v == 2 ? 0x0003 : 0x0203, Head(row, column, style) + F64(value));
    }
    // An 8-bit text.
    QByteArray Label(quint16 row, quint16 column, const QByteArray& text) const {
        if (m_v == 2) return Record(0x0004, Head(row, column) + QByteArray(1, char(text.size())) + text);
        return Record(0x0204, Head(row, column) + U16(quint16(text.size())) +
                                  (m_v == 8 ? QByteArray(1, '\0') : QByteArray()) + text);
    }
    QByteArray BoolErr(quint16 row, quint16 column, bool value) const {
        return Record(m_v == 2 ? 0x0005 : 0x0205,
                      Head(row, column) + QByteArray(1, char(value)) + QByteArray(1, '\0'));
    }
    // A formula with a number for its stored result and no tokens, as short as its layout allows.
    QByteArray Formula(quint16 row, quint16 column, double result, quint16 id = 0) const {
        const quint16 own = m_v == 3 ? 0x0206 : m_v == 4 ? 0x0406 : 0x0006;
        const int rest = m_v == 2 ? 2 : m_v <= 4 ? 4 : 6;
        return Record(id ? id : own, Head(row, column) + F64(result) + QByteArray(rest, '\0'));
    }
    QByteArray Rk(quint16 row, quint16 column, qint32 value) const {
        return Record(0x027E, Head(row, column) + U32(quint32(value) << 2 | 2));
    }
    QByteArray Integer(quint16 row, quint16 column, quint16 value) const { // BIFF2's
        return Record(0x0002, Head(row, column) + U16(value));
    }
    QByteArray LabelSst(quint16 row, quint16 column, quint32 index) const { // BIFF8's
        return Record(0x00FD, Head(row, column) + U32(index));
    }
    // BIFF8's shared strings, 8-bit texts each.
    static QByteArray Sst(const std::vector<QByteArray>& texts) {
        QByteArray data = U32(quint32(texts.size())) + U32(quint32(texts.size()));
        for (const QByteArray& t : texts)
            data += U16(quint16(t.size())) + QByteArray(1, '\0') + t;
        return Record(0x00FC, data);
    }
    // BIFF3 and 4's XF naming format `format`.
    QByteArray Xf(quint8 format) const {
        return Record(m_v == 3 ? 0x0243 : 0x0443,
                      QByteArray(1, '\0') + QByteArray(1, char(format)) + QByteArray(10, '\0'));
    }
    // A FORMAT before BIFF5: under `id`, BIFF4's own 0x041E with its two unused bytes, or 0x001E.
    static QByteArray Format(quint16 id, const QByteArray& code) {
        return Record(id, (id == 0x041E ? U16(0) : QByteArray()) + QByteArray(1, char(code.size())) + code);
    }

    // A file of the sheets, each given by its name and its records between BOF and EOF: for BIFF5
    // and 8 a workbook (`globals` after its BOF) in a compound file, before them a worksheet file of
    // the first sheet alone, which goes by the file's name.
    QByteArray File(const std::vector<std::pair<QByteArray, QByteArray>>& sheets,
                    const QByteArray& globals = {}) const {
        if (m_v < 5) return Bof(0x0010) + sheets.front().second + Eof();
        return Compound({Entry{QStringLiteral("Root Entry"), 5, 1},
                         Entry{m_v == 8 ? QStringLiteral("Workbook") : QStringLiteral("Book"), 2, NoEntry,
                               NoEntry, NoEntry, Stream(sheets, globals)}});
    }
    // The workbook stream of File.
    QByteArray Stream(const std::vector<std::pair<QByteArray, QByteArray>>& sheets,
                      const QByteArray& globals = {}) const {
        QByteArray head = Bof(0x0005) + globals;
        qsizetype at = head.size() + Eof().size();
        for (const auto& sheet : sheets)
            at += 4 + 7 + sheet.first.size() + (m_v == 8 ? 1 : 0);
        QByteArray bound, body;
        for (const auto& [name, records] : sheets) {
            bound += Record(0x0085, U32(quint32(at + body.size())) + QByteArray(2, '\0') +
                                        QByteArray(1, char(name.size())) +
                                        (m_v == 8 ? QByteArray(1, '\0') : QByteArray()) + name);
            body += Bof(0x0010) + records + Eof();
        }
        return head + bound + Eof() + body;
    }

private:
    int m_v;
};

} // namespace quibo::test::biff
