#include "platform/dialog.h"

#include <charconv>

#include "platform/host.h"

namespace {
struct ExchangeFailed {};
}  // namespace

void CDataExchange::Fail() {
    m_pDlgWnd->m_refusedControl = m_idLastControl;
    throw ExchangeFailed{};
}

int CListCtrl::InsertColumn(int column, const CString& title, int format, int width) {
    if (!m_data || column < 0) return -1;
    const size_t at = std::min<size_t>(static_cast<size_t>(column), m_data->columns.size());
    m_data->columns.insert(m_data->columns.begin() + static_cast<ptrdiff_t>(at),
                           ListViewColumn{title, width, format});
    for (auto& row : m_data->rows) row.insert(row.begin() + static_cast<ptrdiff_t>(at), CString());
    return static_cast<int>(at);
}

int CListCtrl::InsertItem(int row, const CString& text) {
    if (!m_data || row < 0) return -1;
    const size_t at = std::min<size_t>(static_cast<size_t>(row), m_data->rows.size());
    std::vector<CString> cells(std::max<size_t>(m_data->columns.size(), 1));
    cells[0] = text;
    m_data->rows.insert(m_data->rows.begin() + static_cast<ptrdiff_t>(at), std::move(cells));
    if (m_data->selected >= static_cast<int>(at)) ++m_data->selected;
    return static_cast<int>(at);
}

bool CListCtrl::SetItemText(int row, int column, const CString& text) {
    if (!m_data || row < 0 || column < 0 || static_cast<size_t>(row) >= m_data->rows.size())
        return false;
    auto& cells = m_data->rows[static_cast<size_t>(row)];
    if (static_cast<size_t>(column) >= cells.size()) cells.resize(static_cast<size_t>(column) + 1);
    cells[static_cast<size_t>(column)] = text;
    return true;
}

CString CListCtrl::GetItemText(int row, int column) const {
    if (!m_data || row < 0 || column < 0 || static_cast<size_t>(row) >= m_data->rows.size())
        return {};
    const auto& cells = m_data->rows[static_cast<size_t>(row)];
    return static_cast<size_t>(column) < cells.size() ? cells[static_cast<size_t>(column)]
                                                      : CString();
}

bool CListCtrl::SetItemState(int row, uint32_t state, uint32_t mask) {
    if (!m_data || row < 0 || static_cast<size_t>(row) >= m_data->rows.size()) return false;
    if (mask & LVIS_SELECTED) {
        if (state & LVIS_SELECTED)
            m_data->selected = row;  // single selection
        else if (m_data->selected == row)
            m_data->selected = -1;
    }
    return true;
}

bool CListCtrl::DeleteAllItems() {
    if (!m_data) return false;
    m_data->rows.clear();
    m_data->selected = -1;
    return true;
}

int CListCtrl::GetItemCount() const {
    return m_data ? static_cast<int>(m_data->rows.size()) : 0;
}

bool CListCtrl::ModifyStyle(uint32_t remove, uint32_t add) {
    if (!m_data) return false;
    m_data->style = (m_data->style & ~remove) | add;
    return true;
}

uint32_t CListCtrl::SetExtendedStyle(uint32_t exStyle) {
    if (!m_data) return 0;
    const uint32_t previous = m_data->exStyle;
    m_data->exStyle = exStyle;
    return previous;
}

void CSpinButtonCtrl::SetRange(int lower, int upper) {
    if (!m_state) return;
    m_state->lower = lower;
    m_state->upper = upper;
}

int CSpinButtonCtrl::SetPos(int position) {
    if (!m_state) return 0;
    const int previous = m_state->position;
    m_state->position = position;
    return previous;
}

int CSpinButtonCtrl::GetPos() const {
    return m_state ? m_state->position : 0;
}

void DDX_Text(CDataExchange* dx, unsigned id, CString& value) {
    ControlState& control = dx->m_pDlgWnd->Control(id);
    dx->m_idLastControl = id;
    if (dx->m_bSaveAndValidate)
        value = control.text;
    else
        control.text = value;
}

void DDX_Text(CDataExchange* dx, unsigned id, int& value) {
    ControlState& control = dx->m_pDlgWnd->Control(id);
    dx->m_idLastControl = id;
    if (!dx->m_bSaveAndValidate) {
        control.text = FormatString("%d", value);
        return;
    }
    // Blanks around the number are allowed; anything else is not a number.
    std::string text = ToUtf8(control.text);
    const size_t first = text.find_first_not_of(" \t");
    const size_t last = text.find_last_not_of(" \t");
    text = first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
    if (!text.empty() && text[0] == '+') text.erase(0, 1);
    int parsed = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        AfxMessageBox(u"Enter an integer.", MB_OK | MB_ICONEXCLAMATION);
        dx->Fail();
    }
    value = parsed;
}

