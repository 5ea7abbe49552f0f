// A small view for exercising the platform: it records what reaches it and
// paints a fixed picture, so both hosts can be tested without any game.
#pragma once

#include <string>
#include <vector>

#include "platform/dialog.h"
#include "platform/window.h"

constexpr unsigned ID_TEST_COMMAND = 40001;
constexpr unsigned ID_TEST_POST = 40002;
constexpr unsigned ID_TEST_DOC = 40003;
constexpr unsigned ID_TEST_FRAME = 40004;
constexpr unsigned ID_TEST_APP = 40005;
constexpr unsigned ID_TEST_CHECKED = 40006;
constexpr unsigned ID_TEST_UNHANDLED = 40099;
constexpr unsigned IDD_TEST = 900;
constexpr unsigned IDC_TEST_NAME = 1001;
constexpr unsigned IDC_TEST_NUMBER = 1002;
constexpr unsigned IDC_TEST_RADIO = 1003;  // 1003..1005, one group
constexpr unsigned IDC_TEST_LIST = 1006;
constexpr unsigned IDC_TEST_CLEAR = 1007;

// The view's table colour.
constexpr COLORREF kTestBackground = RGB(0, 127, 0);
// Drawn at (10, 10, 30, 20) on every paint.
constexpr COLORREF kTestMark = RGB(255, 255, 0);

class CTestView : public CView {
public:
    bool PreCreateWindow(CREATESTRUCT& cs) override;
    void OnDraw(CDC* dc) override;
    void OnLButtonDown(unsigned flags, CPoint point) override;
    void OnLButtonUp(unsigned flags, CPoint point) override;
    void OnMouseMove(unsigned flags, CPoint point) override;
    void OnLButtonDblClk(unsigned flags, CPoint point) override;
    void OnTimer(uintptr_t id) override;
    bool OnCmdMsg(unsigned id, CCmdUI* update) override;

    std::vector<std::string> log;
    int paints = 0;
    uint32_t sleepOnTimer = 0;  // each tick's handler sleeps this long, as an animation does
    CRect lastClipBox;
    CBrush brush;
};

class CTestDocument : public CDocument {
public:
    bool OnCmdMsg(unsigned id, CCmdUI* update) override;
    std::vector<std::string> log;
};

// The frame's own route (view, itself, application) is the framework's.
class CTestFrame : public CFrameWnd {};

class CTestApp : public CWinApp {
public:
    bool OnCmdMsg(unsigned id, CCmdUI* update) override;
    std::vector<std::string> log;
};

// A dialog with every kind of exchange: text, a ranged integer, a radio
// group and a list that a button clears.
class CTestDialog : public CDialog {
public:
    CTestDialog() : CDialog(IDD_TEST) {}
    bool OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    bool OnCmdMsg(unsigned id, CCmdUI* update) override;

    CString m_name = u"Alice";
    int m_number = 5;
    int m_choice = 1;
    CListCtrl m_list;
};

// Installs the test dialog template as the program's resources.
void InstallTestResources();
