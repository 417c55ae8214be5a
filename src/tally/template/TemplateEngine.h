#pragma once

#include "tally/XmlDocument.h"

#include <QString>

#include <cstdint>
#include <optional>

namespace quibo {

class ErrorReporter;
class LocalDatabase;
class SourceGrid;
class TallyLink;
class WorkGrid;

// A format definition's row of `QuiboMst_`.
struct TemplateFormat {
    QString name;       // `TName`
    QString type;       // `TType`: the object element's name
    int32_t number = 0; // `TNo`
    QString source;     // `TSource`, "" when Null
};

// Fills object elements from the format definitions of "Quibo20.DAT" (`QuiboMst_`, `QuiboDet_`,
// `QuiboGrp_`, read only, with bound parameters) and one row of the working grid `GR1`; the
// source grid `lstLedgerTree` tells which columns the source has. Holds references only; the
// caller keeps the database open for as long as it uses the engine. User-interface thread.
//
// ApplyTemplateAttributes and BuildTemplateElements have no trap: a run-time error (a Null
// `TagName`, an expression the evaluator refuses, a malformed conditional) ends them and goes to
// the caller's trap. The XML builders they call report their own failures and go on.
class TemplateEngine {
public:
    // Deeper than this, a group tree is taken for a cycle in the format (error 28).
    static constexpr int MaxLevel = 32;
    // Group elements one BuildTemplateElements call may make (error 7): a cycle fanning out
    // would otherwise run for ever.
    static constexpr int MaxGroups = 10000;

    TemplateEngine(ErrorReporter& errors, LocalDatabase& database, const WorkGrid& grid,
                   const SourceGrid& source);

    // The format's row, its name compared without regard to letter case; the first of several.
    std::optional<TemplateFormat> FindTemplateFormat(const QString& name) const;

    // Posts one record through the format named by the import type (the text of `cmbTableName`
    // as the run took it; its blanks are dropped): envelope by `TSource` ("ALT" exactly: the
    // ImportEnvelope, else the ImportDataEnvelope), TALLYMESSAGE, the object element named
    // `TType`, its attributes and elements, then PostToTally; returns the outcome. A run-time
    // error is reported (C03--0006) and gives "" with nothing sent; so does a format that has no
    // `QuiboMst_` row (PostRecord tells these from a failed exchange).
    // A record spread over the rows row .. lastRow takes its attributes and own tags from its first
    // row and the groups of every row, the rows numbered 1, 2, ... as the voucher posters number them.
    QString PostTemplateRecord(TallyLink& link, const QString& formatName, const QString& company, int row,
                               int lastRow = 0);

    // Sets the element's attributes from the "A" tags of the element name, in storage order: a
    // `DefValue` that is not Null is the value (blank: no attribute, no fall-back to the column);
    // else the `fieldName` column's cell when the source has the column and the cell is not
    // blank. Values untrimmed, unformatted; a later row wins.
    void ApplyTemplateAttributes(XmlDocument& doc, XmlNode element, int32_t formatNumber,
                                 const QString& elementName, int row);

    // Appends to the parent, for the element name: when the record number is 1, the "N", "C" and
    // "G" tags of the set by `SrNo`; then, whatever the record number, the groups whose
    // condition holds, by `SetNo`, each filled depth first from its own set with record number 1.
    // Voucher posters pass the record's row count so that later rows add groups only.
    void BuildTemplateElements(XmlDocument& doc, XmlNode parent, int32_t formatNumber,
                               const QString& elementName, int row, int recordNumber, int setNumber);

private:
    struct Budget {
        int groups = 0;
    };
    void BuildLevel(XmlDocument& doc, XmlNode parent, int32_t formatNumber, const QString& elementName,
                    int row, int level, int recordNumber, int setNumber, Budget& budget);
    void AppendTag(XmlDocument& doc, XmlNode parent, const QString& name, const QString& tagType,
                   const QString& valueFormat, const std::optional<QString>& fieldName, int row);
    void AppendValue(XmlDocument& doc, XmlNode parent, const QString& name, const QString& valueFormat,
                     QString value);

    ErrorReporter& m_errors;
    LocalDatabase& m_database;
    const WorkGrid& m_grid;
    const SourceGrid& m_source;
};

} // namespace quibo
