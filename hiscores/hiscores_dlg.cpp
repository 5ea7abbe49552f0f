#include "hiscores/hiscores_dlg.h"

#include <algorithm>

#include "hiscores/hiscore_name_dlg.h"
#include "hiscores/hiscore_store.h"
#include "res/resource.h"

namespace {

// A table only refuses a result that would land at place 11 or later.
constexpr int kTableSize = 10;

}  // namespace

CHiScoresDlg::CHiScoresDlg() : CDialog(IDD_HISCORES), m_title(u"Hi Scores") {}

CHiScoresDlg::~CHiScoresDlg() = default;

void CHiScoresDlg::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        std::vector<const HiScoreEntry*> entries;
        for (const auto& entry : m_entries) entries.push_back(entry.get());
        WriteRecord(ar, m_lastName, entries);
        return;
    }
    // Read into a fresh table and take it only when the record is whole, so a
    // damaged record leaves nothing half read behind.
    CString lastName;
    HiScoreEntries entries;
    ReadRecord(ar, &lastName, &entries);
    m_lastName = std::move(lastName);
    m_entries = std::move(entries);
    m_unsaved.clear();
}

void CHiScoresDlg::ReadRecord(CArchive& ar, CString* lastName, HiScoreEntries* entries) {
    uint32_t count = 0;
    ar >> *lastName >> count;
    // An entry takes at least nine bytes (an empty 8-bit name and two
    // numbers): a count the rest cannot hold is damage, found before reading.
    constexpr uint64_t kSmallestEntry = 9;
    if (count > ar.Remaining() / kSmallestEntry)
        throw CArchiveException(CArchiveException::badLength);
    for (uint32_t i = 0; i < count; ++i) {
        auto entry = std::make_unique<HiScoreEntry>();
        ar >> entry->m_name >> entry->m_score >> entry->m_seconds;
        entries->push_back(std::move(entry));
    }
}

void CHiScoresDlg::WriteRecord(CArchive& ar, const CString& lastName,
                               const std::vector<const HiScoreEntry*>& entries) {
    ar << lastName << static_cast<uint32_t>(entries.size());
    for (const HiScoreEntry* entry : entries)
        ar << entry->m_name << entry->m_score << entry->m_seconds;
}

int CHiScoresDlg::RankOf(int32_t score) const {
    int place = 0;
    for (const auto& entry : m_entries) {
        if (entry->m_score < score) return place;
        ++place;
    }
    return place >= kTableSize ? -1 : place;
}

void CHiScoresDlg::Show() {
    if (m_store) m_store->Refresh();
    DoModal();
}

bool CHiScoresDlg::AddHiScore(int32_t seconds, int32_t score) {
    // The place told is the place in the file as it stands, which another
    // program may have saved to since.
    if (m_store) m_store->Refresh();
    const int place = RankOf(score);
    if (place < 0) return false;

    auto entry = std::make_unique<HiScoreEntry>();
    entry->m_name = m_lastName;
    entry->m_score = score;
    entry->m_seconds = seconds;

    CHiScoreNameDlg nameDlg;
    // A longer name from an older file is offered as much of it as fits,
    // never half a character.
    size_t offered = std::min<size_t>(m_lastName.size(), CHiScoreNameDlg::kMaxNameLength);
    if (offered < m_lastName.size() && (m_lastName[offered - 1] & 0xFC00) == 0xD800) --offered;
    nameDlg.m_name = m_lastName.substr(0, offered);
    nameDlg.m_prompt =
        FormatString("Je staat op plaats %d in de HiScore lijst!!\nGeef je naam:", place + 1);
    nameDlg.DoModal();  // closed without OK, m_name still holds the offered name

    entry->m_name = nameDlg.m_name;
    m_lastName = nameDlg.m_name;
    const HiScoreEntry* added = InsertEntry(place, std::move(entry));
    // The save may bring in results another program saved meanwhile, which
    // can move ours down.
    if (m_store) m_store->SaveHiScores();
    m_highlight = IndexOf(added);
    DoModal();
    return true;
}

HiScoreEntry* CHiScoresDlg::InsertEntry(int place, std::unique_ptr<HiScoreEntry> entry) {
    HiScoreEntry* added = entry.get();
    place = std::clamp(place, 0, static_cast<int>(m_entries.size()));
    m_entries.insert(m_entries.begin() + place, std::move(entry));
    m_unsaved.push_back(added);
    return added;
}

int CHiScoresDlg::IndexOf(const HiScoreEntry* entry) const {
    for (size_t i = 0; i < m_entries.size(); ++i)
        if (m_entries[i].get() == entry) return static_cast<int>(i);
    return -1;
}

void CHiScoresDlg::DeleteAllEntries() {
    m_unsaved.clear();
    m_entries.clear();
}

void CHiScoresDlg::ClearTable() {
    DeleteAllEntries();
    m_cleared = true;
}

bool CHiScoresDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    // No label editing: an edited name would not be kept anyway.
    m_list.ModifyStyle(0, LVS_SINGLESEL | LVS_SHOWSELALWAYS);
    m_list.SetExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    m_list.InsertColumn(0, u"Pos", LVCFMT_LEFT, 30);
    m_list.InsertColumn(1, u"Name       ", LVCFMT_LEFT, 95);
    m_list.InsertColumn(2, u"Time", LVCFMT_LEFT, 50);
    m_list.InsertColumn(3, u"Score", LVCFMT_LEFT, 50);
    FillList();
    SetWindowText(m_title);
    return true;
}

void CHiScoresDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_HISCORE_LIST, m_list);
}

bool CHiScoresDlg::OnCmdMsg(unsigned id, CCmdUI* update) {
    if (id == IDC_HISCORE_RESET) return HandleCommand(update, [this] { OnReset(); });
    return CDialog::OnCmdMsg(id, update);
}

void CHiScoresDlg::FillList() {
    m_list.DeleteAllItems();
    int row = 0;
    for (const auto& entry : m_entries) {
        m_list.InsertItem(row, FormatString("%d", row + 1));
        if (row == m_highlight) m_list.SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
        m_list.SetItemText(row, 1, entry->m_name);
        m_list.SetItemText(row, 2,
                           FormatString("%d:%02d", entry->m_seconds / 60, entry->m_seconds % 60));
        m_list.SetItemText(row, 3, FormatString("%d", entry->m_score));
        ++row;
    }
}

void CHiScoresDlg::OnReset() {
    if (AfxMessageBox(u"Reset Hi scores??", MB_YESNO) != IDYES) return;
    ClearTable();
    m_list.DeleteAllItems();
    // Saved at once, as a new entry is: a confirmed reset that came back at
    // the next start would be a reset that did not happen.
    if (m_store) m_store->SaveHiScores();
}
