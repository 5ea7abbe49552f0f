// Windows, messages and commands: the small part of an application framework
// the games are written against.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "platform/geometry.h"
#include "platform/graphics.h"
#include "platform/host.h"
#include "platform/pixel_mask.h"
#include "platform/strings.h"

// Message box types and results. A type is one set of buttons and at most
// one icon.
enum : unsigned {
    MB_OK = 0x0,
    MB_YESNO = 0x4,
    MB_TYPEMASK = 0xF,
    MB_ICONHAND = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONEXCLAMATION = 0x30,
    MB_ICONASTERISK = 0x40,
    MB_ICONMASK = 0xF0,
};
enum : int { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

// Framework command identifiers.
enum : unsigned {
    ID_FILE_NEW = 57600,
    ID_APP_ABOUT = 57664,
    ID_APP_EXIT = 57665,
    AFX_IDW_PANE_FIRST = 59648,
};

// Window-class and window styles the views set up.
enum : uint32_t { CS_VREDRAW = 0x1, CS_HREDRAW = 0x2, CS_DBLCLKS = 0x8 };
enum : uint32_t { WS_CHILD = 0x40000000, WS_VISIBLE = 0x10000000, WS_BORDER = 0x00800000 };
enum : uint32_t { WS_EX_CLIENTEDGE = 0x00000200 };

enum : unsigned { SIZE_RESTORED = 0 };
enum : unsigned { MK_LBUTTON = 0x1, MK_SHIFT = 0x4 };

// The keys a view is played with, by their virtual-key codes.
enum : unsigned {
    VK_TAB = 0x09,
    VK_RETURN = 0x0D,
    VK_ESCAPE = 0x1B,
    VK_SPACE = 0x20,
    VK_LEFT = 0x25,
    VK_UP = 0x26,
    VK_RIGHT = 0x27,
    VK_DOWN = 0x28,
    VK_H = 0x48,
};

// Command-update object: a handler may enable or disable the command and set
// its check mark.
class CCmdUI {
public:
    explicit CCmdUI(unsigned id) : m_nID(id) {}
    void Enable(bool on = true) { m_enabled = on; }
    void SetCheck(bool check = true) {
        m_checked = check;
        m_checkable = true;
    }
    unsigned m_nID;
    bool m_enabled = true;
    bool m_checked = false;
    bool m_checkable = false;  // a choice, on or off (SetCheck was called)
};

class CCmdTarget {
public:
    virtual ~CCmdTarget() = default;
    // Handles command id: runs it when update is null, else fills in update.
    // Returns false when this target has no handler for it.
    virtual bool OnCmdMsg(unsigned id, CCmdUI* update);
};

// The usual shape of a command-map entry inside OnCmdMsg.
template <class Run>
bool HandleCommand(CCmdUI* update, Run&& run) {
    if (!update) run();
    return true;
}
template <class Run, class Update>
bool HandleCommand(CCmdUI* update, Run&& run, Update&& updateHandler) {
    if (update)
        updateHandler(*update);
    else
        run();
    return true;
}

struct CREATESTRUCT {
    uint32_t style = WS_CHILD | WS_VISIBLE | WS_BORDER;
    uint32_t dwExStyle = 0;
    CString lpszClass;
    CRect rect;
};

// A registered window class: its styles and background brush.
struct WindowClass {
    uint32_t style = 0;
    bool hasBackground = false;
    COLORREF background = RGB(255, 255, 255);
    friend bool operator==(const WindowClass&, const WindowClass&) = default;
};

// Registers a window class and returns its name; the same class keeps one name.
CString AfxRegisterWndClass(uint32_t classStyle, int cursor = 0, const CBrush* background = nullptr,
                            int icon = 0);
constexpr int IDC_ARROW = 32512;

class CWnd : public CCmdTarget {
public:
    CWnd();
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // Creates the window with a client area of rect's size.
    bool Create(const CRect& rect, unsigned id);
    void DestroyWindow();
    bool IsWindow() const { return m_created; }
    unsigned GetDlgCtrlID() const { return m_id; }

