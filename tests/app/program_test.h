// The whole program on the test host, started as the desktop starts it, with
// its data in a folder of the test's own.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "app/main_frame.h"
#include "app/parlour_app.h"
#include "hosts/headless/headless_host.h"
#include "tests/hiscores/handheld_tables.h"

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    void Start();
    // Exit as the program ends: ExitInstance, then the application goes.
    void Stop();
    CMainFrame& Frame() { return *static_cast<CMainFrame*>(app->m_pMainWnd); }
    CCmdUI Query(unsigned id) { return Frame().QueryCommand(id); }
    // Sends the command when it is enabled, as the menu would.
    void Command(unsigned id);
    void Answer(const std::string& line);
    // A file holding one result, "Ann", in the given table.
    void WriteScoresFile(int table);

    HeadlessHost host{100000};
    std::filesystem::path dir;
    std::unique_ptr<CParlourApp> app;
};
