#include "sources/TableLoader.h"

#include "base/ColumnLookup.h"
#include "base/FormModel.h"
#include "base/Services.h"
#include "base/Trap.h"
#include "core/LargeBlocks.h"
#include "core/TextPool.h"
#include "sources/backends/SourceTable.h"
#include "sources/ImportTypes.h"
#include "sources/LoaderSource.h"
#include "sources/VoucherRegisterLoad.h"
#include "vb/Text.h"

#include <algorithm>
#include <initializer_list>
#include <iterator>
#include <vector>

namespace quibo {

namespace {

const QString MsgPanel = QStringLiteral("msg");
// The application title, the caption of a message box that names none.
const QString ApplicationTitle = QStringLiteral("Quibo");

bool In(const QString& text, std::initializer_list<const char*> list) {
    for (const char* item : list)
        if (text == QLatin1String(item)) return true;
    return false;
}

QString WithoutBlanks(QString text) {
    return text.remove(QLatin1Char(' '));
}

// The one of a list's three per-loader flags that is `kind`'s.
unsigned ForLoader(LoaderKind kind, unsigned excel, unsigned access, unsigned odbc) {
    return kind == LoaderKind::Excel ? excel : kind == LoaderKind::Access ? access : odbc;
}

bool IsTableImportType(LoaderKind kind, const QString& t) {
    using namespace importtype;
    return InImportList(t, ForLoader(kind, ExcelTable, AccessTable, OdbcTable));
}

bool IsRegisterImportType(const QString& t) {
    return InImportList(t, importtype::Register);
}

// Voucher tables are read in serial-number order.
bool IsVoucherImportType(LoaderKind kind, const QString& t) {
    using namespace importtype;
    return InImportList(t, ForLoader(kind, ExcelVoucher, AccessVoucher, OdbcVoucher));
}

// `name` is the table name, blanks removed, upper-cased.
bool IsRepairedTable(const QString& name) {
    return InImportList(name, importtype::Repaired);
}

// Amount columns the repair formats; the Access and ODBC loaders format only the first eight.
constexpr const char* AmountColumns[] = {"Debit",          "Credit",      "AdjAmount",    "Quantity",
                                         "Rate",           "CostAmount",  "BankAmount",   "Amount",
                                         "OpeningBalance", "OpeningRate", "OpeningValue", "BatchQuantity"};
constexpr const char* DateColumns[] = {"VchDate", "EffectiveDate", "AdjDate"};

// Headers whose cells the Access loader formats while it copies them, in every table.
bool IsAccessCopyAmount(const QString& header) {
    return In(vb::UCase(header), {"DEBIT", "CREDIT", "RATE", "ADJAMOUNT", "BANKAMOUNT", "COSTAMOUNT",
                                  "AMOUNT", "QUANTITY", "BATCHQUANTITY"});
}

// Fills blank key cells down from the row above and rewrites dates and
// amounts in the user's patterns, in the source grid (row 0 the field names).
// True when the table has a "VchType" field and no "ID" one: GR1 then gets a built ID.
bool RepairSourceGrid(FormModel& form, LoaderKind kind, int records) {
    SourceGrid& grid = form.lstLedgerTree;
    auto column = [&](const char* name) {
        return GetColumnIndex(form.errors(), grid, QString::fromLatin1(name));
    };
    const int id = column("ID");
    const int vchDate = column("VchDate");
    const int narration = column("Narration");
    const int vchType = column("VchType");
    const int vchNo = column("VchNo");

    // The pool holds each text once and "" only as Empty: cells are compared by their numbers.
    auto fillDown = [&](int c, int r) { grid.SetTextId(r, c, grid.TextId(r - 1, c)); };
    auto blank = [&](int c, int r) { return c >= 0 && grid.TextId(r, c) == core::TextPool::Empty; };
    auto onlySpaces = [&](int c, int r) {
        for (const QChar ch : grid.TextMatrix(r, c))
            if (ch != u' ') return false;
        return true;
    };
    for (int r = 2; r <= records; ++r) {
        if (form.IsEmptyRowEx(r)) continue;
        if (blank(id, r)) fillDown(id, r);
        if (blank(vchDate, r)) fillDown(vchDate, r);
        auto fillNarration = [&] {
            if (id >= 0 && grid.TextId(r, id) == grid.TextId(r - 1, id) && blank(narration, r))
                fillDown(narration, r);
        };
        if (kind == LoaderKind::Excel) {
            if (blank(vchType, r)) fillDown(vchType, r);
            if (vchNo >= 0 && onlySpaces(vchNo, r)) fillDown(vchNo, r);
            fillNarration();
        } else {
            fillNarration();
            if (blank(vchType, r)) fillDown(vchType, r);
            if (blank(vchNo, r)) fillDown(vchNo, r);
        }
    }

    std::vector<int> dates;
    for (const char* name : DateColumns)
        if (const int c = column(name); c >= 0) dates.push_back(c);
    std::vector<int> amounts;
    const size_t amountCount = kind == LoaderKind::Excel ? std::size(AmountColumns) : 8;
    for (size_t i = 0; i < amountCount; ++i)
        if (const int c = column(AmountColumns[i]); c >= 0) amounts.push_back(c);
    // A pool holds each text once, so a cell whose number stays keeps its text.
    auto rewrite = [&](int r, int c, FormatOnce& format) {
        const core::TextPool::Id id = grid.TextId(r, c);
        if (const core::TextPool::Id formatted = format(id); formatted != id) grid.SetTextId(r, c, formatted);
    };
    FormatOnce date(*grid.Texts(), form.DateFormat, true);
    FormatOnce amount(*grid.Texts(), form.DecimalPlaces, false);
    for (int r = 1; r <= records; ++r) {
        for (const int c : dates)
            rewrite(r, c, date);
        for (const int c : amounts)
            rewrite(r, c, amount);
    }
    return id < 0 && vchType >= 0;
}

} // namespace

TableLoader::TableLoader(FormModel& form, ConnectionOpener open) : m_form(form), m_open(std::move(open)) {}

void TableLoader::cmbTableName_Click() {
    Trap(m_form.errors(), "F01-0001", [&] {
        const QString text = m_form.cmbTableName.Text();
        if (text == SelectImportTypeEntry) return;
        const QString caption = m_form.TabSourceCaption();
        const QString name = WithoutBlanks(text);
        // An .xlsx workbook loads like an .xls one: its sheets were listed, so they can be chosen.
        if (caption == QLatin1String("Excel"))
            LoadExcelRecords(name);
        else if (caption == QLatin1String("Access"))
            LoadAccessRecords(name, m_form.txtMDBUser, m_form.txtMDBPass);
        else if (caption == QLatin1String("ODBC"))
            LoadODBCRecords(name, m_form.txtODBCPath, m_form.txtODBCUser, m_form.txtPass);
    });
}

void TableLoader::LoadExcelRecords(const QString& name) {
    LoadRecords(LoaderSource::Excel(m_form.txtFilePath), name);
}

void TableLoader::LoadAccessRecords(const QString& name, const QString& user, const QString& password) {
    LoadRecords(LoaderSource::Access(m_form.txtMdbPath, user, password), name);
}

void TableLoader::LoadODBCRecords(const QString& name, const QString& dataSourceName, const QString& user,
                                  const QString& password) {
    LoadRecords(LoaderSource::Odbc(dataSourceName, user, password), name);
}

void TableLoader::SheetNotFound(const QString& name) {
    m_form.GR1.Clear(true);
    m_gridReplaced = true;
    const QString text = QStringLiteral("Sheet named as  <") + vb::UCase(name) +
                         QStringLiteral(">  not found in the specified Excel file.");
    m_form.services().messages.show(
        MessageBoxRequest{text, ApplicationTitle, MsgIcon::None, MsgButtons::OkOnly, 0});
    m_form.stat(text, MsgPanel);
}

void TableLoader::LoadRecords(const LoaderSource& source, const QString& name) {
    const char* location = source.kind == LoaderKind::Excel    ? "F01-0002"
                           : source.kind == LoaderKind::Access ? "F01-0004"
                                                               : "F01-0006";
    m_gridReplaced = false;
    m_form.ForgetRowBlankness();
    Trap(m_form.errors(), location, [&] {
        if (source.kind == LoaderKind::Excel) {
            if (m_form.txtFilePath.isEmpty()) {
                // Nothing can be loaded: the previous table must not stay to be posted.
                m_form.GR1.Clear(true);
                m_gridReplaced = true;
                const QString text = QStringLiteral("File Path not entered");
                m_form.services().messages.show(MessageBoxRequest{text, QStringLiteral("Quibo 1.0"),
                                                                  MsgIcon::Critical, MsgButtons::OkOnly, 0});
                m_form.stat(text, MsgPanel);
                m_form.GR1.AddRow();
                return;
            }
            m_form.chkChkMst.visible = false;
            m_form.chkSkipMst.visible = false;
        }

        const QString importType = vb::UCase(m_form.cmbTableName.Text());
        if (importType == vb::UCase(SelectImportTypeEntry)) {
            m_form.GR1.Clear(true);
            m_gridReplaced = true;
        } else if (IsTableImportType(source.kind, importType) ||
                   !GetCustomFormatName(m_form, importType).isEmpty()) {
            LoadTable(source, name, importType);
        } else if (IsRegisterImportType(importType)) {
            VoucherRegisterLoad load(m_form, source, m_open, m_gridReplaced);
            switch (load.Load(name)) {
            case VoucherRegisterLoad::Outcome::Loaded:
                break;
            case VoucherRegisterLoad::Outcome::NotFound:
                SheetNotFound(name);
                break;
            case VoucherRegisterLoad::Outcome::Stopped:
                return;
            }
        } else {
            SheetNotFound(name);
        }
        // Every load ends GR1 with a blank row: the posters finish their last record on it.
        m_form.GR1.AddRow();
    });
    // A load that failed before it rebuilt GR1 must not leave the previous table there to be posted,
    // nor keep resident what it read before it failed (a table whose last line is refused is freed
    // whole, but the heap's set-up would keep its pages).
    if (!m_gridReplaced) {
        m_form.GR1.Clear(true);
        core::GiveBackFreeHeap();
    }
    m_form.GR1.SetRedraw(true);
    m_form.lstLedgerTree.SetRedraw(true);
}

void TableLoader::LoadTable(const LoaderSource& source, const QString& name, const QString& importType) {
    FormModel& form = m_form;
    WorkGrid& gr1 = form.GR1;
    SourceGrid& sourceGrid = form.lstLedgerTree;
    const std::unique_ptr<Source> connection = source.open(m_open);

    // Sheet and table names are matched upper-cased and without blanks; the source's spelling is kept.
    const QString wanted = source.isTextFile ? source.textFile : name + source.sheetSuffix();
    QStringList names = connection->tables();
    if (source.kind == LoaderKind::Odbc) names += connection->views();
    const QString key = WithoutBlanks(vb::UCase(wanted));
    const QString* table = nullptr;
    for (const QString& candidate : std::as_const(names)) {
        if (WithoutBlanks(vb::UCase(candidate)) == key) {
            table = &candidate;
            break;
        }
    }
    if (!table) {
        SheetNotFound(name);
        return;
    }

    const bool voucher = IsVoucherImportType(source.kind, importType);
    form.chkChkMst.visible = voucher;
    form.chkSkipMst.visible = !voucher;

    QStringList fields;
    int records = 0;
    sourceGrid.SetRedraw(false);
    {
        const SourceTable rs = connection->read(*table, voucher ? QStringLiteral("SrNo") : QString());
        fields = rs.columnNames();
        records = rs.recordCount();
        BindSourceGrid(sourceGrid, rs);
    } // the grid holds the rows now: the record set's copy goes before GR1 takes its own

    // Only a repaired table that has a VchType but no ID field gets a built ID.
    const bool addId = IsRepairedTable(vb::UCase(name)) && RepairSourceGrid(form, source.kind, records);

    const int idColumn = BuildWorkColumns(gr1, fields, addId);
    m_gridReplaced = true;
    const int fieldCount = int(fields.size());
    const std::vector<int> alignment = CopyAlignments(sourceGrid, fieldCount, records);
    std::vector<bool> formatOnCopy(static_cast<size_t>(fieldCount), false);
    if (source.kind == LoaderKind::Access)
        for (int c = 0; c < fieldCount; ++c)
            formatOnCopy[static_cast<size_t>(c)] = IsAccessCopyAmount(fields[c]);
    VoucherIdColumns idColumns =
        idColumn > 0 ? VoucherIdColumns::Find(form.errors(), sourceGrid) : VoucherIdColumns{};

    // GR1 shows the source grid's texts: its cells name them rather than copy them.
    gr1.ShareTexts(sourceGrid.Texts());
    FormatOnce amount(*sourceGrid.Texts(), form.DecimalPlaces, false);
    std::vector<int> formatted;
    for (int c = 0; c < fieldCount; ++c)
        if (formatOnCopy[static_cast<size_t>(c)]) formatted.push_back(c);
    // A new row's cells are already left-aligned.
    std::vector<int> aligns = alignment;
    std::replace(aligns.begin(), aligns.end(), 0, -1);
    const bool anyAligned = std::any_of(aligns.begin(), aligns.end(), [](int a) { return a > 0; });
    std::vector<core::TextPool::Id> ids(static_cast<size_t>(fieldCount));
    for (int r = 1; r <= records; ++r) {
        if (!form.IsEmptyRowEx(r)) {
            gr1.AddRow();
            const int row = gr1.RowCount();
            sourceGrid.RowTextIds(r, 0, fieldCount, ids.data());
            for (const int c : formatted)
                ids[static_cast<size_t>(c)] = amount(ids[static_cast<size_t>(c)]);
            gr1.SetRowTextIds(row, 1, ids.data(), fieldCount);
            if (anyAligned) gr1.SetRowTextAligns(row, 1, aligns.data(), fieldCount);
            if (idColumn > 0) gr1.SetCellTextId(row, idColumn, idColumns.idOf(sourceGrid, r));
        }
        ShowReadingProgress(form, r, records);
    }
    FinishLoad(form, source.kind, fields);
}

} // namespace quibo
