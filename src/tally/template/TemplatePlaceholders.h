#pragma once

#include <QString>

namespace quibo {

class WorkGrid;

// Where a piece of template text stands, which decides the placeholders it knows.
enum class PlaceholderUse {
    ValueText,      // "N" text: {#k} is the cell
    Expression,     // "C" expression: {KEY} and {#k} are the cell
    FragmentPiece,  // "G" piece: {KEY} is the cell, escaped for XML
    GroupCondition, // group condition: {KEY} and {$k} the cell, {#k} its number, {#REC}, {#SET}
};

// Replaces the placeholders of one row of the working grid in the text: column by column from 1,
// {KEY} then {#k} then {$k}, each occurrence, letter case significant; then {#REC} and {#SET}.
// A replaced value that looks like a placeholder of a later column is replaced in turn. In a
// group condition {#k} is the leading number of the cell in plain decimal ("0" when none); there
// the record and set numbers fill {#REC} and {#SET}.
QString FillPlaceholders(const WorkGrid& grid, int row, const QString& text, PlaceholderUse use,
                         int recordNumber = 1, int setNumber = 1);

} // namespace quibo
