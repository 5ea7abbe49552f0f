#include "platform/doc_template.h"

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
    if (m_document && m_frame) return m_document->OnNewDocument();
    m_document = m_makeDocument();
    m_frame = m_makeFrame();
    if (!m_document || !m_frame) return false;
    m_frame->SetResourceId(m_resourceId);
    m_frame->SetDocument(m_document.get());
    m_document->SetFrame(m_frame.get());
    if (!m_frame->Create(CRect(), 0) || !m_frame->OnCreate()) return false;
    std::unique_ptr<CView> view = m_makeView();
    if (!view || !CreateViewInFrame(*m_frame, m_document.get(), *view)) return false;
    m_frame->SetActiveView(std::move(view));
    if (!m_document->OnNewDocument()) return false;
    m_frame->RecalcLayout();
    app.m_pMainWnd = m_frame.get();
    return true;
}
