// The program's one window: the active view scaled by a whole-number zoom,
// and the soft-key bar ("New", the status text, "Menu") below it.
#pragma once

#include <QRegion>
#include <QWidget>
#include <memory>
#include <vector>

class QAbstractButton;
class QLabel;
class QMenu;
class QToolButton;
class CFrameWnd;
class CView;
struct CPoint;
class QtHost;

// Shows the frame's active view, pixel for pixel times the zoom, and turns
// the mouse into stylus messages in view pixels.
class QtViewWidget : public QWidget {
    Q_OBJECT
public:
    QtViewWidget(QtHost& host, QWidget* parent);
    void SetZoom(int zoom);
    int Zoom() const { return m_zoom; }
    // The point in view pixels under a point of this widget.
    QPoint ToView(QPointF position) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    CView* LiveView() const;
    // Hands the event's point to the view, then runs the idle step.
    void Deliver(QMouseEvent* event, void (*send)(CView&, CPoint));

    QtHost& m_host;
    int m_zoom = 1;
};

// The room for the view; the view sits centred in it at the largest whole
// zoom that fits, on a dark backdrop when the room is bigger than that.
class QtViewArea : public QWidget {
    Q_OBJECT
public:
    QtViewArea(QtHost& host, QWidget* parent);
    QtViewWidget* View() const { return m_view; }
    void SetViewSize(QSize size);
    QSize ViewSize() const { return m_viewSize; }
    void SetZoom(int zoom);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void Place();

    QtViewWidget* m_view;
    QSize m_viewSize{1, 1};  // the frame's, given by the window
    int m_zoom = 1;
};

class QtMainWindow : public QWidget {
    Q_OBJECT
public:
    QtMainWindow(QtHost& host, CFrameWnd* frame);
    ~QtMainWindow() override;

    // Zoom: a whole number, at least 1. SetZoom resizes the window so that
    // the view area is exactly the view size times the zoom (a maximised
    // window keeps its size, and the zoom stays within it). The zoom keys
    // stop at MaxZoom().
    int Zoom() const;
    void SetZoom(int zoom);
    int MaxZoom() const;
    // The largest whole zoom whose window fits the screen's free area.
    int DefaultZoom() const { return MaxZoom(); }
    // The largest whole zoom at which view fits into area, at least 1.
    static int FitZoom(QSize area, QSize view);

    QtViewWidget* ViewWidget() const { return m_area->View(); }
    QtViewArea* ViewArea() const { return m_area; }
    QAbstractButton* LeftSoftKey() const;
    QAbstractButton* RightSoftKey() const;
    QLabel* StatusLabel() const { return m_status; }

    // Caption, status text and view size from the frame.
    void RefreshFrame();
    // Soft keys that send a command are enabled as the command route says.
    void RefreshSoftKeys();
    // The frame's menu with each item's state asked from the command route now.
    // Each action's data is its command id.
    std::unique_ptr<QMenu> CreatePopupMenu();
    // Opens the menu above the right soft key and sends the chosen command.
    void ShowPopupMenu();
    // Shows this region of the view's surface (in view pixels) at once:
    // UpdateWindow must be seen frame by frame.
    void RepaintView(const QRegion& region);
    // Shows it on the next paint.
    void UpdateView(const QRegion& region);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    struct SoftKeyButton {
        QToolButton* button = nullptr;
        unsigned command = 0;
        bool opensMenu = false;
    };
    void BuildSoftKeyBar();
    void BuildShortcuts();
    void PressSoftKey(const SoftKeyButton& key);
    // Room taken by everything but the view: the bar and the window frame.
    QSize Chrome() const;

    QtHost& m_host;
    CFrameWnd* m_frame;
    QtViewArea* m_area;
    QWidget* m_bar = nullptr;
    QLabel* m_status = nullptr;
    const CView* m_shownView = nullptr;
    std::vector<SoftKeyButton> m_keys;
};