    void GetClientRect(CRect* rect) const {
        *rect = CRect(0, 0, m_surface.width, m_surface.height);
    }
    CRect ClientRect() const { return CRect(0, 0, m_surface.width, m_surface.height); }
    const WindowClass& Class() const { return m_class; }
    // The class's background brush colour; white without one.
    COLORREF BackgroundColour() const {
        return m_class.hasBackground ? m_class.background : RGB(255, 255, 255);
    }
    uint32_t Style() const { return m_style; }
    uint32_t ExStyle() const { return m_exStyle; }

    // Painting.
    void Invalidate(bool erase = true);
    void InvalidateRect(const CRect* rect, bool erase = true);
    void UpdateWindow();
    // Paints the invalid region, if any (what an idle loop does).
    void PaintIfInvalid();
    bool HasInvalidRegion() const { return !m_invalid.empty(); }
    const std::vector<CRect>& InvalidRegion() const { return m_invalid; }
    bool EraseRequested() const { return m_erase; }
    const CImage& Surface() const { return m_surface; }
    // Whether every paint of the window, of any region, shows that region as
    // the window now stands, so that one paint of many regions together
    // shows what painting them one by one would have: then, when the host
    // wants pixels on demand, its paints may owe their pixels.
    virtual bool MayOwePixels() const { return false; }
    // Draws what the window's paints have owed, as it now stands; when
    // within is given, only the part of it there.
    void PaintOwedPixels(const CRect* within = nullptr);

    // Timers and posted commands.
    uintptr_t SetTimer(uintptr_t id, uint32_t elapse);
    bool KillTimer(uintptr_t id);
    void PostCommand(unsigned id);

    // Messages, as the hosts deliver them.
    void SendStylusDown(CPoint point, bool quickSecondPress = false);
    void SendStylusMove(CPoint point);
    void SendStylusUp(CPoint point);
    void SendSize(int width, int height);
    // A key pressed over the window; flags holds MK_SHIFT when Shift is down.
    void SendKeyDown(unsigned key, unsigned flags) { OnKeyDown(key, flags); }
    void SendTimer(uintptr_t id) { OnTimer(id); }
    // A command as the menu sends it: false when no handler took it.
    bool SendCommand(unsigned id) { return OnCmdMsg(id, nullptr); }

    // Handlers.
    // Runs before every press and double tap reaches its handler, so a view
    // can finish what an earlier press left open (its lift may have been lost).
    virtual void PreStylusDown(CPoint) {}
    virtual bool PreCreateWindow(CREATESTRUCT& cs);
    virtual void OnPaint(CDC& dc);
    // Just before the invalid region is taken for a paint: a window may add
    // to it what the paint will change besides.
    virtual void BeforePaint() {}
    // A paint that draws what earlier paints owed (see MayOwePixels): the
    // window as it stands, which a window whose paint changes its state
    // leaves as it was.
    virtual void OnPaintOwed(CDC& dc) { OnPaint(dc); }
    // The erase before a paint that asked for one: fills the region with the
    // class's background. A window that paints the background itself in
    // OnPaint returns true without filling.
    virtual bool OnEraseBkgnd(CDC* dc);
    virtual void OnLButtonDown(unsigned flags, CPoint point);
    virtual void OnLButtonUp(unsigned flags, CPoint point);
    virtual void OnMouseMove(unsigned flags, CPoint point);
    virtual void OnLButtonDblClk(unsigned flags, CPoint point);
    virtual void OnKeyDown(unsigned, unsigned) {}
    virtual void OnSize(unsigned type, int cx, int cy);
    virtual void OnTimer(uintptr_t id);
    virtual void OnDestroy() {}

    // Whether a window object is still alive (posted messages check it).
    static bool IsLive(const CWnd* window);

private:
    void Paint();
    void Owe(const std::vector<CRect>& region, bool erase);

