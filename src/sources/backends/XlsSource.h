#pragma once

#include "sources/backends/Source.h"

namespace quibo {

// An .xls workbook, standing in for the Jet provider with "Excel 8.0;HDR=YES;". Each worksheet is a
// table named "Name$". BIFF8 workbooks are read by BiffBook, older ones by FreeXL; an encrypted one is
// refused.
class XlsSource final : public Source {
public:
    enum class Reader { Automatic, FreeXL };

    // Opens the workbook for its sheet list; raises when it is missing or not a workbook. FreeXL
    // may be asked for by name, to hold the own reader's results against it.
    explicit XlsSource(QString path, Reader reader = Reader::Automatic);

    QStringList tables() override;
    SourceTable read(const QString& table, const QString& orderBy = {}) override;
    QString describe() const override;

private:
    QString m_path;
    bool m_freexl = false;
    QStringList m_sheets; // "Name$", in the workbook's order
};

} // namespace quibo
