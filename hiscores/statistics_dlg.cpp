#include "hiscores/statistics_dlg.h"

#include "platform/host.h"
#include "res/resource.h"

namespace {
CString Seconds(uint32_t seconds) {
    return FormatString("%u:%02u", seconds / 60, seconds % 60);
}
}  // namespace

CStatisticsDlg::CStatisticsDlg(CStatisticsStore& store, const CString& game)
    : CDialog(IDD_STATISTICS), m_store(store), m_game(game) {}

bool CStatisticsDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_list.SetExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    m_list.InsertColumn(0, m_game, LVCFMT_LEFT, 110);
    m_list.InsertColumn(1, u"", LVCFMT_LEFT, LVSCW_AUTOSIZE_USEHEADER);
    // Another copy of the program may have played since.
    m_store.Load();
    FillList();
    SetWindowText(u"Statistics: " + m_game);
    return true;
}

void CStatisticsDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_STATISTICS_LIST, m_list);
}

bool CStatisticsDlg::OnCmdMsg(unsigned id, CCmdUI* update) {
    if (id == IDC_STATISTICS_RESET) return HandleCommand(update, [this] { OnReset(); });
    return CDialog::OnCmdMsg(id, update);
}

void CStatisticsDlg::FillList() {
    const GameFigures f = m_store.Figures(m_game);
    const uint32_t rate = f.played ? (200 * f.won + f.played) / (2 * f.played) : 0;  // rounded
    const std::pair<const char16_t*, CString> rows[] = {
        {u"Games played", FormatString("%u", f.played)},
        {u"Games won", FormatString("%u", f.won)},
        {u"Win rate", f.played ? FormatString("%u%%", rate) : CString(u"-")},  // of no games
        {u"Current streak", FormatString("%u", f.streak)},
        {u"Longest streak", FormatString("%u", f.longest)},
        {u"Best time", f.bestSeconds ? Seconds(*f.bestSeconds) : CString(u"-")},
        {u"Best score", f.bestScore ? FormatString("%d", *f.bestScore) : CString(u"-")},
    };
    m_list.DeleteAllItems();
    int row = 0;
    for (const auto& [label, value] : rows) {
        m_list.InsertItem(row, label);
        m_list.SetItemText(row++, 1, value);
    }
}

void CStatisticsDlg::OnReset() {
    if (AfxMessageBox(u"Reset the statistics of " + m_game + u"?", MB_YESNO) != IDYES) return;
    m_store.Reset(m_game);
    FillList();
}
