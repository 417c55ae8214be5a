#include "base/FormModel.h"

#include "base/ColumnLookup.h"
#include "base/OutcomeMarks.h"
#include "base/Services.h"
#include "base/Trap.h"
#include "vb/Text.h"

namespace quibo {

namespace {

// vb::Trim(text).isEmpty() without making the trimmed copy: asked of every cell of every loaded row.
bool IsBlank(QStringView text) {
    for (const QChar ch : text)
        if (ch != u' ') return false;
    return true;
}

} // namespace

FormModel::FormModel(FormServices services) : m_services(std::move(services)) {}

void FormModel::stat(const QString& text, const QString& key) {
    statShown(text.isEmpty() ? QString() : QStringLiteral(".........") + text, key);
}

void FormModel::statShown(const QString& shown, const QString& key) {
    Trap(errors(), "F01-0040", [&] {
        if (!SB.hasPanel(key)) vb::Raise(35601, QStringLiteral("Element not found"));
        SB.setPanel(key, shown);
        m_services.statusLine.panelChanged(key, shown);
    });
}

bool FormModel::IsEmptyRow(int row) {
    bool empty = true;
    Trap(errors(), "F01-0046", [&] {
        const int columns = GR1.ColumnCount();
        for (int c = 1; c <= columns; ++c) {
            if (!IsBlank(GR1.CellText(row, c))) {
                empty = false;
                return;
            }
        }
    });
    return empty;
}

void FormModel::ForgetRowBlankness() {
    m_blanknessOf.reset();
    m_blankness.clear();
}

bool FormModel::IsEmptyRowEx(int row) {
    bool empty = true;
    Trap(errors(), "F01-0046A", [&] {
        const std::shared_ptr<core::TextPool>& texts = lstLedgerTree.Texts();
        if (m_blanknessOf.owner_before(texts) || texts.owner_before(m_blanknessOf)) {
            m_blanknessOf = texts;
            m_blankness.clear();
        }
        if (m_blankness.size() < texts->size()) m_blankness.resize(texts->size(), Blankness::Unknown);
        // A row is mostly told by a cell whose text was seen before (a voucher type, a ledger), so
        // the texts of the rest are not read; empty cells need no text at all.
        const int columns = lstLedgerTree.Cols();
        for (int c = 0; c < columns; ++c) {
            if (m_blankness[lstLedgerTree.TextId(row, c)] == Blankness::Shown) {
                empty = false;
                return;
            }
        }
        // Else the texts are read from a column that moves on each time, so that a column whose
        // texts repeat is soon among those seen, rather than always the first, which may never repeat.
        const int start = columns > 0 ? m_blanknessStart++ % columns : 0;
        for (int k = 0; k < columns; ++k) {
            const int c = (start + k) % columns;
            const core::TextPool::Id id = lstLedgerTree.TextId(row, c);
            if (id == core::TextPool::Empty) continue;
            Blankness& known = m_blankness[id];
            if (known == Blankness::Unknown)
                known = IsBlank(texts->text(id)) ? Blankness::Blank : Blankness::Shown;
            if (known == Blankness::Shown) {
                empty = false;
                return;
            }
        }
    });
    return empty;
}

QString FormModel::NulRefusal(int row) const {
    const int columns = GR1.ColumnCount();
    for (int c = 1; c <= columns; ++c)
        if (GR1.CellText(row, c).contains(QChar(u'\0'))) return marks::HoldsNul(GR1.ColumnKey(c));
    return {};
}

bool FormModel::HeaderExists(const QString& name) {
    bool found = false;
    Trap(errors(), "F01-0009", [&] {
        const QString wanted = vb::UCase(name);
        const int columns = GR1.ColumnCount();
        for (int c = 1; c <= columns; ++c)
            if (vb::UCase(GR1.ColumnHeader(c)) == wanted) found = true;
    });
    return found;
}

bool FormModel::ValidHeader(const QString& text) {
    bool valid = true;
    Trap(errors(), "F01-0008", [&] {
        for (const QChar ch : text) {
            const char16_t u = ch.unicode();
            const bool ok = (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z') ||
                            (u >= u'0' && u <= u'9') || u == u'(' || u == u')' || u == u'-' || u == u'.' ||
                            u == 8;
            if (!ok) valid = false;
        }
    });
    return valid;
}

QString FormModel::VoucherKey(int row) const {
    if (FindSourceColumn(lstLedgerTree, u"ID") >= 0) return GR1.CellText(row, QStringLiteral("ID"));
    return GR1.CellText(row, QStringLiteral("VCHTYPE")) + QLatin1Char('-') +
           GR1.CellText(row, QStringLiteral("VCHNO")) + QLatin1Char('-') +
           GR1.CellText(row, QStringLiteral("VCHDATE"));
}

void FormModel::DoEvents() {
    m_services.yield.yield();
}

FormModel::Command FormModel::BeginCommand(const QString& name) {
    if (IsBusy()) return Command(nullptr);
    m_runningCommand = name;
    return Command(this);
}

void FormModel::SayRefused(const QString& text) {
    const QString panel = QStringLiteral("stat");
    // A second refusal keeps the text the first one covered.
    if (!m_refused || SB.panel(panel) != m_refusalShown) m_beforeRefusal = SB.panel(panel);
    stat(text, panel);
    m_refusalShown = SB.panel(panel);
    m_refused = IsBusy();
}

void FormModel::EndCommand() {
    m_runningCommand.clear();
    if (!m_refused) return;
    m_refused = false;
    const QString panel = QStringLiteral("stat");
    if (SB.panel(panel) == m_refusalShown) statShown(m_beforeRefusal, panel);
}

FormModel::Command::~Command() {
    if (m_form) m_form->EndCommand();
}

} // namespace quibo
