// The single-document template: makes the one document, the main frame and
// its first view, and later renews the document on "New".
#pragma once

#include <functional>
#include <memory>

#include "platform/window.h"

class CSingleDocTemplate {
public:
    using DocumentFactory = std::function<std::unique_ptr<CDocument>()>;
    using FrameFactory = std::function<std::unique_ptr<CFrameWnd>()>;
    using ViewFactory = std::function<std::unique_ptr<CView>()>;

    CSingleDocTemplate(unsigned resourceId, DocumentFactory document, FrameFactory frame,
                       ViewFactory view);
    ~CSingleDocTemplate();

    // The first call creates document, frame (given the template's resource,
    // then OnCreate) and first view, runs the document's OnNewDocument, lays
    // the frame out, and only then registers the frame as the main window.
    // Later calls keep the document and frame and run OnNewDocument again.
    bool OpenNewDocument(CWinApp& app);

private:
    unsigned m_resourceId;
    DocumentFactory m_makeDocument;
    FrameFactory m_makeFrame;
    ViewFactory m_makeView;
    std::unique_ptr<CDocument> m_document;
    std::unique_ptr<CFrameWnd> m_frame;
};

// Creates view in frame as its first pane, attached to document: the window
// gets the frame's view size. False when the window could not be created.
bool CreateViewInFrame(CFrameWnd& frame, CDocument* document, CView& view);
