#include "platform/window.h"

#include <algorithm>
#include <deque>

#include "platform/doc_template.h"
#include "platform/host.h"

namespace {

Host* g_host = nullptr;
CWinApp* g_app = nullptr;
std::vector<CWnd*> g_liveWindows;
std::vector<WindowClass> g_classes;

struct PostedCommand {
    CWnd* window;
    unsigned id;
};
std::deque<PostedCommand> g_posted;

struct Timer {
    CWnd* window;
    uintptr_t id;
    uint32_t period;
    uint64_t due;
};
std::vector<Timer> g_timers;

void NotifyQueueChanged() {
    if (g_host) g_host->QueueChanged();
}

}  // namespace

void SetHost(Host* host) {
    g_host = host;
}
Host& GetHost() {
    return *g_host;
}
bool HasHost() {
    return g_host != nullptr;
}
uint32_t GetTickCount() {
    return static_cast<uint32_t>(g_host->Now());
}
void Sleep(uint32_t milliseconds) {
    g_host->Sleep(milliseconds);
}

bool CCmdTarget::OnCmdMsg(unsigned, CCmdUI*) {
    return false;
}

CString AfxRegisterWndClass(uint32_t classStyle, int, const CBrush* background, int) {
    WindowClass wc;
    wc.style = classStyle;
    if (background && background->IsValid()) {
        wc.hasBackground = true;
        wc.background = background->Colour();
    }
    // Every view registers its class as it is created, so the same class
    // gets the same name rather than a new entry each time.
    auto same = std::find(g_classes.begin(), g_classes.end(), wc);
    if (same == g_classes.end()) same = g_classes.insert(same, wc);
    return FormatString("Afx:%zu", static_cast<size_t>(same - g_classes.begin()) + 1);
}

namespace {
WindowClass FindClass(const CString& name) {
    const std::string utf8 = ToUtf8(name);
    size_t index = 0;
    if (std::sscanf(utf8.c_str(), "Afx:%zu", &index) == 1 && index >= 1 &&
        index <= g_classes.size())
        return g_classes[index - 1];
    return WindowClass{};
}
}  // namespace

CWnd::CWnd() {
    g_liveWindows.push_back(this);
}

CWnd::~CWnd() {
    DestroyWindow();
    // Also what was posted to it before it was ever created.
    std::erase_if(g_posted, [this](const PostedCommand& p) { return p.window == this; });
    std::erase(g_liveWindows, this);
}

bool CWnd::IsLive(const CWnd* window) {
    return std::find(g_liveWindows.begin(), g_liveWindows.end(), window) != g_liveWindows.end();
}

bool CWnd::Create(const CRect& rect, unsigned id) {
    CREATESTRUCT cs;
    cs.rect = rect;
    if (!PreCreateWindow(cs)) return false;
    m_style = cs.style;
    m_exStyle = cs.dwExStyle;
    m_class = FindClass(cs.lpszClass);
    m_id = id;
    m_created = true;
    m_surface = CImage(rect.Width(), rect.Height());
    m_owed.Reset(rect.Width(), rect.Height());
    SendSize(rect.Width(), rect.Height());
    return true;
}

void CWnd::DestroyWindow() {
    if (!m_created) return;
    OnDestroy();
    m_created = false;
    std::erase_if(g_timers, [this](const Timer& t) { return t.window == this; });
    std::erase_if(g_posted, [this](const PostedCommand& p) { return p.window == this; });
    m_invalid.clear();
}

bool CWnd::PreCreateWindow(CREATESTRUCT&) {
    return true;
}

void CWnd::Invalidate(bool erase) {
    InvalidateRect(nullptr, erase);
}

void CWnd::InvalidateRect(const CRect* rect, bool erase) {
    if (!m_created) return;
    CRect area = ClientRect();
    if (rect && !area.IntersectRect(area, *rect)) return;
    if (area.IsRectEmpty()) return;
    // The same area as a union, with no rectangle inside another, so a
    // region that goes long unpainted does not grow with every repeat.
    if (std::none_of(m_invalid.begin(), m_invalid.end(),
                     [&](const CRect& r) { return RectWithin(area, r); })) {
        std::erase_if(m_invalid, [&](const CRect& r) { return RectWithin(r, area); });
        m_invalid.push_back(area);
    }
    m_erase = m_erase || erase;
    if (g_host) g_host->WindowInvalidated(*this);
}

void CWnd::UpdateWindow() {
    if (!m_created || m_invalid.empty()) return;
    Paint();
    if (g_host) g_host->WindowPainted(*this);
}

void CWnd::PaintIfInvalid() {
    if (m_created && !m_invalid.empty()) Paint();
}

