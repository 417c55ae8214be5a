#include "sources/backends/XlsSource.h"

#include "sources/backends/BiffBook.h"
#include "sources/backends/ChildProcess.h"
#include "sources/backends/DateText.h"
#include "sources/backends/ProviderError.h"
#include "sources/backends/SheetBuilder.h"
#include "sources/backends/SourceFile.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <freexl.h>

#include <optional>

namespace quibo {

namespace {

// Closes a FreeXL handle on every way out.
class Workbook {
public:
    Workbook() = default;
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;
    ~Workbook() {
        if (m_handle) freexl_close(m_handle);
    }
    const void* handle() const { return m_handle; }
    const void** out() { return &m_handle; }

private:
    const void* m_handle = nullptr;
};

const QString XlsKind = QStringLiteral("an Excel 97-2003 workbook (.xls)");

[[noreturn]] void RaiseProtected(const QString& path) {
    sourcefile::RaiseBroken(path, QStringLiteral("is protected by a password; it cannot be read."));
}

// The workbook read by the own reader, which reads every version; an encrypted one is refused by its
// FILEPASS record. The book keeps its own share of the file's bytes.
void OpenBiff(BiffBook& book, QFile& file, bool withCells) {
    const QString path = file.fileName();
    sourcefile::RequireReadableFile(path);
    if (!file.open(QIODevice::ReadOnly)) sourcefile::RaiseNotOfKind(path, XlsKind);
    // Copied, not mapped: a mapped file that another program cuts short while it is read would end
    // the process.
    const QByteArray bytes = sourcefile::ReadWhole(file);
    switch (book.open(bytes, withCells)) {
    case BiffBook::Status::Ok:
        return;
    case BiffBook::Status::Protected:
        RaiseProtected(path);
    case BiffBook::Status::Malformed:
        break;
    }
    sourcefile::RaiseNotOfKind(path, XlsKind);
}

// What FreeXL made of a workbook, as the child that asked it tells.
enum class Opened : quint8 { Ok, NotOfKind, Protected, NoSuchSheet };

Opened OpenWorkbook(Workbook& book, const QByteArray& name, bool withCells) {
    const int rc = withCells ? freexl_open(name.constData(), book.out())
                             : freexl_open_info(name.constData(), book.out());
    if (rc != FREEXL_OK) return Opened::NotOfKind;
    unsigned int password = 0;
    if (freexl_get_info(book.handle(), FREEXL_BIFF_PASSWORD, &password) == FREEXL_OK &&
        password == FREEXL_BIFF_OBFUSCATED)
        return Opened::Protected;
    return Opened::Ok;
}

// The small binary form a FreeXL child answers in: little-endian numbers; a text as its byte
// length and bytes, or NoText where FreeXL gave none.
constexpr quint32 NoText = ~quint32(0);

class Answer {
public:
    template <class T> void put(T v) {
        char raw[sizeof(T)];
        qToLittleEndian(v, raw);
        m_bytes.append(raw, sizeof(T));
    }
    void putText(const char* text) {
        if (!text) return put(NoText);
        const auto size = static_cast<quint32>(qstrlen(text));
        put(size);
        m_bytes.append(text, size);
    }
    QByteArray bytes() const { return m_bytes; }

private:
    QByteArray m_bytes;
};

// Reads an `Answer`. A read past its end, or a fail(), leaves ok() false for good.
class AnswerReader {
public:
    explicit AnswerReader(const QByteArray& bytes) : m_bytes(bytes) {}

    bool ok() const { return m_ok; }
    bool atEnd() const { return m_at == m_bytes.size(); }
    void fail() { m_ok = false; }

    template <class T> T get() {
        if (!take(sizeof(T))) return T{};
        return qFromLittleEndian<T>(m_bytes.constData() + m_at - qsizetype(sizeof(T)));
    }
    // None for NoText. The copy ends in a zero byte, as FreeXL's texts do.
    std::optional<QByteArray> text() {
        const auto size = get<quint32>();
        if (size == NoText || !take(size)) return std::nullopt;
        return m_bytes.mid(m_at - qsizetype(size), size);
    }

private:
    bool take(qsizetype size) {
        if (!m_ok || size > m_bytes.size() - m_at) return m_ok = false;
        m_at += size;
        return true;
    }

