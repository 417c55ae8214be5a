#include "sources/SourceOpening.h"

#include "base/FormModel.h"
#include "base/Services.h"
#include "base/Trap.h"
#include "sources/backends/ConnectionString.h"
#include "sources/ImportTypes.h"
#include "vb/Text.h"

#include <QFileInfo>

namespace quibo {

namespace {

const QString MsgPanel = QStringLiteral("msg");

bool IsBlank(const QString& text) {
    return vb::Trim(text).isEmpty();
}

// The extension as the form reads it: the last 4 (or 5) characters, upper-cased.
QString Extension(const QString& path, int length) {
    return vb::UCase(path.right(length));
}

// The directory lookup of a path: the file's name when it names an existing file, else "".
QString LookUpFile(const QString& path) {
    const QFileInfo info(path);
    return info.isFile() ? info.fileName() : QString();
}

} // namespace

SourceOpening::SourceOpening(FormModel& form, ConnectionOpener open)
    : m_form(form), m_open(std::move(open)) {}

void SourceOpening::SelectFromCode(int index) {
    const int before = m_form.cmbTableName.ListIndex();
    m_form.cmbTableName.SetListIndex(index);
    if (m_form.cmbTableName.ListIndex() != before && cmbTableName_Click) cmbTableName_Click();
}

void SourceOpening::SelectPlaceholder() {
    const int index = int(m_form.cmbTableName.items().indexOf(SelectImportTypeEntry));
    if (index >= 0) SelectFromCode(index);
}

void SourceOpening::SelectFormerChoice(const QString& former, bool ignoreCase) {
    if (former.isEmpty()) return;
    const QStringList& items = m_form.cmbTableName.items();
    for (int i = 0; i < items.size(); ++i) {
        if (ignoreCase ? vb::UCase(items[i]) == vb::UCase(former) : items[i] == former) {
            SelectFromCode(i);
            return;
        }
    }
}

void SourceOpening::ResetToPlaceholder(bool select) {
    m_form.cmbTableName.Clear();
    m_form.cmbTableName.AddItem(SelectImportTypeEntry);
    if (select) SelectFromCode(0);
}

void SourceOpening::LoadList(const QStringList& tableNames) {
    Trap(m_form.errors(), "F01-0007A", [&] {
        for (const QString& tableName : tableNames) {
            m_form.stat(tableName, MsgPanel);
            QString n = vb::UCase(tableName);
            n.remove(QLatin1Char('$'));
            if (const auto entry = ImportTypeEntry(n)) {
                m_form.cmbTableName.AddItem(*entry);
                continue;
            }
            // A name with a blank is never a user-defined format's table.
            if (tableName.contains(QLatin1Char(' '))) continue;
            if (!IsCustomFormat(m_form, n).isEmpty()) m_form.cmbTableName.AddItem(n);
        }
        SelectPlaceholder();
    });
}

void SourceOpening::LoadListTXT(const QString& name) {
    Trap(m_form.errors(), "F01-0007B", [&] {
        if (const auto entry = TextImportTypeEntry(vb::UCase(name))) m_form.cmbTableName.AddItem(*entry);
        SelectPlaceholder();
    });
}

void SourceOpening::LoadExcelSheets(const QString& path) {
    Trap(m_form.errors(), "F01-0003", [&] {
        if (IsBlank(path)) {
            m_form.cmbTableName.Clear();
            m_form.GR1.Clear(true);
            return;
        }
        const QString fileName = LookUpFile(path);
        if (fileName.isEmpty()) return;
        const QString former = m_form.cmbTableName.Text();

        if (Extension(path, 4) == QLatin1String(".TXT") || Extension(path, 4) == QLatin1String(".CSV")) {
            ResetToPlaceholder(false);
            LoadListTXT(vb::UCase(fileName).remove(Extension(path, 4)));
        } else if (Extension(path, 4) == QLatin1String(".XLS")) {
            ResetToPlaceholder(false);
            LoadList(m_open(ExcelConnectionString(path), QString(), QString())->tables());
        } else if (Extension(path, 5) == QLatin1String(".XLSX")) {
            ResetToPlaceholder(false);
            LoadList(m_open(XlsxConnectionString(path), QString(), QString())->tables());
        }

        // The former choice again, spelled exactly as before.
        SelectFormerChoice(former, false);
    });
}

void SourceOpening::LoadAccessTables(const QString& path, const QString& /*user*/, const QString& password) {
    Trap(m_form.errors(), "F01-0005", [&] {
        const QString former = IsBlank(m_form.cmbTableName.Text()) ? QString() : m_form.cmbTableName.Text();
        if (IsBlank(path)) {
            m_form.cmbTableName.Clear();
            m_form.GR1.Clear(true);
            return;
        }
        if (LookUpFile(path).isEmpty()) return;

        ResetToPlaceholder(false);
        LoadList(m_open(AccessConnectionString(path, password), QString(), QString())->tables());

        // The former choice again, in whatever case the database spells it now.
        SelectFormerChoice(former, true);
    });
}

void SourceOpening::LoadODBCTables(const QString& dataSourceName, const QString& user,
                                   const QString& password) {
    Trap(m_form.errors(), "F01-0007", [&] {
        if (IsBlank(dataSourceName)) {
            m_form.cmbTableName.Clear();
            m_form.GR1.Clear(true);
            return;
        }
        ResetToPlaceholder(false);
        const QStringList tables = m_open(OdbcConnectionString(dataSourceName), user, password)->tables();
        m_form.stat(QString(), MsgPanel);
        LoadList(tables);
        m_form.stat(QString(), MsgPanel);
    });
}

void SourceOpening::cmdFilePath_Click() {
    Trap(m_form.errors(), "F01-0011", [&] {
        FileDialogRequest request;
        request.filter = QStringLiteral("Microsoft Excel (*.xls)|*.xls| All Files (*.*)|*.*");
        request.defaultExtension = QStringLiteral(".xls");
        const QString fileName = m_form.services().files.openFile(request).value_or(QStringLiteral(" "));
        if (!IsBlank(fileName)) {
            m_form.txtFilePath = fileName;
            LoadExcelSheets(m_form.txtFilePath);
        } else {
            ResetToPlaceholder(true);
            m_form.GR1.Clear(true);
        }
    });
}

void SourceOpening::cmdMDBPath_Click() {
    Trap(m_form.errors(), "F01-0013", [&] {
        FileDialogRequest request;
        request.filter = QStringLiteral("Microsoft Access (*.mdb)|*.mdb| All Files (*.*)|*.*");
        request.defaultExtension = QStringLiteral(".mdb");
        const QString fileName = m_form.services().files.openFile(request).value_or(QStringLiteral(" "));
        if (!IsBlank(fileName)) {
            m_form.txtMdbPath = fileName;
            LoadAccessTables(m_form.txtMdbPath, m_form.txtMDBUser, m_form.txtMDBPass);
        } else {
            ResetToPlaceholder(true);
        }
    });
}

void SourceOpening::cmdODBCPath_Click() {
    Trap(m_form.errors(), "F01-0013A", [&] {
        if (!IsBlank(m_form.txtODBCPath))
            LoadODBCTables(m_form.txtODBCPath, m_form.txtODBCUser, m_form.txtPass);
        else
            ResetToPlaceholder(true);
    });
}

void SourceOpening::txtFilePath_Validate(bool& /*Cancel*/) {
    Trap(m_form.errors(), "F01-0043", [&] {
        const QString text = m_form.txtFilePath;
        const bool refused = IsBlank(text) || (Extension(text, 4) == QLatin1String(".XLS") &&
                                               LookUpFile(vb::Trim(text)).isEmpty());
        if (refused)
            ResetToPlaceholder(true);
        else
            LoadExcelSheets(text);
    });
}

void SourceOpening::txtMdbPath_Validate(bool& /*Cancel*/) {
    Trap(m_form.errors(), "F01-0044", [&] {
        const QString text = m_form.txtMdbPath;
        const bool refused = IsBlank(text) || (Extension(text, 4) == QLatin1String(".MDB") &&
                                               LookUpFile(vb::Trim(text)).isEmpty());
        if (refused)
            ResetToPlaceholder(true);
        else
            LoadAccessTables(text, m_form.txtMDBUser, m_form.txtMDBPass);
    });
}

} // namespace quibo
