#include "sources/VoucherRegisterLoad.h"

#include "base/ColumnLookup.h"
#include "base/FormModel.h"
#include "base/Services.h"
#include "base/Trap.h"
#include "sources/backends/SourceTable.h"
#include "sources/LoaderSource.h"
#include "vb/RuntimeError.h"
#include "vb/Text.h"

#include <array>
#include <vector>

namespace quibo {

namespace {

const QChar PartEnd = QLatin1Char('|');

// The optional map columns, in the order of their places 4 to 15 in a tag.
constexpr std::array<const char*, 12> OptionalMapColumns = {
    "VATClassification", "VATRate",          "AssessableColumn", "ServiceTaxOn",
    "ServiceTaxRate",    "ServiceTaxColumn", "CessRate",         "CessColumn",
    "SecCessRate",       "SecCessColumn",    "ServiceTaxLedger", "ExpenseColumn"};

// A field every map row is read for. A map without it fails when a row needs it, as reading the field
// did: a map with no rows, or one that stops at a missing register column first, never does.
SourceCell RequiredMapField(const SourceTable& map, int row, const char* name) {
    const int column = map.columnIndex(QString::fromLatin1(name));
    if (column < 0)
        vb::Raise(
            3265,
            QStringLiteral("Item cannot be found in the collection corresponding to the requested name or "
                           "ordinal."),
            QStringLiteral("ADODB.Fields"));
    return map.cell(row, column);
}

void ShowCritical(FormModel& form, const QString& text, const QString& title) {
    form.services().messages.show(MessageBoxRequest{text, title, MsgIcon::Critical, MsgButtons::OkOnly, 0});
}

} // namespace

bool FieldExists(ErrorReporter& errors, const SourceTable& recordset, const QString& name) {
    bool exists = false;
    Trap(errors, "F01-0054", [&] {
        const QString wanted = vb::UCase(name);
        for (const SourceColumn& field : recordset.columns()) {
            if (vb::UCase(field.name) == wanted) {
                exists = true;
                return;
            }
        }
    });
    return exists;
}

VoucherRegisterLoad::VoucherRegisterLoad(FormModel& form, const LoaderSource& source,
                                         const ConnectionOpener& open, bool& gridReplaced)
    : m_form(form), m_source(source), m_open(open), m_gridReplaced(gridReplaced) {}

VoucherRegisterLoad::Outcome VoucherRegisterLoad::Load(const QString& name) {
    const std::unique_ptr<Source> connection = m_source.open(m_open);
    QString registerTable, mapTable;
    findTables(*connection, name, registerTable, mapTable);
    if (registerTable.isEmpty() || mapTable.isEmpty()) return Outcome::NotFound;

    QStringList fields;
    int records = 0;
    if (!readRegister(*connection, registerTable, fields, records)) return Outcome::Stopped;
    SourceGrid& sourceGrid = m_form.lstLedgerTree;
    const int id = GetColumnIndex(m_form.errors(), sourceGrid, QStringLiteral("ID"));
    VoucherIdColumns idColumns = VoucherIdColumns::Find(m_form.errors(), sourceGrid);
    const int idColumn = BuildWorkColumns(m_form.GR1, fields, id < 0 && idColumns.vchType >= 0);
    m_gridReplaced = true;
    if (!tagColumns(connection->read(mapTable))) return Outcome::Stopped;
    copyRows(int(fields.size()), records, idColumn, idColumns);
    FinishLoad(m_form, m_source.kind, fields);
    return Outcome::Loaded;
}

void VoucherRegisterLoad::findTables(Source& connection, const QString& name, QString& registerTable,
                                     QString& mapTable) const {
    // Both tables must be there, under their names in any case (a workbook's with "$"), and are read
    // under the spelling the source lists (a server that folds unquoted names keeps "voucherregister");
    // in a database either may be a view.
    const QString suffix = m_source.sheetSuffix();
    auto walk = [&](const QStringList& names) {
        for (const QString& n : names) {
            const QString upper = vb::UCase(n);
            if (registerTable.isEmpty() && upper == vb::UCase(name + suffix)) registerTable = n;
            if (mapTable.isEmpty() && upper == vb::UCase(name + QStringLiteral("Map") + suffix)) mapTable = n;
        }
    };
    walk(connection.tables());
    if (m_source.kind != LoaderKind::Excel) walk(connection.views());
}

bool VoucherRegisterLoad::readRegister(Source& connection, const QString& registerTable, QStringList& fields,
                                       int& records) {
    const SourceTable rs = connection.read(m_source.isTextFile ? m_source.textFile : registerTable);
    fields = rs.columnNames();
    records = rs.recordCount();
    for (const QString& field : std::as_const(fields)) {
        if (!m_form.ValidHeader(field)) {
            // The register cannot be loaded: the previous table must not stay to be posted under it.
            m_form.GR1.Clear(true);
            m_gridReplaced = true;
            ShowCritical(
                m_form,
                QStringLiteral("Column Names in VoucherRegister are Invalid.\r\n"
                               "Do not use special characters like ! @ # $ % ^ & * ( ) { } [ ] < > , . "
                               "and spaces."),
                QStringLiteral("Invalid Column Names."));
            return false;
        }
    }
    m_form.lstLedgerTree.SetRedraw(false);
    BindSourceGrid(m_form.lstLedgerTree, rs);
    return true;
}

bool VoucherRegisterLoad::tagColumns(const SourceTable& map) {
    std::array<int, OptionalMapColumns.size()> optional;
    optional.fill(-1);
    if (m_source.kind == LoaderKind::Excel) {
        for (size_t i = 0; i < OptionalMapColumns.size(); ++i) {
            const QString optionalName = QString::fromLatin1(OptionalMapColumns[i]);
            if (FieldExists(m_form.errors(), map, optionalName)) optional[i] = map.columnIndex(optionalName);
        }
    }
    WorkGrid& gr1 = m_form.GR1;
    for (int r = 0; r < map.recordCount(); ++r) {
        const SourceCell columnName = RequiredMapField(map, r, "ColumnName");
        if (IsNull(columnName)) continue;
        const QString mapped = CellText(columnName);
        if (!m_form.HeaderExists(mapped)) {
            ShowCritical(
                m_form,
                QStringLiteral("Column >") + mapped +
                    QStringLiteral("< Not found in VoucherRegister.\r\nPlease check VoucherRegisterMap "
                                   "sheet."),
                QStringLiteral("Column Not Found."));
            return false;
        }
        // Sixteen parts always: the poster reads them by position.
        QString tag = vb::UCase(mapped) + PartEnd;
        for (const char* part : {"LedgerName", "LedgerSign", "Order"})
            tag += CellText(RequiredMapField(map, r, part)) + PartEnd;
        for (const int c : optional) {
            if (c >= 0) tag += map.text(r, c);
            tag += PartEnd;
        }
        gr1.SetColumnTag(gr1.ColumnIndex(vb::UCase(mapped)), tag);
    }
    return true;
}

void VoucherRegisterLoad::copyRows(int fieldCount, int records, int idColumn, VoucherIdColumns& idColumns) {
    WorkGrid& gr1 = m_form.GR1;
    SourceGrid& sourceGrid = m_form.lstLedgerTree;
    const std::vector<int> alignment = CopyAlignments(sourceGrid, fieldCount, records);
    // Every register row becomes a GR1 row, an empty one too; its cells are copied as they stand,
    // GR1 naming the source grid's texts rather than copying them.
    gr1.ShareTexts(sourceGrid.Texts());
    std::vector<core::TextPool::Id> ids(static_cast<size_t>(fieldCount));
    for (int r = 1; r <= records; ++r) {
        gr1.AddRow();
        const int row = gr1.RowCount();
        sourceGrid.RowTextIds(r, 0, fieldCount, ids.data());
        gr1.SetRowTextIds(row, 1, ids.data(), fieldCount);
        gr1.SetRowTextAligns(row, 1, alignment.data(), fieldCount);
        if (idColumn > 0 && !m_form.IsEmptyRowEx(r))
            gr1.SetCellTextId(row, idColumn, idColumns.idOf(sourceGrid, r));
        ShowReadingProgress(m_form, r, records);
    }
}

} // namespace quibo
