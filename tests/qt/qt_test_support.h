// What the Qt host tests share: the resources, a frame with the test view
// shown in the desktop window, and a way to act inside a modal window.
#pragma once

#include <gtest/gtest.h>

#include <QWidget>
#include <functional>
#include <memory>

#include "hosts/qt/qt_host.h"
#include "hosts/qt/qt_main_window.h"
#include "tests/platform/test_view.h"

constexpr unsigned ID_TEST_QUIT_3 = 40200;  // quits with exit code 3
constexpr unsigned IDD_QT_SPIN = 901;
constexpr unsigned IDC_QT_ICON = 2000;
constexpr unsigned IDC_QT_VALUE = 2001;
constexpr unsigned IDC_QT_SPIN = 2002;

// The test dialog and IDD_QT_SPIN, menu 128, the soft keys, Ctrl+T and Ctrl+U, the strings
// and an icon "ICON128" (a 3 x 2 image, red but for a blue top-left pixel).
void InstallQtTestResources();

// Runs action on the modal window of the given class as soon as it is up;
// the caller then blocks in the modal's own loop.
void WhenModal(const char* className, std::function<void(QWidget*)> action);

// The frame with the test view, shown by a Qt host at zoom 2.
class QtHostTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    void Show();

    QtMainWindow* Window() const { return host->Window(); }
    QWidget* ViewWidget() const { return host->Window()->ViewWidget(); }
    // A point of the view widget in the coordinates of its top-level window.
    QPoint InWindow(QPoint viewWidgetPoint) const;

    class CQuitApp : public CTestApp {
    public:
        bool OnCmdMsg(unsigned id, CCmdUI* update) override;
    };

    CQuitApp app;
    CTestDocument document;
    CTestFrame frame;
    CTestView* view = nullptr;
    std::unique_ptr<QtHost> host;
};
