#include "platform/doc_template.h"

namespace {
// The document's name until a view names its game.
constexpr char16_t kUntitled[] = u"Untitled";
}  // namespace

CSingleDocTemplate::CSingleDocTemplate(unsigned resourceId, DocumentFactory document,
                                       FrameFactory frame, ViewFactory view)
    : m_resourceId(resourceId),
      m_makeDocument(std::move(document)),
      m_makeFrame(std::move(frame)),
      m_makeView(std::move(view)) {}

CSingleDocTemplate::~CSingleDocTemplate() {
    // The views go before the document they show.
    if (m_frame) {
        std::unique_ptr<CView> view = m_frame->SetActiveView(nullptr);
        view.reset();
    }
    m_frame.reset();
    m_document.reset();
}

bool CreateViewInFrame(CFrameWnd& frame, CDocument* document, CView& view) {
    view.SetDocument(document);
    view.SetParentFrame(&frame);
    // Created empty; the frame's layout gives it its size, as when shown.
    return view.Create(CRect(), AFX_IDW_PANE_FIRST);
}

bool CSingleDocTemplate::OpenNewDocument(CWinApp& app) {
    if (m_document && m_frame) {
        m_document->SetTitle(kUntitled);
        if (!m_document->OnNewDocument()) return false;
        if (CView* view = m_frame->GetActiveView()) view->OnInitialUpdate();
        m_frame->RecalcLayout();
        return true;
    }
    m_document = m_makeDocument();
    m_frame = m_makeFrame();
    if (!m_document || !m_frame) return false;
    m_frame->SetResourceId(m_resourceId);
    m_frame->SetDocument(m_document.get());
    m_document->SetFrame(m_frame.get());
    if (!m_frame->Create(CRect(), 0) || m_frame->OnCreate() != 0) return false;
    std::unique_ptr<CView> view = m_makeView();
    if (!view || !CreateViewInFrame(*m_frame, m_document.get(), *view)) return false;
    m_frame->SetActiveView(std::move(view));
    m_document->SetTitle(kUntitled);
    if (!m_document->OnNewDocument()) return false;
    m_frame->GetActiveView()->OnInitialUpdate();
    m_frame->RecalcLayout();
    app.m_pMainWnd = m_frame.get();
    return true;
}
