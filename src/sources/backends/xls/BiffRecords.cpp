#include "sources/backends/xls/BiffRecords.h"

namespace quibo {
namespace biff {

int BiffOf(quint16 type, quint16 version) {
    switch (type) {
    case 0x0009:
        return 2;
    case 0x0209:
        return 3;
    case 0x0409:
        return 4;
    case rec::Bof:
        // The version number's high byte, as the format's readers take it. A stream without a number
        // (0) is BIFF2 to one reader and BIFF5 to another: it is refused, as is any other number.
        switch (version >> 8) {
        case 0x02:
            return 2;
        case 0x03:
            return 3;
        case 0x04:
            return 4;
        case 0x05:
            return 5;
        case 0x06:
            return 8;
        default:
            return 0;
        }
    default:
        return 0;
    }
}

quint16 Biff8Id(quint16 id, int biff) {
    if (biff >= 5) {
        switch (id) {
        case 0x0206: // a FORMULA under its Excel 3 or 4 id, as some writers of later versions put it
        case 0x0406:
            return rec::Formula;
        case rec::Integer: // BIFF2's alone
            return rec::None;
        default:
            return id;
        }
    }
    switch (id) {
    case rec::Eof:
    case rec::Continue:
    case rec::FilePass:
    case rec::CodePage:
    case rec::DateMode:
        return id;
    case 0x0009:
    case 0x0209:
    case 0x0409:
    case rec::Bof: // a version before BIFF5 under the later BOF id
        return rec::Bof;
    default:
        break;
    }
    if (biff == 2) {
        switch (id) {
        case 0x0000:
            return rec::Dimensions;
        case 0x0002:
            return rec::Integer;
        case 0x0003:
            return rec::Number;
        case 0x0004:
            return rec::Label;
        case 0x0005:
            return rec::BoolErr;
        case 0x0006:
            return rec::Formula;
        case 0x0007:
            return rec::String;
        case 0x001E:
            return rec::Format;
        case 0x0043:
            return rec::Xf;
        default:
            break;
        }
    }
    switch (id) {
    // The cell records of later versions, which writers put in Excel 2 to 4 files too (Excel reads
    // them): each in its own layout.
    case rec::Dimensions:
    case rec::Number:
    case rec::Rk:
    case rec::Label:
    case rec::BoolErr:
    case rec::String:
    case rec::MulRk:
    case rec::RString:
    case rec::LabelSst:
        return id;
    case 0x0206:
    case 0x0406:
        return rec::Formula;
    case 0x001E: // BIFF2 and 3's id, which BIFF4 writers use too
        return rec::Format;
    case rec::Format:
        return biff == 4 ? rec::Format : rec::None;
    case 0x0243:
        return biff == 3 ? rec::Xf : rec::None;
    case 0x0443:
        return biff == 4 ? rec::Xf : rec::None;
    default:
        return rec::None;
    }
}

Segments Gather(const Record& first, Records& records) {
    Segments s;
    s.add(first);
    Record r;
    while (records.peekContinue() && records.next(r))
        s.add(r);
    return s;
}

CodePage::CodePage(quint16 number) : m_decode(DecoderOf(number)) {}

bool CodePage::string(Segments& s, bool longLength, QString& out) {
    quint16 count = 0;
    quint8 small = 0;
    if (longLength ? !s.u16(count) : !s.byte(small)) return false;
    if (!s.bytes(longLength ? count : small, m_bytes)) return false;
    // Every code page a workbook names reads the bytes below 0x80 as ASCII.
    if (std::all_of(m_bytes.cbegin(), m_bytes.cend(), [](char c) { return (c & 0x80) == 0; }))
        out = QString::fromLatin1(m_bytes);
    else
        out = m_decode(m_bytes);
    return true;
}

quint16 CodePage::Of(const QByteArray& stream) {
    Records records(stream, 0);
    Record r;
    while (records.next(r) && r.type != rec::Eof)
        if (r.type == rec::CodePage && r.size >= 2) return U16(r.data);
    return 1252;
}

QStringDecoder CodePage::DecoderOf(quint16 number) {
    const auto stateless = QStringConverter::Flag::Stateless;
    if (number == 10000 || number == 32768) return QStringDecoder("macintosh", stateless);
    if (number != 367 && number != 1200 && number != 32769) {
        for (const char* prefix : {"windows-", "cp", "ibm"}) {
            QStringDecoder decoder((prefix + QByteArray::number(number)).constData(), stateless);
            if (decoder.isValid()) return decoder;
        }
    }
    QStringDecoder windows1252("windows-1252", stateless);
    return windows1252.isValid() ? std::move(windows1252)
                                 : QStringDecoder(QStringConverter::Latin1, stateless);
}

} // namespace biff
} // namespace quibo
