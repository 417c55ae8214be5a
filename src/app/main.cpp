// The quibo program: the splash, then the main window; or, given the ten
// positional arguments with POST or POSTSILENT, an unattended import that
// closes by itself. An unattended import that cannot finish leaves the window
// open where there is a display, and still ends with status 2 once it is closed.

#include "app/commands/CommandArgs.h"
#include "app/commands/HeadlessDialogs.h"
#include "app/commands/MainCommands.h"
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
#include "base/FormModel.h"
#include "base/Services.h"
#include "core/LargeBlocks.h"
#include "tally/CurlTransport.h"

#include <QApplication>
#include <QCoreApplication>

#include <iostream>

namespace {

using namespace quibo;

// Without a display nobody can choose a file.
class NoFileDialog final : public FileDialogService {
public:
    std::optional<QString> openFile(const FileDialogRequest&) override { return std::nullopt; }
};

// A second program on the same data folder ends at once; with a display the user is told in a box too.
int RefuseSecondProgram(const InstanceLock& lock, MessageBoxService* windowBoxes) {
    MessageBoxRequest box;
    box.text = lock.refusal() + QStringLiteral(", so this one ends.");
    box.title = QStringLiteral("Quibo 1.0");
    box.icon = MsgIcon::Critical;
    if (windowBoxes) windowBoxes->show(box);
    std::cerr << "quibo: " << box.text.toStdString() << '\n';
    return 2;
}

// Without a display nobody sees a window, so none is built: the commands run on the form model alone,
// with no widgets, item models or graphical platform behind them, and the boxes go to stderr.
int RunWithoutDisplay(int argc, char** argv, const QStringList& arguments) {
    QCoreApplication app(argc, argv);

    const QString folder = ResolveDataFolder();
    SystemClock clock;
    QtSettingsStore settings;
    ConsoleMessageBox boxes(std::cerr);
    NoFileDialog files;
    HeadlessDialogs dialogs(std::cerr);
    ErrorReporter errors(boxes, clock, folder);

    const InstanceLock lock(folder);
    if (!lock.acquired()) return RefuseSecondProgram(lock, nullptr);
    CurlTransport transport;

    NoStatusLine statusLine;
    NoYield yield;
    FormModel form(FormServices{boxes, files, statusLine, yield, clock, settings, errors, folder});
    MainCommands commands(form, transport, dialogs, OpenConnection);
    const FormLoadResult result = commands.Form_Load(CommandArgs::FromProcessArguments(arguments));

    if (result.closed) return ExitStatus(result, std::cerr);
    // The window would wait for a user who cannot see it.
    std::cerr << "quibo: " << result.reason.toStdString()
              << "; there is no display to show the window on, so the program ends.\n";
    return 2;
}

int RunWithWindow(int argc, char** argv, const QStringList& arguments) {
    QApplication app(argc, argv);

    const QString folder = ResolveDataFolder();
    SystemClock clock;
    QtSettingsStore settings;
    QtMessageBox boxes;
    QtFileDialog files;
    ErrorReporter errors(boxes, clock, folder);

    const InstanceLock lock(folder);
    if (!lock.acquired()) return RefuseSecondProgram(lock, &boxes);
    CurlTransport transport;

    frmSplash splash;
    splash.show();
    QApplication::processEvents();

    frmExcel window(ViewServices{boxes, files, clock, settings, errors, transport, folder, nullptr});
    const FormLoadResult result = window.Form_Load(CommandArgs::FromProcessArguments(arguments));

    if (!result.closed) window.show();
    splash.UnloadMeX();
    return window.WaitUntilClosed(result, std::cerr);
}

} // namespace

int main(int argc, char** argv) {
    // A page fault costs far more than the page's use in a large load; the loads' memory is put on
    // 2 MiB pages before anything else takes the heap. The grids give it back when their table goes.
    core::PutHeapOnLargePages(size_t(256) << 20);

    // The positional arguments as the shell split them, before Qt looks at them.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));

    return PrepareQtPlatform() ? RunWithoutDisplay(argc, argv, arguments)
                               : RunWithWindow(argc, argv, arguments);
}
