#include "tally/template/TemplateEngine.h"

#include "base/ColumnLookup.h"
#include "base/Trap.h"
#include "base/WorkGrid.h"
#include "localdb/LocalDatabase.h"
#include "tally/ImportEnvelope.h"
#include "tally/TallyLink.h"
#include "tally/template/TemplatePlaceholders.h"
#include "tally/XmlBuilders.h"
#include "vb/Conditional.h"
#include "vb/Format.h"
#include "vb/Number.h"
#include "vb/RuntimeError.h"
#include "vb/ScriptExpression.h"
#include "vb/Text.h"

#include <algorithm>
#include <cmath>

namespace quibo {

namespace {

constexpr int32_t InvalidUseOfNull = 94;
constexpr int32_t OutOfStackSpace = 28;

const QString NumberPattern = QStringLiteral("#######################0.00");

// Text columns may hold Null; numbers stored in them read as their text.
std::optional<QString> TextOrNull(const QVariant& value) {
    if (value.isNull()) return std::nullopt;
    return value.toString();
}

// A column that must hold a value: Null is VB's "Invalid use of Null", as when a Null is
// assigned to a String.
QString RequiredText(const QVariant& value) {
    if (value.isNull()) vb::Raise(InvalidUseOfNull, QStringLiteral("Invalid use of Null"));
    return value.toString();
}

// VB's CLng of a column value.
int32_t WholeNumber(const QVariant& value) {
    if (value.isNull()) vb::Raise(InvalidUseOfNull, QStringLiteral("Invalid use of Null"));
    double number = 0;
    if (value.typeId() == QMetaType::QString) {
        const auto parsed = vb::ToNumber(value.toString());
        if (!parsed) vb::Raise(vb::err::TypeMismatch, QStringLiteral("Type mismatch"));
        number = *parsed;
    } else {
        number = value.toDouble();
    }
    const double rounded = std::nearbyint(number);
    if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0))
        vb::Raise(vb::err::Overflow, QStringLiteral("Overflow"));
    return static_cast<int32_t>(rounded);
}

bool IsBlank(const QString& text) {
    return vb::Trim(text).isEmpty();
}

} // namespace

TemplateEngine::TemplateEngine(ErrorReporter& errors, LocalDatabase& database, const WorkGrid& grid,
                               const SourceGrid& source)
    : m_errors(errors), m_database(database), m_grid(grid), m_source(source) {}

std::optional<TemplateFormat> TemplateEngine::FindTemplateFormat(const QString& name) const {
    const RecordSet rows = m_database.query(
        QStringLiteral("SELECT * FROM QuiboMst_ WHERE TName = ? COLLATE NOCASE ORDER BY rowid"), {name});
    if (rows.isEmpty()) return std::nullopt;
    return TemplateFormat{RequiredText(rows.value(0, u"TName")), RequiredText(rows.value(0, u"TType")),
                          WholeNumber(rows.value(0, u"TNo")),
                          TextOrNull(rows.value(0, u"TSource")).value_or(QString())};
}

QString TemplateEngine::PostTemplateRecord(TallyLink& link, const QString& formatName, const QString& company,
                                           int row, int lastRow) {
    QString outcome;
    Trap(m_errors, "C03--0006", [&] {
        const QString name = QString(formatName).remove(QLatin1Char(' '));
        const std::optional<TemplateFormat> format = FindTemplateFormat(name);
        // Without its format the record has no element to send: an empty message is not sent.
        if (!format) vb::Raise(vb::err::InvalidProcedureCall, QStringLiteral("Format not found: ") + name);

        const bool alt = format->source == u"ALT";
        std::optional<XmlDocument> doc =
            alt ? NewImportEnvelope(m_errors, company) : NewImportDataEnvelope(m_errors, company);
        if (!doc) return; // reported by the envelope
        const XmlNode container =
            doc->firstElement(alt ? QStringLiteral("DATA") : QStringLiteral("REQUESTDATA"));
        if (!container) vb::Raise(vb::err::ObjectRequired, QStringLiteral("Object required"));

        const XmlNode message =
            AppendXmlElement(m_errors, *doc, container, QStringLiteral("TALLYMESSAGE"), {});
        SetXmlAttribute(m_errors, *doc, message, QStringLiteral("xmlns:UDF"), QStringLiteral("TallyUDF"));
        const XmlNode object = AppendXmlElement(m_errors, *doc, message, format->type, {});
        if (!object) return; // an unusable `TType`, reported by the builder: nothing to send

        ApplyTemplateAttributes(*doc, object, format->number, format->type, row);
        for (int r = row; r <= std::max(row, lastRow); ++r)
            BuildTemplateElements(*doc, object, format->number, format->type, r, r - row + 1, 1);

        QString xml = doc->xml();
        outcome = ParseTallyResponse(link.PostToTally(xml));
    });
    return outcome;
}

void TemplateEngine::ApplyTemplateAttributes(XmlDocument& doc, XmlNode element, int32_t formatNumber,
                                             const QString& elementName, int row) {
    const RecordSet tags =
        m_database.query(QStringLiteral("SELECT * FROM QuiboDet_ WHERE TNo = ? AND upper(TagType) = 'A' "
                                        "AND GroupName = ? COLLATE NOCASE ORDER BY rowid"),
                         {formatNumber, elementName});
    for (int i = 0; i < tags.rowCount(); ++i) {
        const QString name = RequiredText(tags.value(i, u"TagName"));
        const std::optional<QString> defValue = TextOrNull(tags.value(i, u"DefValue"));
        if (defValue) {
            if (!IsBlank(*defValue)) SetXmlAttribute(m_errors, doc, element, name, *defValue);
            continue;
        }
        const std::optional<QString> fieldName = TextOrNull(tags.value(i, u"fieldName"));
        if (!fieldName) continue;
        const QString key = vb::UCase(*fieldName);
        if (GetColumnIndex(m_errors, m_source, key) < 0) continue;
        const QString& value = m_grid.CellText(row, key);
        if (!IsBlank(value)) SetXmlAttribute(m_errors, doc, element, name, value);
    }
}

