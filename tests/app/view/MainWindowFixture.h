#pragma once

// The main window over scripted boxes and file dialogs, a settings store in memory and a simulated
// Tally server with two companies, "Acme Traders" current.

#include "app/commands/FormDialogs.h"
#include "app/view/frmExcel.h"
#include "base/ErrorReporter.h"
#include "base/MemorySettingsStore.h"
#include "support/TestServices.h"
#include "tally-sim/Simulator.h"
#include "tally/CurlTransport.h"

#include <gtest/gtest.h>

#include <memory>

namespace quibo::test {

class RecordingDialogs final : public FormDialogs {
public:
    void ShowOptionsDialog() override { ++optionsShown; }
    void ShowAboutBox() override { ++aboutShown; }
    int optionsShown = 0;
    int aboutShown = 0;
};

class MainWindowFixture : public ::testing::Test {
protected:
    void SetUp() override {
        sim::Options options;
        options.companies = {"Acme Traders", "Beta Ltd"};
        server = std::make_unique<sim::Simulator>(options);
        const int port = server->start(0);
        settings.set(QStringLiteral("ServerAddress"), QStringLiteral("127.0.0.1"));
        settings.set(QStringLiteral("PortNo"), QString::number(port));
        MakeWindow(&dialogs);
    }

    void MakeWindow(FormDialogs* formDialogs) {
        window = std::make_unique<frmExcel>(
            ViewServices{boxes, files, clock, settings, errors, transport, folder.path(), formDialogs});
    }

    template <class T> T* Child(const char* name) {
        T* child = window->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }

    TempFolder folder;
    ScriptedMessageBox boxes;
    ScriptedFileDialog files;
    FakeClock clock;
    MemorySettingsStore settings;
    ErrorReporter errors{boxes, clock, folder.path(), ErrorReporter::Platform{}};
    CurlTransport transport{HttpTimeouts{5, 5}};
    RecordingDialogs dialogs;
    std::unique_ptr<sim::Simulator> server;
    std::unique_ptr<frmExcel> window;
};

} // namespace quibo::test
