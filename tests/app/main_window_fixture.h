// A test fixture that starts the main window in this process, as the
// program does, with the application object set up once per suite.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/settings_removal.h"
#include "tests/app/harness.h"
#include "platform/text.h"
#include "platform/application.h"

namespace tsly::test {

class MainWindowFixture : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        win::Application& app = win::Application::Instance();
        app.SetTitle("Tessalyne");
        app.Initialize();
    }

    // No undo journal of an earlier test: each starts as on a fresh machine.
    void SetUp() override { RemoveUndoJournals(); }

    // Starts the main window with these command-line parameters.
    static std::unique_ptr<TFrmMain> Start(std::vector<std::string> parameters = {}) {
        parameters.insert(parameters.begin(), "tsly.exe");
        std::vector<char*> argv;
        for (auto& p : parameters) argv.push_back(p.data());
        auto main = std::make_unique<TFrmMain>();
        main->Create(static_cast<int>(argv.size()), argv.data());
        return main;
    }

    // Starts the main window without parameters and scans `folder`.
    static std::unique_ptr<TFrmMain> StartScanned(const std::string& folder) {
        auto main = Start();
        main->ScanFolder(folder);
        return main;
    }

    static std::vector<std::string> Rows(TFrmMain& main) {
        std::vector<std::string> rows;
        const auto& model = main.ListView_main().model();
        for (std::size_t i = 0; i < model.Count(); ++i) rows.push_back(model.Caption(i));
        return rows;
    }
};

}  // namespace tsly::test
