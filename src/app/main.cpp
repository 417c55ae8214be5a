// The quibo program: the splash, then the main window; or, given the ten
// positional arguments with POST or POSTSILENT, an unattended import that
// closes by itself.

#include "app/commands/CommandArgs.h"
#include "app/commands/HeadlessDialogs.h"
#include "app/startup/ConsoleMessageBox.h"
#include "app/startup/DataFolder.h"
#include "app/startup/Display.h"
#include "app/startup/InstanceLock.h"
#include "app/startup/QtSettingsStore.h"
#include "app/view/frmExcel.h"
#include "app/view/frmSplash.h"
#include "app/view/QtFileDialog.h"
#include "app/view/QtMessageBox.h"
#include "base/ErrorReporter.h"
#include "base/Services.h"
#include "tally/CurlTransport.h"

#include <QApplication>

#include <iostream>

namespace {

// Without a display nobody can choose a file.
class NoFileDialog final : public quibo::FileDialogService {
public:
    std::optional<QString> openFile(const quibo::FileDialogRequest&) override { return std::nullopt; }
};

} // namespace

int main(int argc, char** argv) {
    using namespace quibo;

    // The positional arguments as the shell split them, before Qt looks at them.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));

    const bool headless = PrepareQtPlatform();
    QApplication app(argc, argv);

    const QString folder = ResolveDataFolder();
    SystemClock clock;
    QtSettingsStore settings;
    ConsoleMessageBox consoleBoxes(std::cerr);
    QtMessageBox windowBoxes;
    MessageBoxService& boxes = headless ? static_cast<MessageBoxService&>(consoleBoxes) : windowBoxes;
    NoFileDialog noFiles;
    QtFileDialog fileDialog;
    FileDialogService& files = headless ? static_cast<FileDialogService&>(noFiles) : fileDialog;
    HeadlessDialogs headlessDialogs(std::cerr);
    ErrorReporter errors(boxes, clock, folder);

    const InstanceLock lock(folder);
    if (!lock.acquired()) {
        MessageBoxRequest box;
        box.text = lock.refusal() + QStringLiteral(", so this one ends.");
        box.title = QStringLiteral("Quibo 1.0");
        box.icon = MsgIcon::Critical;
        if (!headless) windowBoxes.show(box);
        std::cerr << "quibo: " << box.text.toStdString() << '\n';
        return 2;
    }
    CurlTransport transport;

    frmSplash splash;
    if (!headless) {
        splash.show();
        QApplication::processEvents();
    }

    frmExcel window(ViewServices{boxes, files, clock, settings, errors, transport, folder,
                                 headless ? &headlessDialogs : nullptr});
    const FormLoadResult result = window.Form_Load(CommandArgs::FromProcessArguments(arguments));

    if (result.closed) {
        splash.UnloadMeX();
        if (!result.failed) return 0;
        std::cerr << "quibo: " << result.reason.toStdString() << '\n';
        return 2;
    }
    if (headless) {
        // The window would wait for a user who cannot see it.
        std::cerr << "quibo: " << result.reason.toStdString()
                  << "; there is no display to show the window on, so the program ends.\n";
        return 2;
    }
    window.show();
    splash.UnloadMeX();
    return QApplication::exec();
}
