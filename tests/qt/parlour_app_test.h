// The desktop program as a player starts it: the real application on the Qt
// host, off screen, at zoom 2, with its files in a folder of its own.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QtTest/QTest>
#include <filesystem>
#include <memory>
#include <string>

#include "app/parlour_app.h"
#include "cardgames/solitaire.h"
#include "hosts/qt/qt_host.h"
#include "hosts/qt/qt_main_window.h"
#include "platform/random.h"

class ParlourAppTest : public testing::Test {
protected:
    void SetUp() override {
        dir = std::filesystem::temp_directory_path() /
              ("parlour-smoke-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        host = std::make_unique<QtHost>();
        SetResources(ParlourResources());
        app.SetDataDir(dir.string() + "/");
        // A fixed deal: now and then a deal is dead after a turn of the
        // stock, and asks whether to start again.
        runtime::ChooseNextDeal(1);
        ASSERT_TRUE(app.InitInstance());
        host->ShowFrame(app.m_pMainWnd);
        host->Window()->SetZoom(2);
        QApplication::processEvents();
    }
    void TearDown() override {
        app.ExitInstance();
        host.reset();
        std::filesystem::remove_all(dir);
    }
    CSolitaire* Klondike() const {
        return dynamic_cast<CSolitaire*>(app.m_pMainWnd->GetActiveView());
    }
    // Clicks the view pixel p in the window.
    void Tap(CPoint p) {
        const QPoint at =
            host->Window()->ViewWidget()->mapTo(host->Window(), QPoint(2 * p.x, 2 * p.y));
        QTest::mouseClick(host->Window()->windowHandle(), Qt::LeftButton, {}, at);
    }

    std::filesystem::path dir;
    std::unique_ptr<QtHost> host;
    CParlourApp app;
};
