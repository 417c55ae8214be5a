#include "masters/MasterRun.h"

#include "base/ColumnLookup.h"
#include "base/FormModel.h"
#include "tally/ObjectExists.h"
#include "vb/Text.h"

namespace quibo {

namespace {

const QString NameColumn = QStringLiteral("NAME");
const QString CompanyColumn = QStringLiteral("COMPANYNAME");
const QString StatusColumn = QStringLiteral("PROCESSSTATUS");
const QString MessagePanel = QStringLiteral("msg");

bool IsBlank(const QString& text) {
    return vb::Trim(text).isEmpty();
}

} // namespace

MasterRun::MasterRun(FormModel& form, TallyLink& link, MasterKind kind)
    : m_form(form), m_link(link), m_kind(std::move(kind)) {
    // The tab first: a run that a missing column ends still shows the grid it reports on.
    m_form.tabDataIndex = 1;
    Require({"NAME", "PROCESSSTATUS"});
    m_hasCompanyColumn = Has(CompanyColumn);
}

bool MasterRun::Has(const QString& column) const {
    const auto known = m_present.constFind(column);
    if (known != m_present.cend()) return *known;
    const bool present = GetColumnIndex(m_form.errors(), m_form.lstLedgerTree, column) >= 0;
    m_present.insert(column, present);
    return present;
}

void MasterRun::Require(std::initializer_list<const char*> columns) const {
    for (const char* column : columns)
        Require(QString::fromLatin1(column));
}

void MasterRun::Require(const QString& column) const {
    // A grid without rows reads no cell, so it lacks nothing.
    if (m_form.GR1.RowCount() == 0) return;
    m_form.GR1.ColumnIndex(column);
}

const QString& MasterRun::Cell(int row, const QString& column) const {
    return m_form.GR1.CellText(row, column);
}

int MasterRun::Column(const QString& column) const {
    return m_form.GR1.ColumnIndex(column);
}

const QString& MasterRun::Cell(int row, int column) const {
    return m_form.GR1.CellText(row, column);
}

int MasterRun::KnownColumn(int& known, const QString& column) const {
    if (known < 0) known = Column(column);
    return known;
}

QString MasterRun::CellIfPresent(int row, const QString& column, const QString& fallback) const {
    return Has(column) ? Cell(row, column) : fallback;
}

void MasterRun::TakeCompany(int row) {
    const QString cell =
        m_hasCompanyColumn ? Cell(row, KnownColumn(m_companyColumn, CompanyColumn)) : QString();
    m_form.CurrentCompany = IsBlank(cell) ? m_form.cmbCurrentCompanyList.Text() : cell;
}

bool MasterRun::Exists(const QString& name) {
    return TallyObjectKnownToExist(m_link, m_kind.objectType, name, m_form.chkSkipMst.value != 0);
}

void MasterRun::Progress(int shownRow, int currentRow) {
    m_form.stat(m_kind.progressText + QString::number(shownRow), MessagePanel);
    m_form.GR1.SetSelectedRow(currentRow);
}

void MasterRun::RowByRow(const std::function<QString(const QString& company, int row)>& post) {
    const int rows = m_form.GR1.RowCount();
    for (int row = 1; row <= rows; ++row) {
        TakeCompany(row);
        const QString name = Cell(row, KnownColumn(m_nameColumn, NameColumn));
        if (IsBlank(name)) {
            if (!m_form.IsEmptyRow(row)) MarkRefused(row, marks::NoName);
            continue;
        }
        if (const QString refusal = m_form.NulRefusal(row); !refusal.isEmpty()) {
            MarkRefused(row, refusal); // not even asked about
            continue;
        }
        if (Exists(name)) {
            MarkSkipped(row);
            continue;
        }
        MarkPosted(row, PostRecord(m_link, [&] { return post(m_form.CurrentCompany, row); }));
        Progress(row, row);
        m_form.DoEvents();
    }
}

void MasterRun::RunGrouped(const Grouped& shape) {
    const int rows = m_form.GR1.RowCount();
    // First row of the master still to be posted, 0 while none is. A row number rather than a name
    // that stands for "none", so that a master of any name, "00" too, is posted.
    int firstRow = 0;
    QString pendingName;
    // Why the master still to be posted is not to be sent: a row of it holds a NUL character.
    QString refusal;
    QString name; // a row whose NAME cell is blank continues the master above it
    for (int row = 1; row <= rows; ++row) {
        // The master above ends on the previous row and goes to that row's company.
        const QString previousRowCompany = m_form.CurrentCompany;
        TakeCompany(row);
        const bool empty = m_form.IsEmptyRow(row);
        const QString& cell = Cell(row, KnownColumn(m_nameColumn, NameColumn));
        if (empty)
            name.clear();
        else if (!IsBlank(cell))
            name = cell;
        const QString rowRefusal = empty ? QString() : m_form.NulRefusal(row);

        const bool pending = firstRow > 0;
        if (!(pending && name == pendingName) && (pending || !name.isEmpty())) {
            // The new name is asked about before the master above is posted: that is the order in
            // which the server receives the two requests. A master refused is not asked about.
            const bool exists = !name.isEmpty() && rowRefusal.isEmpty() && Exists(name);
            if (pending) {
                const int lastRow = row - 1;
                if (refusal.isEmpty())
                    MarkPosted(
                        lastRow,
                        PostRecord(m_link, [&] { return shape.post(previousRowCompany, firstRow, lastRow); }),
                        shape.iconOnly);
                else
                    MarkRefused(lastRow, refusal);
                Progress(shape.progressShowsNextRow ? row : lastRow, lastRow);
                m_form.DoEvents();
                firstRow = 0;
            }
            if (!name.isEmpty()) {
                if (exists) {
                    MarkSkipped(row);
                } else {
                    firstRow = row;
                    pendingName = name;
                    refusal.clear();
                }
            }
        }
        if (firstRow > 0) {
            if (refusal.isEmpty()) refusal = rowRefusal;
            if (refusal.isEmpty()) shape.addRow(firstRow, row);
        } else if (name.isEmpty() && !empty) {
            // Before the first named master, or after an empty row: in no master.
            MarkRefused(row, marks::NoName);
        }
    }
}

void MasterRun::MarkPosted(int row, const TallyOutcome& outcome, bool iconOnly) {
    const QString upper = vb::UCase(outcome.text);
    QString status = outcome.text;
    int32_t colour = marks::Black;
    int icon = -1; // an outcome no test knows gets no icon
    if (!outcome.sent || outcome.text.trimmed().isEmpty()) {
        // The request never went out, or nothing came back (either way reported): the row must not
        // pass for anything but a failure.
        status = outcome.sent ? marks::NoReply : marks::NotSent;
        colour = marks::Red;
        icon = marks::ErrorIcon;
    } else if (upper.contains(QLatin1String("ERROR"))) {
        colour = iconOnly ? marks::Black : marks::Red;
        icon = marks::ErrorIcon;
    } else if (upper.contains(QLatin1String("CREATED"))) {
        colour = iconOnly ? marks::Black : marks::Blue;
        icon = marks::DoneIcon;
    } else if (upper.contains(QLatin1String("ALTERED")) || upper.contains(QLatin1String("COMBINED"))) {
        icon = marks::DoneIcon;
    }
    Mark(row, status, colour, icon);
}

void MasterRun::MarkRefused(int row, const QString& status) {
    // Red whatever the shape, as every failure the program finds itself.
    Mark(row, status, marks::Red, marks::ErrorIcon);
}

void MasterRun::Mark(int row, const QString& status, int32_t colour, int icon) {
    WorkGrid& grid = m_form.GR1;
    const int statusColumn = KnownColumn(m_statusColumn, StatusColumn);
    grid.SetCellText(row, statusColumn, status);
    grid.SetCellIcon(row, 1, icon);
    grid.SetRowColor(row, colour);
    grid.SetCellFont(row, statusColumn, GridFont{true});
}

void MasterRun::MarkSkipped(int row) {
    WorkGrid& grid = m_form.GR1;
    grid.SetCellText(row, StatusColumn, marks::Skipped);
    grid.SetRowColor(row, marks::Black);
    grid.SetSelectedRow(row);
    grid.SetCellIcon(row, 1, marks::ErrorIcon);
}

} // namespace quibo
