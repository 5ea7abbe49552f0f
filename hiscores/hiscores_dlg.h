// One game's hi-score table, which is also the dialog that lists it.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/dialog.h"
#include "platform/file.h"
#include "platform/strings.h"

// One row of a table.
struct HiScoreEntry {
    CString m_name;
    int32_t m_score = 0;
    int32_t m_seconds = 0;
};

class CHiScoreStore;

class CHiScoresDlg : public CDialog {
public:
    CHiScoresDlg();
    ~CHiScoresDlg() override;

    // Reads or writes one table record: the last name, the count, the entries.
    // A load that fails throws CArchiveException and leaves the table as it was.
    void Serialize(CArchive& ar);

    // The zero-based place a new score would take, or -1 when it does not
    // qualify. Equal scores go below the older ones; only a place of 10 or
    // more at the end of the list is refused.
    int RankOf(int32_t score) const;

    // Offers a finished game's result: asks for the name, enters it, saves
    // every table and shows this one. Returns 1 when entered, 0 when the result
    // did not qualify (then nothing is shown).
    int AddHiScore(int32_t seconds, int32_t score);

    // Destroys every entry; the last name, highlight and caption stay.
    void DeleteAllEntries();

    // The store whose file AddHiScore rewrites; set by the store.
    void SetStore(CHiScoreStore* store) { m_store = store; }

    bool OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    bool OnCmdMsg(unsigned id, CCmdUI* update) override;
    void FillList();
    void OnReset();

    std::vector<std::unique_ptr<HiScoreEntry>> m_entries;  // best first
    CString m_lastName;
    int32_t m_highlight = 0;
    CString m_title;
    CListCtrl m_list;

private:
    CHiScoreStore* m_store = nullptr;
};