void CWnd::Paint() {
    BeforePaint();
    // The region is taken before drawing so that invalidations made while
    // drawing are painted next time.
    // The two lists trade places, so neither is made anew at each paint.
    std::vector<CRect> region = std::move(m_painting);
    region.clear();
    region.swap(m_invalid);
    const bool erase = m_erase;
    m_erase = false;
    const bool drawPixels = !(MayOwePixels() && g_host && g_host->PixelsOnDemand());
    if (!drawPixels) Owe(region, erase);
    CDC dc(&m_surface, region, drawPixels);
    if (erase) OnEraseBkgnd(&dc);
    OnPaint(dc);
    if (g_host) {
        if (drawPixels)
            g_host->WindowDrawn(*this, region);
        else
            g_host->WindowOwesPixels(*this, region);
    }
    m_painting = std::move(region);
}

void CWnd::Owe(const std::vector<CRect>& region, bool erase) {
    for (const CRect& area : region) m_owed.Mark(area);
    m_owedErase = m_owedErase || erase;
}

void CWnd::PaintOwedPixels(const CRect* within) {
    if (!m_created || m_owed.Empty()) return;
    const std::vector<CRect> region = m_owed.Take(within ? *within : ClientRect());
    if (region.empty()) return;
    const bool erase = m_owedErase;
    if (m_owed.Empty()) m_owedErase = false;
    CDC dc(&m_surface, region);
    if (erase) OnEraseBkgnd(&dc);
    OnPaintOwed(dc);
    if (g_host) g_host->WindowDrawn(*this, region);
}

void CWnd::OnPaint(CDC&) {}

bool CWnd::OnEraseBkgnd(CDC* dc) {
    // The clip box through the clip is the region, each pixel once.
    CRect box;
    dc->GetClipBox(&box);
    dc->FillSolidRect(box, BackgroundColour());
    return true;
}

uintptr_t CWnd::SetTimer(uintptr_t id, uint32_t elapse) {
    if (!m_created || !g_host) return 0;
    const uint64_t due = g_host->Now() + std::max<uint32_t>(elapse, 1);
    for (Timer& t : g_timers) {
        if (t.window == this && t.id == id) {
            t.period = std::max<uint32_t>(elapse, 1);
            t.due = due;
            NotifyQueueChanged();
            return id;
        }
    }
    g_timers.push_back(Timer{this, id, std::max<uint32_t>(elapse, 1), due});
    NotifyQueueChanged();
    return id;
}

bool CWnd::KillTimer(uintptr_t id) {
    const size_t removed =
        std::erase_if(g_timers, [&](const Timer& t) { return t.window == this && t.id == id; });
    NotifyQueueChanged();
    return removed > 0;
}

void CWnd::PostCommand(unsigned id) {
    g_posted.push_back(PostedCommand{this, id});
    NotifyQueueChanged();
}

void CWnd::SendStylusDown(CPoint point, bool quickSecondPress) {
    PreStylusDown(point);
    // A quick second press is a double tap only for classes that ask for it.
    if (quickSecondPress && (m_class.style & CS_DBLCLKS))
        OnLButtonDblClk(MK_LBUTTON, point);
    else
        OnLButtonDown(MK_LBUTTON, point);
}

void CWnd::SendStylusMove(CPoint point) {
    OnMouseMove(MK_LBUTTON, point);
}
void CWnd::SendStylusUp(CPoint point) {
    OnLButtonUp(0, point);
}

void CWnd::SendSize(int width, int height) {
    if (width < 0) width = 0;
    if (height < 0) height = 0;
    if (width != m_surface.width || height != m_surface.height) {
        m_surface = CImage(width, height);
        // A new surface, painted whole: nothing of the old one is owed.
        m_owed.Reset(width, height);
        m_owedErase = false;
    }
    OnSize(SIZE_RESTORED, width, height);
    Invalidate(true);
}

void CWnd::OnLButtonDown(unsigned, CPoint) {}
void CWnd::OnLButtonUp(unsigned, CPoint) {}
void CWnd::OnMouseMove(unsigned, CPoint) {}
// A window that asked for double taps and has no handler ignores them, as
// the system's default handling does: the second tap of a pair is lost.
void CWnd::OnLButtonDblClk(unsigned, CPoint) {}
void CWnd::OnSize(unsigned, int, int) {}
void CWnd::OnTimer(uintptr_t) {}

CView::~CView() = default;

bool CView::OnCmdMsg(unsigned id, CCmdUI* update) {
    if (CWnd::OnCmdMsg(id, update)) return true;
    return m_pDocument && m_pDocument->OnCmdMsg(id, update);
}

bool CDocument::OnNewDocument() {
    return true;
}

void CDocument::SetTitle(const CString& title) {
    m_strTitle = title;
    if (m_pFrame) m_pFrame->OnTitleChanged();
}

CFrameWnd::~CFrameWnd() = default;

bool CFrameWnd::OnCreate() {
    return true;
}

bool CFrameWnd::OnCmdMsg(unsigned id, CCmdUI* update) {
    if (m_activeView && m_activeView->OnCmdMsg(id, update)) return true;
    if (OnFrameCommand(id, update)) return true;
    return g_app && g_app->OnCmdMsg(id, update);
}

bool CFrameWnd::OnFrameCommand(unsigned id, CCmdUI* update) {
    return CWnd::OnCmdMsg(id, update);
}

