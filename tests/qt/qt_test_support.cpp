#include "tests/qt/qt_test_support.h"

#include <QApplication>
#include <QTimer>
#include <QtTest/QTest>
#include <vector>

#include "platform/resources.h"

namespace {

// A small 24-bit BMP, rows bottom-up, each padded to four bytes.
std::vector<unsigned char> IconBmp() {
    const int width = 3, height = 2, stride = 12;
    std::vector<unsigned char> bytes(54 + stride * height, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<unsigned char>(v >> (8 * i));
    };
    bytes[0] = 'B';
    bytes[1] = 'M';
    put32(2, static_cast<uint32_t>(bytes.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, width);
    put32(22, height);
    bytes[26] = 1;
    bytes[28] = 24;
    for (int row = 0; row < height; ++row)
        for (int x = 0; x < width; ++x) {
            unsigned char* p = &bytes[54 + row * stride + x * 3];  // blue, green, red
            const bool topLeft = row == height - 1 && x == 0;
            p[0] = topLeft ? 255 : 0;
            p[2] = topLeft ? 0 : 255;
        }
    return bytes;
}

void WhenModalTry(const char* className, std::function<void(QWidget*)> action, int attempts) {
    QTimer::singleShot(10, [=] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal->isVisible() && modal->inherits(className))
            action(modal);
        else if (attempts > 0)
            WhenModalTry(className, action, attempts - 1);
        else
            ADD_FAILURE() << "no modal " << className << " appeared";
    });
}

}  // namespace

void InstallQtTestResources() {
    InstallTestResources();
    static const std::vector<unsigned char> icon = IconBmp();
    static const EmbeddedImage images[] = {{"ICON128", icon}};
    static const MenuResource menus[] = {{128,
                                          u"Menu",
                                          {{ID_TEST_COMMAND, u"Test command"},
                                           {},
                                           {ID_TEST_CHECKED, u"Checked"},
                                           {ID_TEST_UNHANDLED, u"Unhandled"},
                                           {},
                                           {ID_TEST_QUIT_3, u"Quit"}}}};
    static const SoftKeyBar bars[] = {
        {128, {{0xFFFE, ID_TEST_APP, 4, 0x10, 301, 0xFFFF}, {0xFFFE, 402, 4, 0x18, 302, 0}}}};
    static const Accelerator accelerators[] = {{true, 'T', ID_TEST_COMMAND},
                                               {true, 'U', ID_TEST_UNHANDLED}};
    static const StringResource strings[] = {{301, u"Deal"}, {302, u"More"}};
    // The test dialog and one with an icon, shared labels and an up-down control.
    static const std::vector<DialogTemplate> dialogs = {
        *FindDialogTemplate(IDD_TEST),
        {IDD_QT_SPIN,
         u"Spin",
         {110, 60},
         8,
         u"MS Shell Dlg",
         {
             {ControlKind::Icon, IDC_QT_ICON, u"128", {7, 7, 28, 27}, 0},
             {ControlKind::Static, 0xFFFFFFFFu, u"&Hor", {34, 30, 60, 38}, 0},
             {ControlKind::Static, 0xFFFFFFFFu, u"Ver", {64, 30, 90, 38}, 0},
             {ControlKind::Edit, IDC_QT_VALUE, u"", {34, 7, 61, 21}, CTRL_BORDER | CTRL_NUMBER},
             {ControlKind::UpDown,
              IDC_QT_SPIN,
              u"",
              {60, 7, 71, 21},
              CTRL_AUTOBUDDY | CTRL_SETBUDDYINT | CTRL_ALIGNRIGHT},
             {ControlKind::DefPushButton, IDOK, u"OK", {30, 42, 80, 56}, 0},
         }},
    };
    ResourceTable table = GetResources();
    table.dialogs = dialogs;
    table.images = images;
    table.menus = menus;
    table.softKeyBars = bars;
    table.accelerators = accelerators;
    table.strings = strings;
    SetResources(table);
}

void WhenModal(const char* className, std::function<void(QWidget*)> action) {
    WhenModalTry(className, std::move(action), 500);
}

bool QtHostTest::CQuitApp::OnCmdMsg(unsigned id, CCmdUI* update) {
    if (id == ID_TEST_QUIT_3) return HandleCommand(update, [] { GetHost().Quit(3); });
    return CTestApp::OnCmdMsg(id, update);
}

void QtHostTest::SetUp() {
    Show();
}

void QtHostTest::Show() {
    InstallQtTestResources();
    host = std::make_unique<QtHost>();
    frame.SetAppTitle(u"Parlour");
    frame.SetResourceId(128);
    frame.SetDocument(&document);
    document.SetFrame(&frame);
    document.SetTitle(u"Test");
    auto owned = std::make_unique<CTestView>();
    view = owned.get();
    view->SetDocument(&document);
    frame.SetActiveView(std::move(owned));
    ASSERT_TRUE(view->Create(CRect(0, 0, 240, 268), AFX_IDW_PANE_FIRST));
    host->ShowFrame(&frame);
    host->Window()->SetZoom(2);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(host->Window()));
    QApplication::processEvents();
}

void QtHostTest::TearDown() {
    host.reset();
}

QPoint QtHostTest::InWindow(QPoint viewWidgetPoint) const {
    return ViewWidget()->mapTo(Window(), viewWidgetPoint);
}