void DDV_MinMaxInt(CDataExchange* dx, int value, int minimum, int maximum) {
    if (!dx->m_bSaveAndValidate || (value >= minimum && value <= maximum)) return;
    AfxMessageBox(FormatMessageText(u"Enter an integer between %1 and %2.",
                                    {FormatString("%d", minimum), FormatString("%d", maximum)}),
                  MB_OK | MB_ICONEXCLAMATION);
    dx->Fail();
}

void DDV_MaxChars(CDataExchange* dx, const CString& value, int count) {
    if (!dx->m_bSaveAndValidate) {
        dx->m_pDlgWnd->Control(dx->m_idLastControl).limit = count;
        return;
    }
    if (value.size() <= static_cast<size_t>(count)) return;
    AfxMessageBox(
        FormatMessageText(u"Enter no more than %1 characters.", {FormatString("%d", count)}),
        MB_OK | MB_ICONEXCLAMATION);
    dx->Fail();
}

void DDX_Radio(CDataExchange* dx, unsigned firstId, int& value) {
    const std::vector<unsigned> group = dx->m_pDlgWnd->RadioGroup(firstId);
    if (dx->m_bSaveAndValidate) {
        value = -1;
        for (size_t i = 0; i < group.size(); ++i)
            if (dx->m_pDlgWnd->Control(group[i]).checked) value = static_cast<int>(i);
    } else {
        for (size_t i = 0; i < group.size(); ++i)
            dx->m_pDlgWnd->Control(group[i]).checked = static_cast<int>(i) == value;
    }
}

void DDX_Control(CDataExchange* dx, unsigned id, CListCtrl& control) {
    control.Attach(&dx->m_pDlgWnd->Control(id).list);
}

void DDX_Control(CDataExchange* dx, unsigned id, CSpinButtonCtrl& control) {
    control.Attach(&dx->m_pDlgWnd->Control(id));
}

CDialog::CDialog(unsigned templateId) : m_templateId(templateId) {}
CDialog::~CDialog() = default;

int CDialog::DoModal() {
    return GetHost().RunModal(*this);
}

bool CDialog::BeginModal() {
    m_template = FindDialogTemplate(m_templateId);
    if (!m_template) return false;
    m_controls.clear();
    for (const DialogControl& c : m_template->controls) {
        ControlState state;
        if (c.kind != ControlKind::ListView && c.kind != ControlKind::UpDown) state.text = c.text;
        m_controls[c.id] = state;
    }
    m_caption = m_template->caption;
    m_ended = false;
    m_result = IDCANCEL;
    OnInitDialog();
    return true;
}

bool CDialog::OnInitDialog() {
    UpdateData(false);
    return true;
}

void CDialog::DoDataExchange(CDataExchange*) {}

bool CDialog::UpdateData(bool saveAndValidate) {
    CDataExchange dx(this, saveAndValidate);
    m_refusedControl = 0;
    try {
        DoDataExchange(&dx);
    } catch (const ExchangeFailed&) {
        return false;
    }
    return true;
}

void CDialog::OnOK() {
    if (UpdateData(true)) EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void CDialog::EndDialog(int result) {
    m_ended = true;
    m_result = result;
}

ControlState& CDialog::Control(unsigned id) {
    return m_controls[id];
}
bool CDialog::HasControl(unsigned id) const {
    return m_controls.count(id) != 0;
}

void CDialog::ClickButton(unsigned id) {
    if (id == IDOK)
        OnOK();
    else if (id == IDCANCEL)
        OnCancel();
    else
        OnCmdMsg(id, nullptr);
}

std::vector<unsigned> CDialog::RadioGroup(unsigned firstId) const {
    std::vector<unsigned> group;
    if (!m_template) return group;
    bool inGroup = false;
    for (const DialogControl& c : m_template->controls) {
        if (!inGroup) {
            if (c.id == firstId && c.kind == ControlKind::RadioButton) {
                inGroup = true;
                group.push_back(c.id);
            }
            continue;
        }
        if (c.kind != ControlKind::RadioButton || (c.style & CTRL_GROUP)) break;
        group.push_back(c.id);
    }
    return group;
}