void TemplateEngine::BuildTemplateElements(XmlDocument& doc, XmlNode parent, int32_t formatNumber,
                                           const QString& elementName, int row, int recordNumber,
                                           int setNumber) {
    Budget budget;
    BuildLevel(doc, parent, formatNumber, elementName, row, 1, recordNumber, setNumber, budget);
}

void TemplateEngine::BuildLevel(XmlDocument& doc, XmlNode parent, int32_t formatNumber,
                                const QString& elementName, int row, int level, int recordNumber,
                                int setNumber, Budget& budget) {
    if (level > MaxLevel) vb::Raise(OutOfStackSpace, QStringLiteral("Out of stack space"));

    if (recordNumber == 1) {
        const RecordSet tags = m_database.query(
            QStringLiteral("SELECT * FROM QuiboDet_ WHERE SetNo = ? AND TNo = ? "
                           "AND upper(TagType) IN ('N', 'C', 'G') AND GroupName = ? COLLATE NOCASE "
                           "ORDER BY TNo, SrNo, rowid"),
            {setNumber, formatNumber, elementName});
        for (int i = 0; i < tags.rowCount(); ++i) {
            const QString name = RequiredText(tags.value(i, u"TagName"));
            const std::optional<QString> defValue = TextOrNull(tags.value(i, u"DefValue"));
            if (defValue) {
                if (!IsBlank(*defValue)) AppendXmlElementIfValue(m_errors, doc, parent, name, *defValue);
                continue;
            }
            AppendTag(doc, parent, name, tags.value(i, u"TagType").toString(),
                      TextOrNull(tags.value(i, u"ValFormat")).value_or(QString()),
                      TextOrNull(tags.value(i, u"fieldName")), row);
        }
    }

    const RecordSet groups = m_database.query(
        QStringLiteral("SELECT * FROM QuiboGrp_ WHERE TNo = ? AND ParentName = ? COLLATE NOCASE "
                       "ORDER BY TNo, SetNo, rowid"),
        {formatNumber, elementName});
    for (int i = 0; i < groups.rowCount(); ++i) {
        const QString groupName = RequiredText(groups.value(i, u"GroupName"));
        const int32_t groupSet = WholeNumber(groups.value(i, u"SetNo"));
        QString condition = TextOrNull(groups.value(i, u"SetOn")).value_or(QString());
        if (!condition.isEmpty())
            condition = EvalExpression(FillPlaceholders(
                m_grid, row, condition, PlaceholderUse::GroupCondition, recordNumber, setNumber));
        if (!IsTrueText(condition)) continue;
        if (++budget.groups > MaxGroups) vb::Raise(vb::err::OutOfMemory, QStringLiteral("Out of memory"));
        const XmlNode element = AppendXmlElement(m_errors, doc, parent, groupName, {});
        if (!element) continue; // an unusable name, reported by the builder
        BuildLevel(doc, element, formatNumber, groupName, row, level + 1, 1, groupSet, budget);
    }
}

void TemplateEngine::AppendTag(XmlDocument& doc, XmlNode parent, const QString& name, const QString& tagType,
                               const QString& valueFormat, const std::optional<QString>& fieldName, int row) {
    // Rows are selected by the letter in any case, but only the capital letter is expanded.
    if (!fieldName) return;
    if (tagType == u"N") {
        QString value;
        if (fieldName->contains(QStringLiteral("{#"))) {
            value = FillPlaceholders(m_grid, row, *fieldName, PlaceholderUse::ValueText);
        } else {
            const QString key = vb::UCase(*fieldName);
            if (GetColumnIndex(m_errors, m_source, key) < 0) return;
            value = m_grid.CellText(row, key);
        }
        AppendValue(doc, parent, name, valueFormat, value);
    } else if (tagType == u"C") {
        const QString value = EvalConditional(*fieldName, [&](const QString& piece) {
            return FillPlaceholders(m_grid, row, piece, PlaceholderUse::Expression);
        });
        if (!value.isEmpty()) AppendValue(doc, parent, name, valueFormat, value);
    } else if (tagType == u"G") {
        const QStringList pieces = fieldName->split(QLatin1Char(';'));
        QString fragment = name;
        // The text after the last ";" is never used: a list of pieces ends with ";".
        for (qsizetype n = 1; n < pieces.size(); ++n) {
            const QString piece =
                FillPlaceholders(m_grid, row, vb::UCase(pieces[n - 1]), PlaceholderUse::FragmentPiece);
            fragment.replace(QStringLiteral("{V%1}").arg(n), piece);
        }
        if (!IsBlank(fragment)) AppendXmlFragment(m_errors, doc, parent, fragment);
    }
}

void TemplateEngine::AppendValue(XmlDocument& doc, XmlNode parent, const QString& name,
                                 const QString& valueFormat, QString value) {
    if (vb::UCase(valueFormat) == u"NUMBER") value = vb::Format(value, NumberPattern);
    if (!IsBlank(value)) AppendXmlElementIfValue(m_errors, doc, parent, name, value);
}

} // namespace quibo
