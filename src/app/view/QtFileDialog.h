#pragma once

#include "base/Services.h"

namespace quibo {

// The file-open dialog. The form's filters come as "description|pattern|..."
// and are turned into Qt's.
class QtFileDialog final : public FileDialogService {
public:
    std::optional<QString> openFile(const FileDialogRequest& request) override;

    // "Microsoft Excel (*.xls)|*.xls| All Files (*.*)|*.*" → "Microsoft Excel (*.xls);;All Files (*)".
    static QString QtFilter(const QString& filter);
};

} // namespace quibo
