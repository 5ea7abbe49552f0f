// Modal dialogs run from a template, with data exchange between the dialog's
// fields and its controls.
#pragma once

#include <map>
#include <vector>

#include "platform/resources.h"
#include "platform/window.h"

// List-view styles and states the program uses.
enum : uint32_t {
    LVS_SINGLESEL = 0x0004,
    LVS_SHOWSELALWAYS = 0x0008,
    LVS_EDITLABELS = 0x0200,
    LVS_EX_GRIDLINES = 0x0001,
    LVS_EX_FULLROWSELECT = 0x0020,
    LVIS_SELECTED = 0x0002,
    LVCFMT_LEFT = 0x0000,
};

// A last column's width that takes the rest of the list.
constexpr int LVSCW_AUTOSIZE_USEHEADER = -2;

struct ListViewColumn {
    CString title;
    int width = 0;
    int format = LVCFMT_LEFT;
};

struct ListViewData {
    std::vector<ListViewColumn> columns;
    std::vector<std::vector<CString>> rows;  // cells, one per column
    int selected = -1;
    uint32_t style = 0;
    uint32_t exStyle = 0;
};

// The live contents of one control while its dialog is open.
struct ControlState {
    CString text;
    bool checked = false;
    ListViewData list;
    int lower = 0, upper = 100, position = 0;  // up-down control
    int limit = 0;                             // edit box: most characters it takes, 0 any
};

class CListCtrl {
public:
    void Attach(ListViewData* data) { m_data = data; }
    bool IsAttached() const { return m_data != nullptr; }
    int InsertColumn(int column, const CString& title, int format = LVCFMT_LEFT, int width = -1);
    int InsertItem(int row, const CString& text);
    bool SetItemText(int row, int column, const CString& text);
    CString GetItemText(int row, int column) const;
    bool SetItemState(int row, uint32_t state, uint32_t mask);
    bool DeleteAllItems();
    int GetItemCount() const;
    bool ModifyStyle(uint32_t remove, uint32_t add);
    uint32_t SetExtendedStyle(uint32_t exStyle);
    const ListViewData* Data() const { return m_data; }

private:
    ListViewData* m_data = nullptr;
};

class CSpinButtonCtrl {
public:
    void Attach(ControlState* state) { m_state = state; }
    void SetRange(int lower, int upper);
    int SetPos(int position);
    int GetPos() const;

private:
    ControlState* m_state = nullptr;
};

class CDialog;

// Direction and failure of one data exchange.
class CDataExchange {
public:
    CDataExchange(CDialog* dialog, bool saveAndValidate)
        : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate) {}
    // Gives up the exchange after the player was told why.
    [[noreturn]] void Fail();

    CDialog* m_pDlgWnd;
    bool m_bSaveAndValidate;
    unsigned m_idLastControl = 0;  // the control a following DDV_ call checks
};

void DDX_Text(CDataExchange* dx, unsigned id, CString& value);
void DDX_Text(CDataExchange* dx, unsigned id, int& value);
void DDV_MinMaxInt(CDataExchange* dx, int value, int minimum, int maximum);
// The edit box just exchanged takes at most count characters (UTF-16 units):
// its box refuses more, and a longer text is refused with "Enter no more than
// %1 characters.".
void DDV_MaxChars(CDataExchange* dx, const CString& value, int count);
void DDX_Radio(CDataExchange* dx, unsigned firstId, int& value);
void DDX_Control(CDataExchange* dx, unsigned id, CListCtrl& control);
void DDX_Control(CDataExchange* dx, unsigned id, CSpinButtonCtrl& control);

class CDialog : public CWnd {
public:
    explicit CDialog(unsigned templateId);
    ~CDialog() override;

    int DoModal();
    virtual bool OnInitDialog();
    virtual void DoDataExchange(CDataExchange* dx);
    bool UpdateData(bool saveAndValidate = true);
    virtual void OnOK();
    virtual void OnCancel();
    void EndDialog(int result);

    void SetWindowText(const CString& text) { m_caption = text; }
    const CString& GetWindowText() const { return m_caption; }
    unsigned TemplateId() const { return m_templateId; }

    // For the hosts: the template, the controls' live contents, and the
    // dialog's answer to a button press.
    const DialogTemplate* Template() const { return m_template; }
    // Fills the controls from the template and runs OnInitDialog.
    bool BeginModal();
    ControlState& Control(unsigned id);
    bool HasControl(unsigned id) const;
    // A button was pressed with the controls as they are.
    void ClickButton(unsigned id);
    bool HasEnded() const { return m_ended; }
    // The control whose value the last exchange refused (0 for none): the
    // host gives it the focus, its text selected, to be typed again.
    unsigned RefusedControl() const { return m_refusedControl; }
    int Result() const { return m_result; }
    const std::map<unsigned, ControlState>& Controls() const { return m_controls; }
    // The radio buttons of the group that starts with firstId, in order.
    std::vector<unsigned> RadioGroup(unsigned firstId) const;

private:
    unsigned m_templateId;
    const DialogTemplate* m_template = nullptr;
    CString m_caption;
    std::map<unsigned, ControlState> m_controls;
    bool m_ended = false;
    int m_result = IDCANCEL;
    unsigned m_refusedControl = 0;
    friend class CDataExchange;
};