std::unique_ptr<CView> CFrameWnd::SetActiveView(std::unique_ptr<CView> view) {
    std::unique_ptr<CView> previous = std::move(m_activeView);
    m_activeView = std::move(view);
    // The status is the shown view's: a new view starts with none, not with
    // the time and score of the game it replaces.
    if (m_activeView != previous) m_status.clear();
    if (m_activeView) m_activeView->SetParentFrame(this);
    if (g_host) g_host->FrameChanged(*this);
    return previous;
}

void CFrameWnd::SetViewSize(int width, int height) {
    m_viewSize = CSize{width, height};
    RecalcLayout();
}

void CFrameWnd::RecalcLayout() {
    if (m_activeView && m_activeView->IsWindow()) {
        CRect client;
        m_activeView->GetClientRect(&client);
        if (client.Width() != m_viewSize.cx || client.Height() != m_viewSize.cy)
            m_activeView->SendSize(m_viewSize.cx, m_viewSize.cy);
    }
}

CString CFrameWnd::GetCaption() const {
    CString title = m_document ? m_document->GetTitle() : CString();
    if (title.empty()) return m_appTitle;
    return title + u" - " + m_appTitle;
}

void CFrameWnd::OnTitleChanged() {
    if (g_host) g_host->FrameChanged(*this);
}

void CFrameWnd::SetStatusText(const CString& text) {
    m_status = text;
    if (g_host) g_host->FrameChanged(*this);
}

CCmdUI CFrameWnd::QueryCommand(unsigned id) {
    CCmdUI ui(id);
    if (!OnCmdMsg(id, &ui)) ui.Enable(false);  // no handler on the route
    return ui;
}

CWinApp::CWinApp() {
    g_app = this;
}

CWinApp::~CWinApp() {
    m_docTemplate.reset();
    if (g_app == this) g_app = nullptr;
}

bool CWinApp::OnCmdMsg(unsigned id, CCmdUI* update) {
    if (id == ID_APP_EXIT) return HandleCommand(update, [this] { OnAppExit(); });
    return CCmdTarget::OnCmdMsg(id, update);
}

void CWinApp::AddDocTemplate(std::unique_ptr<CSingleDocTemplate> docTemplate) {
    m_docTemplate = std::move(docTemplate);
}

bool CWinApp::OnFileNew() {
    return m_docTemplate && m_docTemplate->OpenNewDocument(*this);
}

void CWinApp::OnAppExit() {
    if (m_pMainWnd) {
        if (CView* view = m_pMainWnd->GetActiveView()) view->DestroyWindow();
        m_pMainWnd->DestroyWindow();
    }
    if (g_host) g_host->Quit(0);
}
CWinApp* AfxGetApp() {
    return g_app;
}

void DispatchPostedMessages() {
    while (!g_posted.empty()) {
        PostedCommand posted = g_posted.front();
        g_posted.pop_front();
        if (CWnd::IsLive(posted.window) && posted.window->IsWindow())
            posted.window->SendCommand(posted.id);
    }
}

bool HasPostedMessages() {
    return !g_posted.empty();
}

bool NextTimer(DueTimer* next) {
    const Timer* best = nullptr;
    for (const Timer& t : g_timers)
        if (!best || t.due < best->due) best = &t;
    if (!best) return false;
    *next = DueTimer{best->window, best->id, best->due};
    return true;
}

void FireTimer(const DueTimer& timer) {
    for (Timer& t : g_timers) {
        if (t.window != timer.window || t.id != timer.id) continue;
        // Ticks missed while the thread was busy are merged into this one.
        const uint64_t now = g_host ? g_host->Now() : t.due;
        t.due += t.period;
        if (t.due <= now) t.due = now + t.period;
        CWnd* window = t.window;
        window->SendTimer(timer.id);  // may change g_timers; t is not used after this
        return;
    }
}

void FireDueTimers(uint64_t now) {
    DueTimer next;
    while (NextTimer(&next) && next.due <= now) {
        FireTimer(next);
        DispatchPostedMessages();
    }
}

namespace {
// Painting may make or end windows, so the list is copied first.
template <class Paint>
void PaintEachLiveWindow(Paint&& paint) {
    const std::vector<CWnd*> windows = g_liveWindows;
    for (CWnd* window : windows)
        if (CWnd::IsLive(window)) paint(*window);
}
}  // namespace

void PaintOwedPixelsOfAllWindows() {
    PaintEachLiveWindow([](CWnd& window) { window.PaintOwedPixels(); });
}

void PaintInvalidWindows() {
    // Most idle steps find nothing to paint and copy nothing.
    if (std::none_of(g_liveWindows.begin(), g_liveWindows.end(),
                     [](const CWnd* window) { return window->HasInvalidRegion(); }))
        return;
    PaintEachLiveWindow([](CWnd& window) { window.PaintIfInvalid(); });
}

int AfxMessageBox(const CString& text, unsigned type) {
    return g_host->MessageBox(text, type);
}
