// The main window: the soft-key bar, the game commands, and the swap of the
// game view when a game is picked.
#pragma once

#include "platform/window.h"

class CMainFrame : public CFrameWnd {
public:
    bool OnCreate() override;
    bool OnFrameCommand(unsigned id, CCmdUI* update) override;

    void OnGame(unsigned id);
    void OnUpdateGame(CCmdUI& update) const;

    unsigned m_currentGame = 0;
    // Class of the shown view, from the game table.
    const char* m_viewClassName = "";
};
