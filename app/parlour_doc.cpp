#include "app/parlour_doc.h"

#include "app/main_frame.h"
#include "app/parlour_app.h"

bool CParlourDoc::OnNewDocument() {
    if (!CDocument::OnNewDocument()) return false;
    // At start-up there is no main window yet and the first view stays.
    if (auto* frame = dynamic_cast<CMainFrame*>(TheApp().m_pMainWnd))
        frame->OnGame(frame->m_currentGame);
    return true;
}