    const QByteArray& m_bytes;
    qsizetype m_at = 0;
    bool m_ok = true;
};

// The first thing of every answer; false when it is Ok or not sound. A refusal is all the child sends.
bool ReadRefusal(AnswerReader& answer, Opened& opened, bool reading) {
    opened = static_cast<Opened>(answer.get<quint8>());
    if (!answer.ok() || opened == Opened::Ok) return false;
    const bool known = opened == Opened::NotOfKind || opened == Opened::Protected ||
                       (reading && opened == Opened::NoSuchSheet);
    if (!known || !answer.atEnd()) answer.fail();
    return answer.ok();
}

[[noreturn]] void RaiseRefused(const QString& path, Opened opened, const QString& table) {
    if (opened == Opened::Protected) RaiseProtected(path);
    if (opened == Opened::NoSuchSheet) RaiseTableNotFound(provider::Jet, table);
    sourcefile::RaiseNotOfKind(path, XlsKind);
}

SourceCell CellOf(const FreeXL_CellValue& v) {
    switch (v.type) {
    case FREEXL_CELL_INT:
        return static_cast<double>(v.value.int_value);
    case FREEXL_CELL_DOUBLE:
        return v.value.double_value;
    case FREEXL_CELL_TEXT:
    case FREEXL_CELL_SST_TEXT:
        return QString::fromUtf8(v.value.text_value);
    case FREEXL_CELL_DATE:
    case FREEXL_CELL_DATETIME:
    case FREEXL_CELL_TIME: {
        const QDateTime d = ParseDateText(QString::fromLatin1(v.value.text_value));
        if (d.isValid()) return d;
        return QString::fromLatin1(v.value.text_value);
    }
    default:
        return {};
    }
}

// FreeXL crashes or corrupts its heap on some damaged workbooks, and no check of ours keeps every
// such file from it: it is only asked in a child process (RunInChild), whose fault refuses the file.
QByteArray ListInChild(const QByteArray& name) {
    Answer answer;
    Workbook book;
    const Opened opened = OpenWorkbook(book, name, false);
    answer.put(static_cast<quint8>(opened));
    if (opened != Opened::Ok) return answer.bytes();
    unsigned int count = 0;
    freexl_get_info(book.handle(), FREEXL_BIFF_SHEET_COUNT, &count);
    for (unsigned int i = 0; i < count; ++i) {
        const char* sheet = nullptr;
        if (freexl_get_worksheet_name(book.handle(), static_cast<unsigned short>(i), &sheet) == FREEXL_OK &&
            sheet)
            answer.putText(sheet);
    }
    return answer.bytes();
}

// The sheet names with "$", in the workbook's order.
QStringList ListWithFreeXL(const QString& path) {
    sourcefile::RequireReadableFile(path);
    const QByteArray name = QFile::encodeName(path);
    if (const std::optional<QByteArray> bytes = RunInChild([&] { return ListInChild(name); })) {
        AnswerReader answer(*bytes);
        Opened opened;
        if (ReadRefusal(answer, opened, false)) RaiseRefused(path, opened, QString());
        QStringList sheets;
        while (answer.ok() && !answer.atEnd()) {
            const std::optional<QByteArray> sheet = answer.text();
            if (sheet)
                sheets.append(QString::fromUtf8(*sheet) + QLatin1Char('$'));
            else
                answer.fail();
        }
        if (answer.ok()) return sheets;
    }
    sourcefile::RaiseBroken(path, QStringLiteral("is damaged: its sheets could not be read."));
}

// Each cell that holds a value: its FreeXL type, row, column and value.
QByteArray ReadInChild(const QByteArray& name, unsigned short index) {
    Answer answer;
    Workbook book;
    Opened opened = OpenWorkbook(book, name, true);
    if (opened == Opened::Ok && freexl_select_active_worksheet(book.handle(), index) != FREEXL_OK)
        opened = Opened::NoSuchSheet;
    answer.put(static_cast<quint8>(opened));
    if (opened != Opened::Ok) return answer.bytes();
    unsigned int rows = 0;
    unsigned short columns = 0;
    freexl_worksheet_dimensions(book.handle(), &rows, &columns);
    for (unsigned int r = 0; r < rows; ++r) {
        for (unsigned short c = 0; c < columns; ++c) {
            FreeXL_CellValue value;
            if (freexl_get_cell_value(book.handle(), r, c, &value) != FREEXL_OK) continue;
            switch (value.type) {
            case FREEXL_CELL_INT:
            case FREEXL_CELL_DOUBLE:
            case FREEXL_CELL_TEXT:
            case FREEXL_CELL_SST_TEXT:
            case FREEXL_CELL_DATE:
            case FREEXL_CELL_DATETIME:
            case FREEXL_CELL_TIME:
                break;
            default:
                continue; // Null: the same as no cell
            }
            answer.put(static_cast<quint8>(value.type));
            answer.put(static_cast<quint32>(r));
            answer.put(static_cast<quint16>(c));
            if (value.type == FREEXL_CELL_INT)
                answer.put(static_cast<qint32>(value.value.int_value));
            else if (value.type == FREEXL_CELL_DOUBLE)
                answer.put(value.value.double_value);
            else
                answer.putText(value.value.text_value);
        }
    }
    return answer.bytes();
}

SourceTable ReadWithFreeXL(const QString& path, qsizetype index, const QString& table) {
    sourcefile::RequireReadableFile(path);
    const QByteArray name = QFile::encodeName(path);
    const auto sheetIndex = static_cast<unsigned short>(index);
    if (const std::optional<QByteArray> bytes = RunInChild([&] { return ReadInChild(name, sheetIndex); })) {
        AnswerReader answer(*bytes);
        Opened opened;
        if (ReadRefusal(answer, opened, true)) RaiseRefused(path, opened, table);
        SheetBuilder sheet;
        while (answer.ok() && !answer.atEnd()) {
            FreeXL_CellValue value;
            value.type = answer.get<quint8>();
            const auto row = answer.get<quint32>();
            const auto column = answer.get<quint16>();
            std::optional<QByteArray> text;
            switch (value.type) {
            case FREEXL_CELL_INT:
                value.value.int_value = answer.get<qint32>();
                break;
            case FREEXL_CELL_DOUBLE:
                value.value.double_value = answer.get<double>();
                break;
            case FREEXL_CELL_TEXT:
            case FREEXL_CELL_SST_TEXT:
            case FREEXL_CELL_DATE:
            case FREEXL_CELL_DATETIME:
            case FREEXL_CELL_TIME:
                text = answer.text();
                value.value.text_value = text ? text->constData() : nullptr;
                break;
            default:
                answer.fail();
            }
            if (answer.ok()) sheet.set(static_cast<int>(row), column, CellOf(value));
        }
        if (answer.ok()) return sheet.finish();
    }
    sourcefile::RaiseBroken(path,
                            QStringLiteral("is damaged: its sheet \"%1\" could not be read.").arg(table));
}

SourceTable ReadBiff(const QString& path, qsizetype index, const QString& table) {
    QFile file(path);
    BiffBook book;
    // The file may have been replaced since its sheets were listed.
    OpenBiff(book, file, true);
    if (static_cast<size_t>(index) >= static_cast<size_t>(book.sheetNames().size()))
        RaiseTableNotFound(provider::Jet, table);
    std::optional<SourceTable> sheet = book.readTable(static_cast<int>(index));
    if (!sheet) sourcefile::RaiseNotOfKind(path, XlsKind);
    return std::move(*sheet);
}

} // namespace

XlsSource::XlsSource(QString path, Reader reader) : m_path(std::move(path)) {
    if (reader == Reader::FreeXL) {
        m_freexl = true;
        m_sheets = ListWithFreeXL(m_path);
        return;
    }
    QFile file(m_path);
    BiffBook biff;
    OpenBiff(biff, file, false);
    // The one sheet of an Excel 2 to 4 worksheet file goes by the file's name, as Excel shows it.
    for (const QString& name : biff.sheetNames())
        m_sheets.append((name.isEmpty() ? QFileInfo(m_path).completeBaseName() : name) + QLatin1Char('$'));
}

QStringList XlsSource::tables() {
    return SortedByName(m_sheets);
}

SourceTable XlsSource::read(const QString& table, const QString& orderBy) {
    const qsizetype index = FindTable(m_sheets, table);
    if (index < 0) RaiseTableNotFound(provider::Jet, table);
    SourceTable result = m_freexl ? ReadWithFreeXL(m_path, index, table) : ReadBiff(m_path, index, table);
    if (!orderBy.isEmpty()) result.orderBy(orderBy, provider::Jet);
    return result;
}

QString XlsSource::describe() const {
    return QStringLiteral("Excel workbook '%1'").arg(m_path);
}

} // namespace quibo
