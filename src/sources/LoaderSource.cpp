#include "sources/LoaderSource.h"

#include "base/ColumnLookup.h"
#include "base/FormModel.h"
#include "base/SourceGrid.h"
#include "base/WorkGrid.h"
#include "sources/backends/ConnectionString.h"
#include "sources/backends/SourceTable.h"
#include "vb/Date.h"
#include "vb/Format.h"
#include "vb/Number.h"
#include "vb/Text.h"

#include <QFileInfo>

#include <algorithm>
#include <charconv>

namespace quibo {

LoaderSource LoaderSource::Excel(const QString& path) {
    LoaderSource source;
    source.kind = LoaderKind::Excel;
    const QString extension = vb::UCase(path.right(4));
    if (extension == QLatin1String(".CSV") || extension == QLatin1String(".TXT")) {
        // The directory lookup's name: "" for a file that is not there, which no table matches.
        const QFileInfo info(path);
        source.isTextFile = true;
        source.textFile = info.isFile() ? info.fileName() : QString();
        source.connection = TextConnectionString(TextFileFolder(path));
    } else if (vb::UCase(path.right(5)) == QLatin1String(".XLSX")) {
        // The Jet provider reads no .xlsx; the driver that listed its sheets reads them too.
        source.connection = XlsxConnectionString(path);
    } else {
        source.connection = ExcelConnectionString(path);
    }
    return source;
}

LoaderSource LoaderSource::Access(const QString& path, const QString& /*user*/, const QString& password) {
    // No Access connection carries the user: the Open call gets "" for both.
    LoaderSource source;
    source.kind = LoaderKind::Access;
    source.connection = AccessConnectionString(path, password);
    return source;
}

LoaderSource LoaderSource::Odbc(const QString& dataSourceName, const QString& user, const QString& password) {
    LoaderSource source;
    source.kind = LoaderKind::Odbc;
    source.connection = OdbcConnectionString(dataSourceName);
    source.user = user;
    source.password = password;
    return source;
}

std::unique_ptr<Source> LoaderSource::open(const ConnectionOpener& opener) const {
    return opener(connection, user, password);
}

QString LoaderSource::sheetSuffix() const {
    return kind == LoaderKind::Excel ? QStringLiteral("$") : QString();
}

int CellAlignment(int code) {
    if (code >= 1 && code <= 3) return 0;
    if (code >= 4 && code <= 6) return 1;
    if (code >= 7 && code <= 9) return 2;
    return -1;
}

std::vector<int> CopyAlignments(const SourceGrid& grid, int fieldCount, int records) {
    std::vector<int> alignment(static_cast<size_t>(fieldCount), -1);
    if (records >= 1)
        for (int c = 0; c < fieldCount; ++c)
            alignment[static_cast<size_t>(c)] = CellAlignment(grid.ColAlignment(c));
    return alignment;
}

void BindSourceGrid(SourceGrid& grid, const SourceTable& table) {
    const int records = table.recordCount();
    if (records < 1) {
        // Nothing to bind: the grid keeps its columns and shows two blank rows. No cell then names a
        // text of the previous table, so the grid starts a pool of its own and that table's texts go.
        QList<int> alignments;
        for (int c = 0; c < grid.Cols(); ++c)
            alignments.append(grid.ColAlignment(c));
        grid.Bind(QStringList(grid.Cols(), QString()), alignments);
        grid.SetRows(2);
        return;
    }
    // The grid takes the table's texts as they are; only numbers and dates get theirs written.
    grid.Bind(table.columnNames(), table.alignments(), table.texts());
    grid.Reserve(records);
    std::vector<core::TextPool::Id> ids;
    for (int r = 0; r < records; ++r) {
        table.rowTextIds(r, ids);
        grid.AppendRecord(ids);
    }
}

int BuildWorkColumns(WorkGrid& gr1, const QStringList& fields, bool addId) {
    // The grid's own columns count against what it holds: a table that fills it leaves them no room.
    QStringList own;
    if (addId) own.append(QStringLiteral("ID"));
    own.append(QStringLiteral("Process Status"));
    WorkGrid::RequireColumns(int(fields.size()), own);
    gr1.Clear(true);
    gr1.SetRedraw(false);
    for (const QString& field : fields)
        gr1.AddColumn(vb::UCase(field), field);
    int idColumn = 0;
    if (addId) {
        gr1.AddColumn(QStringLiteral("ID"), QStringLiteral("ID"));
        idColumn = gr1.ColumnCount();
    }
    gr1.AddColumn(QStringLiteral("PROCESSSTATUS"), QStringLiteral("Process Status"));
    return idColumn;
}

VoucherIdColumns VoucherIdColumns::Find(ErrorReporter& errors, const SourceGrid& grid) {
    VoucherIdColumns columns;
    columns.vchType = GetColumnIndex(errors, grid, QStringLiteral("VchType"));
    for (const char* part : {"VchNo", "VchDate", "RefNo"})
        if (const int c = GetColumnIndex(errors, grid, QString::fromLatin1(part)); c >= 0)
            columns.parts.push_back(c);
    return columns;
}

core::TextPool::Id VoucherIdColumns::idOf(const SourceGrid& grid, int row) {
    // Asked once per loaded row: the rows of one voucher share their id, and a new one is built in a
    // buffer kept from row to row.
    const size_t count = 1 + parts.size();
    bool same = m_lastCells.size() == count;
    m_lastCells.resize(count);
    auto take = [&](size_t i, int column) {
        const core::TextPool::Id id = grid.TextId(row, column);
        same = same && m_lastCells[i] == id;
        m_lastCells[i] = id;
    };
    take(0, vchType);
    for (size_t i = 0; i < parts.size(); ++i)
        take(i + 1, parts[i]);
    if (same) return m_lastId;
    core::TextPool& texts = *grid.Texts();
    auto add = [&](core::TextPool::Id id) {
        const QString& text = texts.text(id);
        m_text.append(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<size_t>(text.size()));
    };
    m_text.clear();
    add(m_lastCells[0]);
    for (size_t i = 1; i < count; ++i) {
        m_text += u'-';
        add(m_lastCells[i]);
    }
    m_lastId = texts.intern(QStringView(m_text.data(), static_cast<qsizetype>(m_text.size())));
    return m_lastId;
}

std::optional<DigitsPattern> DigitsPattern::Of(QStringView pattern) {
    DigitsPattern digits;
    int integer = 0;
    int firstIntegerZero = -1;
    bool point = false;
    for (const QChar ch : pattern) {
        if (ch == u'.' && !point) {
            point = true;
        } else if (ch == u'0' || ch == u'#') {
            if (point) {
                ++digits.fraction;
                if (ch == u'0') digits.fractionMinimum = digits.fraction;
            } else {
                if (ch == u'0' && firstIntegerZero < 0) firstIntegerZero = integer;
                ++integer;
            }
        } else {
            return std::nullopt;
        }
    }
    if (integer + digits.fraction == 0) return std::nullopt;
    if (firstIntegerZero >= 0) digits.integerMinimum = integer - firstIntegerZero;
    // Past these the text would not fit the room; such patterns are for vb::Format.
    if (digits.integerMinimum > 32 || digits.fraction > 32) return std::nullopt;
    return digits;
}

int DigitsPattern::format(QStringView text, char16_t* out) const {
    // At most 15 digits, so that the double vb::Format would read has this very text as its shortest
    // one, and rounding it is rounding the text (half away from zero).
    constexpr qsizetype MostDigits = 15;
    const char16_t* p = text.utf16();
    const char16_t* const end = p + text.size();
    const bool negative = p != end && *p == u'-';
    if (negative) ++p;
    const char16_t* integer = p;
    while (p != end && *p >= u'0' && *p <= u'9')
        ++p;
    const char16_t* integerEnd = p;
    const char16_t* fraction = p;
    if (p != end && *p == u'.') {
        fraction = ++p;
        while (p != end && *p >= u'0' && *p <= u'9')
            ++p;
    }
    const char16_t* fractionEnd = p;
    if (p != end || (integerEnd == integer && fractionEnd == fraction)) return -1;
    while (integer != integerEnd && *integer == u'0')
        ++integer;
    if ((integerEnd - integer) + (fractionEnd - fraction) > MostDigits) return -1;

    // The digits kept, a place in front for a carry: integer digits, then `fraction` places at most.
    char16_t digits[1 + MostDigits];
    char16_t* const first = digits + 1;
    qsizetype integerDigits = integerEnd - integer;
    const qsizetype fractionDigits = std::min<qsizetype>(fractionEnd - fraction, this->fraction);
    std::copy(integer, integerEnd, first);
    std::copy(fraction, fraction + fractionDigits, first + integerDigits);
    char16_t* start = first;
    const qsizetype kept = integerDigits + fractionDigits;
    if (fractionEnd - fraction > this->fraction && fraction[this->fraction] >= u'5') {
        qsizetype k = kept - 1;
        while (k >= 0 && first[k] == u'9')
            first[k--] = u'0';
        if (k >= 0) {
            ++first[k];
        } else {
            *--start = u'1';
            ++integerDigits;
        }
    }
    const char16_t* const roundedEnd = first + kept;
    const bool zero =
        std::all_of(static_cast<const char16_t*>(start), roundedEnd, [](char16_t d) { return d == u'0'; });

    char16_t* o = out;
    // A negative number that rounds to zero is shown without its sign.
    if (negative && !zero) *o++ = u'-';
    // A number below 1 has no integer digits of its own.
    const bool belowOne = integerDigits == 0;
    for (qsizetype k = belowOne ? 0 : integerDigits; k < integerMinimum; ++k)
        *o++ = u'0';
    if (!belowOne) o = std::copy(start, start + integerDigits, o);
    if (this->fraction > 0) {
        const char16_t* const places = start + integerDigits;
        const qsizetype placesHeld = roundedEnd - places;
        int shown = fractionMinimum;
        for (int j = this->fraction - 1; j >= shown; --j) {
            if (j < placesHeld && places[j] != u'0') {
                shown = j + 1;
                break;
            }
        }
        *o++ = u'.';
        for (int j = 0; j < shown; ++j)
            *o++ = j < placesHeld ? places[j] : u'0';
    }
    return static_cast<int>(o - out);
}

FormatOnce::FormatOnce(core::TextPool& texts, const QString& pattern, bool datesOnly)
    : m_texts(texts), m_pattern(pattern), m_datesOnly(datesOnly) {
    if (!datesOnly) m_digits = DigitsPattern::Of(pattern);
}

core::TextPool::Id FormatOnce::format(core::TextPool::Id id) {
    if (id >= m_done.size()) m_done.resize(m_texts.size(), NotYet);
    const QString& text = m_texts.text(id);
    core::TextPool::Id formatted = id;
    char16_t laid[DigitsPattern::Room];
    if (const int length = m_digits ? m_digits->format(text, laid) : -1; length >= 0) {
        formatted = m_texts.intern(QStringView(laid, length));
    } else if (m_datesOnly) {
        if (vb::IsDate(text)) formatted = m_texts.intern(vb::Format(text, m_pattern));
    } else if (const std::optional<double> number = vb::ToNumber(text)) {
        // Only a number is an amount: a date or any other text stays for the server to refuse. It is
        // written from 15 significant digits, as a workbook's number cell is.
        formatted = m_texts.intern(vb::Format(vb::NumberText(*number), m_pattern));
    }
    m_done[id] = formatted;
    return formatted;
}

void ShowReadingProgress(FormModel& form, int row, int count) {
    static const QString panel = QStringLiteral("msg");
    // ".........Reading Records => r/n", as stat shows it, in one allocation: it is written once per row.
    static const QString prefix = QStringLiteral(".........Reading Records => ");
    char digits[2 * 12 + 1];
    char* end = std::to_chars(digits, digits + 12, row).ptr;
    *end++ = '/';
    end = std::to_chars(end, end + 12, count).ptr;
    const qsizetype length = end - digits;
    QString text(prefix.size() + length, Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    out = std::copy(prefix.utf16(), prefix.utf16() + prefix.size(), out);
    std::copy(digits, end, out);
    form.statShown(text, panel);
    form.DoEvents();
}

void FinishLoad(FormModel& form, LoaderKind kind, const QStringList& fields) {
    form.stat(QString(), QStringLiteral("msg"));
    for (const QString& field : fields)
        form.GR1.FitColumn(vb::UCase(field));
    // The Excel loader has always left one more blank row than the others; the posters accept both.
    if (kind == LoaderKind::Excel) form.GR1.AddRow();
    form.GR1.SetRedraw(true);
    form.lstLedgerTree.SetRedraw(true);
}

} // namespace quibo
