#include "app/view/QtFileDialog.h"

#include "app/view/ModalDialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QRegularExpression>

namespace quibo {

QString QtFileDialog::QtFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        description.remove(QRegularExpression(QStringLiteral("\\s*\\([^)]*\\)$")));
        QString pattern = parts[i + 1].trimmed();
        pattern.replace(QLatin1Char(';'), QLatin1Char(' '));
        // "*.*" also means files without an extension.
        if (pattern == QLatin1String("*.*")) pattern = QStringLiteral("*");
        filters.append(description + QStringLiteral(" (") + pattern + QLatin1Char(')'));
    }
    return filters.join(QStringLiteral(";;"));
}

std::optional<QString> QtFileDialog::openFile(const FileDialogRequest& request) {
    QFileDialog dialog(QApplication::activeWindow(), request.title, request.initialPath.trimmed(),
                       QtFilter(request.filter));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    QString suffix = request.defaultExtension;
    if (suffix.startsWith(QLatin1Char('.'))) suffix.remove(0, 1);
    dialog.setDefaultSuffix(suffix);
    if (ExecModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

} // namespace quibo
