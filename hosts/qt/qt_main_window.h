// The program's one window: the active view scaled by a whole-number zoom,
// and the soft-key bar ("New", the status text, "Menu") below it.
#pragma once

#include <QElapsedTimer>
#include <QLabel>
#include <QRegion>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <vector>

class QAbstractButton;
class QPainter;
struct CImage;
class QLabel;
class QMenu;
class QToolButton;
class CFrameWnd;
class CView;
struct CPoint;
class QtHost;

// Shows the frame's active view, pixel for pixel times the zoom, and turns
// the mouse into stylus messages in view pixels. It has the keyboard focus
// and hands the table's keys to the view; Tab among them.
class QtViewWidget : public QWidget {
    Q_OBJECT
public:
    QtViewWidget(QtHost& host, QWidget* parent);
    void SetZoom(int zoom);
    int Zoom() const { return m_zoom; }
    // The point in view pixels under a point of this widget.
    QPoint ToView(QPointF position) const;
    QtHost& Host() const { return m_host; }
    // The frame's active view while it is a window, else null.
    CView* LiveView() const;
    // A new zoom or size moves the table under a pointer that stayed where
    // it was: what a press holds is moved back under the pointer.
    void FollowPointer();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // Tab and Shift+Tab move the focus on the table, never out of it.
    bool focusNextPrevChild(bool) override { return false; }

private:
    // Shows region (widget pixels) of the zoomed surface by writing it into
    // the window's backing store the paint is redirected to; false when the
    // paint goes elsewhere or that is not a plain image.
    bool ZoomIntoBackingStore(const CImage& surface, const QRegion& region) const;
    // Hands the event's point to the view, then runs the idle step.
    void Deliver(QMouseEvent* event, void (*send)(CView&, CPoint));

    QtHost& m_host;
    int m_zoom = 1;
    bool m_pressed = false;  // the view has had the press of the button now down
    QPointF m_pointer;       // where on the screen the last press or move was
};

// The room for the view. The window gives the view a client area of the
// room divided by the zoom, so the view sits centred with less than one zoom
// step to spare on a dark backdrop.
class QtViewArea : public QWidget {
    Q_OBJECT
public:
    QtViewArea(QtHost& host, QWidget* parent);
    QtViewWidget* View() const { return m_view; }
    // The view's client size in view pixels, and the zoom it is shown at.
    void SetView(QSize clientSize, int zoom);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void Place();

    QtViewWidget* m_view;
    QSize m_clientSize{240, 268};
    int m_zoom = 1;
};

// The game's time and score between the keys, and what the game says there
// (a hint, whether the deal can be won). Where the bar is narrow the text
// gets a smaller font rather than being cut off; a text too long for one
// line even so takes two, broken between the bar's fields (two spaces)
// or else between words. It paints its own background, so that the clock's
// every tick repaints the label and nothing behind it.
class QtStatusLabel : public QLabel {
    Q_OBJECT
public:
    explicit QtStatusLabel(QWidget* parent);
    struct Shown {
        QFont font;
        QStringList lines;
    };
    // How the text is drawn: in the bar's font, or smaller, on one line or two.
    Shown Fitted() const;
    QFont FittedFont() const { return Fitted().font; }

protected:
    void paintEvent(QPaintEvent* event) override;
};

class QtMainWindow : public QWidget {
    Q_OBJECT
public:
    QtMainWindow(QtHost& host, CFrameWnd* frame);
    ~QtMainWindow() override;

    // Zoom: a whole number, at least 1: the largest at which the table the
    // program was made for (240 x 268, with the soft-key bar under it) fits
    // the window. The view's client area is the rest of the window divided
    // by the zoom, so a bigger window shows more table, not grey bands.
    // SetZoom resizes the window to the table at that zoom (a maximised
    // window keeps its size and its zoom). The zoom keys stop at MaxZoom().
    int Zoom() const { return m_zoom; }
    void SetZoom(int zoom);
    // The zoom keys: input, as any key is.
    void ZoomByThePlayer(int zoom);
    int MaxZoom() const;
    // The largest whole zoom whose window fits the screen's free area.
    int DefaultZoom() const { return MaxZoom(); }
    // The largest whole zoom at which view fits into area, at least 1.
    static int FitZoom(QSize area, QSize view);
    // The soft-key bar's height at zoom 1, as on the handheld.
    static constexpr int kBarHeight = 26;
    // The table and the bar at zoom 1.
    QSize UnzoomedSize() const;

    QtViewWidget* ViewWidget() const { return m_area->View(); }
    QtViewArea* ViewArea() const { return m_area; }
    QAbstractButton* LeftSoftKey() const;
    QAbstractButton* RightSoftKey() const;
    QtStatusLabel* StatusLabel() const { return m_status; }
    QWidget* Bar() const { return m_bar; }
    // The bar's right-click menu: the window's own keys (zoom) and the
    // desktop's usual keys for the menu's commands, each as enabled as now.
    std::unique_ptr<QMenu> CreateBarMenu();

    // Caption and status text from the frame; the window gives it the view size.
    void RefreshFrame();
    // Gives the frame's view the client size the window has room for.
    void SyncViewSize();
    // Soft keys that send a command are enabled as the command route says.
    void RefreshSoftKeys();
    // The frame's menu with each item's state asked from the command route now.
    // Each action's data is its command id.
    std::unique_ptr<QMenu> CreatePopupMenu();
    // Opens the menu above the right soft key and sends the chosen command;
    // opened by a key, on its first item.
    void ShowPopupMenu(bool byKey = false);
    // Shows this region of the view's surface (in view pixels) at once:
    // UpdateWindow must be seen frame by frame.
    void RepaintView(const QRegion& region);
    // Shows it on the next paint, at most one frame after the last.
    void UpdateView(const QRegion& region);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct SoftKeyButton {
        QToolButton* button = nullptr;
        unsigned command = 0;
        bool opensMenu = false;
    };
    // A key of the desktop's own that sends a menu command.
    struct CommandKey {
        QAction* action = nullptr;
        unsigned command = 0;
    };
    void BuildSoftKeyBar();
    void BuildShortcuts();
    void PressSoftKey(const SoftKeyButton& key);
    // The bar's height and fonts at the zoom.
    void ScaleBar();
    // Zoom and client area from the window's size.
    void Fit();
    // Room the window frame takes around the window.
    QSize FrameMargins() const;

    QtHost& m_host;
    CFrameWnd* m_frame;
    QtViewArea* m_area;
    QWidget* m_bar = nullptr;
    QtStatusLabel* m_status = nullptr;
    const CView* m_shownView = nullptr;
    std::vector<SoftKeyButton> m_keys;
    std::vector<QAction*> m_zoomActions;
    std::vector<CommandKey> m_commandKeys;
    QSize m_unzoomedView{240, 268};  // the table the program was made for
    QSize m_client{240, 268};        // the view's client size the window has room for
    int m_zoom = 1;
    // The view repaints at most once a frame: what is drawn sooner after the
    // last repaint waits, merged, for the frame's end.
    QRegion m_viewDue;          // drawn, zoomed, and not yet asked to repaint
    QElapsedTimer m_viewShown;  // since the view was last asked to repaint
    QTimer m_frameTimer;
    void ShowDueView();
};