    bool m_created = false;
    unsigned m_id = 0;
    uint32_t m_style = 0;
    uint32_t m_exStyle = 0;
    WindowClass m_class;
    CImage m_surface;
    std::vector<CRect> m_invalid;
    std::vector<CRect> m_painting;  // the region Paint took, kept for its storage
    bool m_erase = false;
    PixelMask m_owed;          // drawn by paints that drew no pixels
    bool m_owedErase = false;  // one of those paints erased first
};

class CDocument;
class CFrameWnd;

class CView : public CWnd {
public:
    ~CView() override;
    virtual void OnDraw(CDC* dc) = 0;
    void OnPaint(CDC& dc) override { OnDraw(&dc); }
    bool OnCmdMsg(unsigned id, CCmdUI* update) override;  // then the document
    CDocument* GetDocument() const { return m_pDocument; }
    void SetDocument(CDocument* document) { m_pDocument = document; }
    CFrameWnd* GetParentFrame() const { return m_pFrame; }
    void SetParentFrame(CFrameWnd* frame) { m_pFrame = frame; }

protected:
    CDocument* m_pDocument = nullptr;
    CFrameWnd* m_pFrame = nullptr;
};

class CDocument : public CCmdTarget {
public:
    virtual bool OnNewDocument();
    void SetTitle(const CString& title);
    const CString& GetTitle() const { return m_strTitle; }
    void SetFrame(CFrameWnd* frame) { m_pFrame = frame; }

private:
    CString m_strTitle;
    CFrameWnd* m_pFrame = nullptr;
};

// The main window: owns the shown view and routes commands.
class CFrameWnd : public CWnd {
public:
    ~CFrameWnd() override;
    // False when the frame cannot be made.
    virtual bool OnCreate();
    // The active view (and its document), then the frame's own commands,
    // then the application.
    bool OnCmdMsg(unsigned id, CCmdUI* update) override;
    // The frame's own commands; derived frames add theirs here.
    virtual bool OnFrameCommand(unsigned id, CCmdUI* update);

    CView* GetActiveView() const { return m_activeView.get(); }
    // Makes view the shown one; the previous view is handed back to the caller.
    std::unique_ptr<CView> SetActiveView(std::unique_ptr<CView> view);
    CDocument* GetActiveDocument() const { return m_document; }
    void SetDocument(CDocument* document) { m_document = document; }

    // The resource of the frame's soft keys and menu; the document template
    // that makes the frame gives it.
    unsigned ResourceId() const { return m_resourceId; }
    void SetResourceId(unsigned id) { m_resourceId = id; }

    // Client size the views get; the hosts set it. Until then the handheld's.
    static constexpr CSize kDefaultViewSize{240, 268};
    void SetViewSize(int width, int height);
    CSize ViewSize() const { return m_viewSize; }
    void RecalcLayout();

    CString GetCaption() const;  // "title - Parlour"
    void SetAppTitle(const CString& title) { m_appTitle = title; }
    void OnTitleChanged();
    void SetStatusText(const CString& text);
    const CString& StatusText() const { return m_status; }

    // Command update as the menu asks for it.
    CCmdUI QueryCommand(unsigned id);

private:
    std::unique_ptr<CView> m_activeView;
    CDocument* m_document = nullptr;
    unsigned m_resourceId = 0;
    CSize m_viewSize = kDefaultViewSize;
    CString m_appTitle;
    CString m_status;
};

class CSingleDocTemplate;

class CWinApp : public CCmdTarget {
public:
    CWinApp();
    ~CWinApp() override;
    virtual bool InitInstance() { return true; }
    virtual int ExitInstance() { return 0; }
    // Handles Exit; derived applications add their own commands.
    bool OnCmdMsg(unsigned id, CCmdUI* update) override;

    void AddDocTemplate(std::unique_ptr<CSingleDocTemplate> docTemplate);
    // New document: the first time this creates document, frame and view.
    bool OnFileNew();
    // Closes the main window and ends the run.
    void OnAppExit();

    CFrameWnd* m_pMainWnd = nullptr;

private:
    std::unique_ptr<CSingleDocTemplate> m_docTemplate;
};

CWinApp* AfxGetApp();

// Runs every posted command, including those posted meanwhile, in order.
void DispatchPostedMessages();
bool HasPostedMessages();

// Timers, ordered by when they fall due on the host's clock.
struct DueTimer {
    CWnd* window;
    uintptr_t id;
    uint64_t due;
};
// The earliest timer due, if any.
bool NextTimer(DueTimer* next);
// Delivers one tick of the given timer and schedules its next one.
void FireTimer(const DueTimer& timer);
// Delivers every tick due at or before now, in order of their due times.
void FireDueTimers(uint64_t now);

// Paints every live window with an invalid region.
void PaintInvalidWindows();
// Draws the pixels every window owes (see Host::PixelsOnDemand).
void PaintOwedPixelsOfAllWindows();

int AfxMessageBox(const CString& text, unsigned type = MB_OK);
