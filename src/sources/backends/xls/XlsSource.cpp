#include "sources/backends/xls/XlsSource.h"

#include "sources/backends/ProviderError.h"
#include "sources/backends/SourceFile.h"
#include "sources/backends/xls/BiffBook.h"

#include <QFile>
#include <QFileInfo>

#include <optional>

namespace quibo {

namespace {

const QString XlsKind = QStringLiteral("an Excel workbook (.xls)");

// The workbook read by the own reader, which reads every version; each refusal says what is wrong.
// The book keeps its own share of the file's bytes.
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
        sourcefile::RaiseBroken(path, QStringLiteral("is protected by a password; it cannot be read."));
    case BiffBook::Status::Excel4Workbook:
        sourcefile::RaiseBroken(path, QStringLiteral("is an Excel 4 workbook, which the program does not "
                                                     "read; save its sheets as a later Excel workbook."));
    case BiffBook::Status::Damaged:
        sourcefile::RaiseBroken(path, QStringLiteral("is damaged: its sheets could not be read."));
    case BiffBook::Status::Cut:
        sourcefile::RaiseBroken(path,
                                QStringLiteral("is damaged: it is cut short at %1 bytes.").arg(bytes.size()));
    case BiffBook::Status::BrokenDirectory:
        sourcefile::RaiseBroken(path, QStringLiteral("is damaged: its directory could not be read."));
    case BiffBook::Status::BrokenSectors:
        sourcefile::RaiseBroken(path,
                                QStringLiteral("is damaged: the sectors of its streams could not be read."));
    case BiffBook::Status::Malformed:
        break;
    }
    sourcefile::RaiseNotOfKind(path, XlsKind);
}

} // namespace

XlsSource::XlsSource(QString path) : m_path(std::move(path)) {
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
    QFile file(m_path);
    BiffBook book;
    // The file may have been replaced since its sheets were listed.
    OpenBiff(book, file, true);
    if (static_cast<size_t>(index) >= static_cast<size_t>(book.sheetNames().size()))
        RaiseTableNotFound(provider::Jet, table);
    std::optional<SourceTable> sheet = book.readTable(static_cast<int>(index));
    if (!sheet) {
        const QString name = m_sheets[index].chopped(1); // less the "$"
        sourcefile::RaiseBroken(m_path,
                                QStringLiteral("is damaged: its sheet \"%1\" could not be read.").arg(name));
    }
    if (!orderBy.isEmpty()) sheet->orderBy(orderBy, provider::Jet);
    return std::move(*sheet);
}

QString XlsSource::describe() const {
    return QStringLiteral("Excel workbook '%1'").arg(m_path);
}

} // namespace quibo
