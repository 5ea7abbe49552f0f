// The desktop program. Until the games arrive it shows the platform's test
// view, with a small menu to try the window's parts.
#include "hosts/qt/qt_host.h"
#include "platform/resources.h"
#include "tests/platform/test_view.h"

namespace {

constexpr unsigned ID_DEMO_DIALOG = 40100;

// The test view, telling the status text what reached it.
class CDemoView : public CTestView {
public:
    void OnLButtonDown(unsigned flags, CPoint p) override {
        CTestView::OnLButtonDown(flags, p);
        Show();
    }
    void OnLButtonUp(unsigned flags, CPoint p) override {
        CTestView::OnLButtonUp(flags, p);
        Show();
    }
    void OnMouseMove(unsigned flags, CPoint p) override {
        CTestView::OnMouseMove(flags, p);
        Show();
    }
    void OnLButtonDblClk(unsigned flags, CPoint p) override {
        CTestView::OnLButtonDblClk(flags, p);
        Show();
    }

private:
    void Show() { m_pFrame->SetStatusText(FromUtf8(log.back())); }
};

class CDemoApp : public CWinApp {
public:
    bool OnCmdMsg(unsigned id, CCmdUI* update) override {
        switch (id) {
            case ID_FILE_NEW:
                return HandleCommand(update, [this] {
                    m_pMainWnd->SetStatusText(u"");
                    m_pMainWnd->GetActiveView()->Invalidate();
                });
            case ID_DEMO_DIALOG:
                return HandleCommand(update, [] { CTestDialog().DoModal(); });
            case ID_APP_EXIT:
                return HandleCommand(update, [] { GetHost().Quit(0); });
        }
        return CWinApp::OnCmdMsg(id, update);
    }
};

void InstallDemoResources() {
    InstallTestResources();
    static const MenuResource menus[] = {{128,
                                          u"Menu",
                                          {{ID_TEST_COMMAND, u"Test command"},
                                           {ID_TEST_CHECKED, u"Checked item"},
                                           {},
                                           {ID_DEMO_DIALOG, u"Test dialog..."},
                                           {ID_TEST_UNHANDLED, u"Unhandled"},
                                           {},
                                           {ID_APP_EXIT, u"Exit"}}}};
    static const SoftKeyBar bars[] = {
        {128, {{0xFFFE, ID_FILE_NEW, 4, 0x10, 301, 0xFFFF}, {0xFFFE, 402, 4, 0x18, 302, 0}}}};
    static const Accelerator accelerators[] = {{true, 'N', ID_FILE_NEW}};
    static const StringResource strings[] = {{301, u"New"}, {302, u"Menu"}};
    static ResourceTable table = GetResources();
    table.menus = menus;
    table.softKeyBars = bars;
    table.accelerators = accelerators;
    table.strings = strings;
    SetResources(table);
}

}  // namespace

int main(int argc, char** argv) {
    QtHost host(argc, argv);
    InstallDemoResources();

    CDemoApp app;
    CTestDocument document;
    CFrameWnd frame;
    app.m_pMainWnd = &frame;
    frame.SetAppTitle(u"Parlour");
    frame.SetDocument(&document);
    document.SetFrame(&frame);
    document.SetTitle(u"Test");
    frame.SetActiveView(std::make_unique<CDemoView>());
    frame.GetActiveView()->Create(CRect(0, 0, frame.ViewSize().cx, frame.ViewSize().cy),
                                  AFX_IDW_PANE_FIRST);

    host.ShowFrame(&frame);
    return host.Exec();
}
