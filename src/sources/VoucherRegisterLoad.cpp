#include "sources/VoucherRegisterLoad.h"

#include "app/base/Services.h"
#include "app/base/Trap.h"
#include "app/form/FormModel.h"
#include "sources/LoaderSource.h"
#include "sources/SourceTable.h"
#include "tally/ColumnLookup.h"
#include "vb/RuntimeError.h"
#include "vb/Text.h"

#include <array>
#include <vector>

namespace quibo {

namespace {

const QString MsgPanel = QStringLiteral("msg");
const QChar PartEnd = QLatin1Char('|');

// The optional map columns, in the order of their places 4 to 15 in a tag.
constexpr std::array<const char*, 12> OptionalMapColumns = {
    "VATClassification", "VATRate",          "AssessableColumn", "ServiceTaxOn",
    "ServiceTaxRate",    "ServiceTaxColumn", "CessRate",         "CessColumn",
    "SecCessRate",       "SecCessColumn",    "ServiceTaxLedger", "ExpenseColumn"};

// A map column that every map must have; its absence is a run-time error, as reading it was.
int RequiredMapColumn(const SourceTable& map, const char* name) {
    const int column = map.columnIndex(QString::fromLatin1(name));
    if (column < 0)
        vb::Raise(
            3265,
            QStringLiteral("Item cannot be found in the collection corresponding to the requested name or "
                           "ordinal."),
            QStringLiteral("ADODB.Fields"));
    return column;
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
    FormModel& form = m_form;
    WorkGrid& gr1 = form.GR1;
    SourceGrid& sourceGrid = form.lstLedgerTree;
    const std::unique_ptr<Source> connection = m_source.open(m_open);

    // Both tables must be there, under their exact names (a workbook's with "$"); in a database either
    // may be a view.
    const QString suffix = m_source.sheetSuffix();
    const QString registerTable = name + suffix;
    const QString mapTable = name + QStringLiteral("Map") + suffix;
    bool registerFound = false;
    bool mapFound = false;
    auto walk = [&](const QStringList& names) {
        for (const QString& n : names) {
            const QString upper = vb::UCase(n);
            if (upper == vb::UCase(registerTable)) registerFound = true;
            if (upper == vb::UCase(mapTable)) mapFound = true;
        }
    };
    walk(connection->tables());
    if (m_source.kind != LoaderKind::Excel) walk(connection->views());
    if (!registerFound || !mapFound) return Outcome::NotFound;

    QStringList fields;
    int records = 0;
    {
        const SourceTable rs = connection->read(m_source.isTextFile ? m_source.textFile : registerTable);
        fields = rs.columnNames();
        records = rs.recordCount();
        for (const QString& field : std::as_const(fields)) {
            if (!form.ValidHeader(field)) {
                // The register cannot be loaded: the previous table must not stay to be posted under it.
                gr1.Clear(true);
                m_gridReplaced = true;
                ShowCritical(
                    form,
                    QStringLiteral("Column Names in VoucherRegister are Invalid.\r\n"
                                   "Do not use special characters like ! @ # $ % ^ & * ( ) { } [ ] < > , . "
                                   "and spaces."),
                    QStringLiteral("Invalid Column Names."));
                return Outcome::Stopped;
            }
        }
        sourceGrid.SetRedraw(false);
        BindSourceGrid(sourceGrid, rs);
    }

    gr1.Clear(true);
    m_gridReplaced = true;
    gr1.SetRedraw(false);
    for (const QString& field : std::as_const(fields))
        gr1.AddColumn(vb::UCase(field), field);
    auto column = [&](const char* n) {
        return GetColumnIndex(form.errors(), sourceGrid, QString::fromLatin1(n));
    };
    const int id = column("ID");
    const int vchType = column("VchType");
    const int vchNo = column("VchNo");
    const int vchDate = column("VchDate");
    const int refNo = column("RefNo");
    int idColumn = 0;
    if (id < 0 && vchType >= 0) {
        gr1.AddColumn(QStringLiteral("ID"), QStringLiteral("ID"));
        idColumn = gr1.ColumnCount();
    }
    gr1.AddColumn(QStringLiteral("PROCESSSTATUS"), QStringLiteral("Process Status"));

    {
        const SourceTable map = connection->read(mapTable);
        const int columnName = RequiredMapColumn(map, "ColumnName");
        const int ledgerName = RequiredMapColumn(map, "LedgerName");
        const int ledgerSign = RequiredMapColumn(map, "LedgerSign");
        const int order = RequiredMapColumn(map, "Order");
        std::array<int, OptionalMapColumns.size()> optional;
        optional.fill(-1);
        if (m_source.kind == LoaderKind::Excel) {
            for (size_t i = 0; i < OptionalMapColumns.size(); ++i) {
                const QString optionalName = QString::fromLatin1(OptionalMapColumns[i]);
                if (FieldExists(form.errors(), map, optionalName))
                    optional[i] = map.columnIndex(optionalName);
            }
        }
        for (int r = 0; r < map.recordCount(); ++r) {
            if (IsNull(map.cell(r, columnName))) continue;
            const QString mapped = map.text(r, columnName);
            if (!form.HeaderExists(mapped)) {
                ShowCritical(
                    form,
                    QStringLiteral("Column >") + mapped +
                        QStringLiteral("< Not found in VoucherRegister.\r\nPlease check VoucherRegisterMap "
                                       "sheet."),
                    QStringLiteral("Column Not Found."));
                return Outcome::Stopped;
            }
            // Sixteen parts always: the poster reads them by position.
            QString tag = vb::UCase(mapped) + PartEnd + map.text(r, ledgerName) + PartEnd +
                          map.text(r, ledgerSign) + PartEnd + map.text(r, order) + PartEnd;
            for (const int c : optional) {
                if (c >= 0) tag += map.text(r, c);
                tag += PartEnd;
            }
            gr1.SetColumnTag(gr1.ColumnIndex(vb::UCase(mapped)), tag);
        }
    }

    const int fieldCount = int(fields.size());
    std::vector<int> alignment(static_cast<size_t>(fieldCount), -1);
    if (records >= 1)
        for (int c = 0; c < fieldCount; ++c)
            alignment[static_cast<size_t>(c)] = CellAlignment(sourceGrid.ColAlignment(c));

    // Every register row becomes a GR1 row, an empty one too; its cells are copied as they stand.
    for (int r = 1; r <= records; ++r) {
        gr1.AddRow();
        const int row = gr1.RowCount();
        for (int c = 0; c < fieldCount; ++c) {
            gr1.SetCellText(row, c + 1, sourceGrid.TextMatrix(r, c));
            if (alignment[static_cast<size_t>(c)] >= 0)
                gr1.SetCellTextAlign(row, c + 1, alignment[static_cast<size_t>(c)]);
        }
        if (idColumn > 0 && !form.IsEmptyRowEx(r)) {
            QString key = sourceGrid.TextMatrix(r, vchType);
            for (const int c : {vchNo, vchDate, refNo})
                if (c >= 0) key += QLatin1Char('-') + sourceGrid.TextMatrix(r, c);
            gr1.SetCellText(row, idColumn, key);
        }
        ShowReadingProgress(form, r, records);
    }

    form.stat(QString(), MsgPanel);
    for (const QString& field : std::as_const(fields))
        gr1.FitColumn(vb::UCase(field));
    if (m_source.kind == LoaderKind::Excel) gr1.AddRow();
    gr1.SetRedraw(true);
    sourceGrid.SetRedraw(true);
    return Outcome::Loaded;
}

} // namespace quibo
