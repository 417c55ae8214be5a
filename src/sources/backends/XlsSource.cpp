#include "sources/backends/XlsSource.h"

#include "sources/backends/BiffBook.h"
#include "sources/backends/DateText.h"
#include "sources/backends/ProviderError.h"
#include "sources/backends/SheetBuilder.h"
#include "sources/backends/SourceFile.h"

#include <QFile>
#include <QFileInfo>

#include <freexl.h>

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

// The workbook read by the own reader; false when it is for FreeXL. The book keeps its own share of
// the file's bytes.
bool OpenBiff(BiffBook& book, QFile& file, bool withCells) {
    const QString path = file.fileName();
    sourcefile::RequireReadableFile(path);
    if (!file.open(QIODevice::ReadOnly)) sourcefile::RaiseNotOfKind(path, XlsKind);
    // Copied, not mapped: a mapped file that another program cuts short while it is read would end
    // the process.
    const QByteArray bytes = file.readAll();
    switch (book.open(bytes, withCells)) {
    case BiffBook::Status::Ok:
        return true;
    case BiffBook::Status::Other:
        return false;
    case BiffBook::Status::Malformed:
        break;
    }
    sourcefile::RaiseNotOfKind(path, XlsKind);
}

void OpenWorkbook(Workbook& book, const QString& path, bool withCells) {
    sourcefile::RequireReadableFile(path);
    const QByteArray name = QFile::encodeName(path);
    const int rc = withCells ? freexl_open(name.constData(), book.out())
                             : freexl_open_info(name.constData(), book.out());
    if (rc != FREEXL_OK) sourcefile::RaiseNotOfKind(path, XlsKind);
    unsigned int password = 0;
    if (freexl_get_info(book.handle(), FREEXL_BIFF_PASSWORD, &password) == FREEXL_OK &&
        password == FREEXL_BIFF_OBFUSCATED)
        sourcefile::RaiseBroken(path, QStringLiteral("is protected by a password; it cannot be read."));
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

SourceTable ReadWithFreeXL(const QString& path, qsizetype index, const QString& table) {
    Workbook book;
    OpenWorkbook(book, path, true);
    if (freexl_select_active_worksheet(book.handle(), static_cast<unsigned short>(index)) != FREEXL_OK)
        RaiseTableNotFound(provider::Jet, table);
    unsigned int rows = 0;
    unsigned short columns = 0;
    freexl_worksheet_dimensions(book.handle(), &rows, &columns);

    SheetBuilder sheet;
    for (unsigned int r = 0; r < rows; ++r) {
        for (unsigned short c = 0; c < columns; ++c) {
            FreeXL_CellValue value;
            if (freexl_get_cell_value(book.handle(), r, c, &value) != FREEXL_OK) continue;
            sheet.set(static_cast<int>(r), c, CellOf(value));
        }
    }
    return sheet.finish();
}

SourceTable ReadBiff(const QString& path, qsizetype index, const QString& table) {
    QFile file(path);
    BiffBook book;
    // The file may have been replaced since its sheets were listed.
    if (!OpenBiff(book, file, true)) return ReadWithFreeXL(path, index, table);
    if (static_cast<size_t>(index) >= static_cast<size_t>(book.sheetNames().size()))
        RaiseTableNotFound(provider::Jet, table);
    std::optional<SourceTable> sheet = book.readTable(static_cast<int>(index));
    if (!sheet) sourcefile::RaiseNotOfKind(path, XlsKind);
    return std::move(*sheet);
}

} // namespace

XlsSource::XlsSource(QString path, Reader reader) : m_path(std::move(path)) {
    if (reader == Reader::Automatic) {
        QFile file(m_path);
        BiffBook biff;
        if (OpenBiff(biff, file, false)) {
            for (const QString& name : biff.sheetNames())
                m_sheets.append(name + QLatin1Char('$'));
            return;
        }
    }
    m_freexl = true;
    Workbook book;
    OpenWorkbook(book, m_path, false);
    unsigned int count = 0;
    freexl_get_info(book.handle(), FREEXL_BIFF_SHEET_COUNT, &count);
    for (unsigned int i = 0; i < count; ++i) {
        const char* name = nullptr;
        if (freexl_get_worksheet_name(book.handle(), static_cast<unsigned short>(i), &name) == FREEXL_OK &&
            name)
            m_sheets.append(QString::fromUtf8(name) + QLatin1Char('$'));
    }
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
