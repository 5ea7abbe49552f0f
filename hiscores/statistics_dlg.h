// "Statistics": the figures of the game on view, with a Reset button that
// asks first.
#pragma once

#include "hiscores/statistics_store.h"
#include "platform/dialog.h"

class CStatisticsDlg : public CDialog {
public:
    // game: the name the figures are kept under ("Spider, 2 suits").
    CStatisticsDlg(CStatisticsStore& store, const CString& game);

    bool OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    bool OnCmdMsg(unsigned id, CCmdUI* update) override;
    void OnReset();

private:
    void FillList();

    CStatisticsStore& m_store;
    CString m_game;
    CListCtrl m_list;
};
