#include "tests/platform/test_view.h"

#include <string>

#include "platform/resources.h"

bool CTestView::PreCreateWindow(CREATESTRUCT& cs) {
    brush.CreateSolidBrush(kTestBackground);
    cs.lpszClass = AfxRegisterWndClass(CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS, IDC_ARROW, &brush);
    return CView::PreCreateWindow(cs);
}

void CTestView::OnDraw(CDC* dc) {
    ++paints;
    dc->GetClipBox(&lastClipBox);
    dc->FillSolidRect(CRect(10, 10, 30, 20), kTestMark);
}

namespace {
std::string At(const char* what, CPoint p) {
    return std::string(what) + " " + std::to_string(p.x) + " " + std::to_string(p.y);
}
}  // namespace

void CTestView::OnLButtonDown(unsigned, CPoint p) {
    log.push_back(At("down", p));
}
void CTestView::OnLButtonUp(unsigned, CPoint p) {
    log.push_back(At("up", p));
}
void CTestView::OnMouseMove(unsigned, CPoint p) {
    log.push_back(At("move", p));
}
void CTestView::OnLButtonDblClk(unsigned, CPoint p) {
    log.push_back(At("dblclk", p));
}
void CTestView::OnTimer(uintptr_t id) {
    log.push_back("timer " + std::to_string(id) + " at " + std::to_string(GetTickCount()));
    if (sleepOnTimer) Sleep(sleepOnTimer);
}

bool CTestView::OnCmdMsg(unsigned id, CCmdUI* update) {
    switch (id) {
        case ID_TEST_COMMAND:
            return HandleCommand(update, [this] {
                log.push_back("command");
                PostCommand(ID_TEST_POST);
                log.push_back("command done");
            });
        case ID_TEST_POST:
            return HandleCommand(update, [this] { log.push_back("posted"); });
        case ID_TEST_CHECKED:
            return HandleCommand(
                update, [] {},
                [](CCmdUI& ui) {
                    ui.Enable(true);
                    ui.SetCheck(true);
                });
    }
    return CView::OnCmdMsg(id, update);
}

bool CTestDocument::OnCmdMsg(unsigned id, CCmdUI* update) {
    if (id == ID_TEST_DOC || id == ID_TEST_COMMAND)
        return HandleCommand(update, [this] { log.push_back("document"); });
    return CDocument::OnCmdMsg(id, update);
}

bool CTestApp::OnCmdMsg(unsigned id, CCmdUI* update) {
    if (id == ID_TEST_APP || id == ID_TEST_DOC)
        return HandleCommand(update, [this] { log.push_back("app"); });
    return CWinApp::OnCmdMsg(id, update);
}

bool CTestDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    m_list.InsertColumn(0, u"Pos", LVCFMT_LEFT, 30);
    m_list.InsertColumn(1, u"Name", LVCFMT_LEFT, 95);
    m_list.InsertItem(0, u"1");
    m_list.SetItemText(0, 1, u"Bob");
    m_list.InsertItem(1, u"2");
    m_list.SetItemText(1, 1, u"Carol");
    m_list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
    SetWindowText(u"Test dialog");
    return true;
}

void CTestDialog::DoDataExchange(CDataExchange* dx) {
    DDX_Control(dx, IDC_TEST_LIST, m_list);
    DDX_Text(dx, IDC_TEST_NAME, m_name);
    DDX_Text(dx, IDC_TEST_NUMBER, m_number);
    DDV_MinMaxInt(dx, m_number, 2, 16);
    DDX_Radio(dx, IDC_TEST_RADIO, m_choice);
}

bool CTestDialog::OnCmdMsg(unsigned id, CCmdUI* update) {
    if (id == IDC_TEST_CLEAR) return HandleCommand(update, [this] { m_list.DeleteAllItems(); });
    return CDialog::OnCmdMsg(id, update);
}

void InstallTestResources() {
    static const DialogTemplate dialogs[] = {
        {IDD_TEST,
         u"Test",
         {160, 120},
         8,
         u"MS Sans Serif",
         {
             {ControlKind::Static, 999, u"Name:", {7, 7, 47, 15}, 0},
             {ControlKind::Edit,
              IDC_TEST_NAME,
              u"",
              {50, 7, 150, 21},
              CTRL_BORDER | CTRL_AUTOHSCROLL},
             {ControlKind::Edit, IDC_TEST_NUMBER, u"", {50, 25, 90, 39}, CTRL_BORDER | CTRL_NUMBER},
             {ControlKind::RadioButton, IDC_TEST_RADIO, u"One", {7, 43, 57, 53}, CTRL_GROUP},
             {ControlKind::RadioButton, IDC_TEST_RADIO + 1, u"Two", {57, 43, 107, 53}, 0},
             {ControlKind::RadioButton, IDC_TEST_RADIO + 2, u"Three", {107, 43, 157, 53}, 0},
             {ControlKind::ListView,
              IDC_TEST_LIST,
              u"",
              {7, 57, 153, 95},
              CTRL_BORDER | CTRL_REPORT},
             {ControlKind::PushButton, IDC_TEST_CLEAR, u"Clear", {7, 100, 57, 114}, CTRL_GROUP},
             {ControlKind::DefPushButton, IDOK, u"OK", {100, 100, 150, 114}, 0},
         }},
    };
    static ResourceTable table;
    table.dialogs = dialogs;
    SetResources(table);
}
