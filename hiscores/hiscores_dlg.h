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

using HiScoreEntries = std::vector<std::unique_ptr<HiScoreEntry>>;

class CHiScoreStore;

class CHiScoresDlg : public CDialog {
public:
    CHiScoresDlg();
    ~CHiScoresDlg() override;

    // Reads or writes one table record: the last name, the count, the entries.
    // A load that fails throws CArchiveException and leaves the table as it was.
    void Serialize(CArchive& ar);
    // The two halves of Serialize, for records that belong to no dialog.
    static void ReadRecord(CArchive& ar, CString* lastName, HiScoreEntries* entries);
    static void WriteRecord(CArchive& ar, const CString& lastName,
                            const std::vector<const HiScoreEntry*>& entries);

    // The zero-based place a new score would take, or -1 when it does not
    // qualify. Equal scores go below the older ones; only a place of 10 or
    // more at the end of the list is refused.
    int RankOf(int32_t score) const;

    // Shows the list as the file holds it now (another program's results
    // too), with this run's own.
    void Show();
    // Offers a finished game's result: asks for the name, enters it, saves
    // every table and shows this one. False when the result did not qualify
    // (then nothing is shown).
    bool AddHiScore(int32_t seconds, int32_t score);
    // Puts a new result of this run at place (from RankOf) and returns it. It
    // stays this run's own until a save has put it in the file.
    HiScoreEntry* InsertEntry(int place, std::unique_ptr<HiScoreEntry> entry);
    // The row of entry, -1 when it is not in the table.
    int IndexOf(const HiScoreEntry* entry) const;

    // Destroys every entry; the last name, highlight and caption stay.
    void DeleteAllEntries();
    // Empties the table as the player's Reset does: the next save writes it
    // cleared (with what has been entered since), whatever the file holds.
    void ClearTable();

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
    friend class CHiScoreStore;

    CHiScoreStore* m_store = nullptr;
    // Since the last save or load: the results entered, oldest first, and
    // whether the player cleared the table.
    std::vector<const HiScoreEntry*> m_unsaved;
    bool m_cleared = false;
};
