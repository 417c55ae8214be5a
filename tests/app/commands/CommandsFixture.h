#pragma once

// The main form's commands over a headless form model, with scripted
// dialogs, a real HTTP transport and, on request, a simulated Tally server.

#include "app/commands/FormDialogs.h"
#include "app/commands/MainCommands.h"
#include "base/FormFixture.h"
#include "tally-sim/Simulator.h"
#include "tally/CurlTransport.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace quibo::test {

class ScriptedDialogs final : public FormDialogs {
public:
    void ShowOptionsDialog() override {
        ++optionsShown;
        if (onOptions) onOptions();
    }
    void ShowAboutBox() override { ++aboutShown; }

    int optionsShown = 0;
    int aboutShown = 0;
    std::function<void()> onOptions; // what the user does in the dialog
};

struct CommandsHarness : FormHarness {
    CurlTransport transport{HttpTimeouts{5, 5}};
    ScriptedDialogs dialogs;
    std::unique_ptr<MainCommands> commands = std::make_unique<MainCommands>(form, transport, dialogs);
    std::unique_ptr<sim::Simulator> server;
    int port = 0;

    // Starts a simulated server holding `companies` (the first is open) and points the settings at it.
    sim::Simulator& StartServer(std::vector<std::string> companies = {"Acme Traders"},
                                std::function<void(sim::Options&)> tune = {}) {
        sim::Options options;
        options.companies = std::move(companies);
        if (tune) tune(options);
        server = std::make_unique<sim::Simulator>(options);
        port = server->start(0);
        settings.set(QStringLiteral("ServerAddress"), QStringLiteral("127.0.0.1"));
        settings.set(QStringLiteral("PortNo"), QString::number(port));
        return *server;
    }

    // A port nobody listens on: a server started and stopped again.
    int DeadPort() {
        sim::Simulator gone;
        const int p = gone.start(0);
        gone.stop();
        return p;
    }

    size_t Requests() const { return server ? server->requestLog().size() : 0; }
};

class CommandsTest : public ::testing::Test, public CommandsHarness {};

} // namespace quibo::test
