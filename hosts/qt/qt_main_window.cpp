#include "hosts/qt/qt_main_window.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QProxyStyle>
#include <QScreen>
#include <QShortcut>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <iterator>

#include "gameview/game_view.h"
#include "hosts/qt/qt_convert.h"
#include "hosts/qt/qt_dialog.h"
#include "hosts/qt/qt_host.h"
#include "platform/resources.h"
#include "platform/window.h"

namespace {

constexpr uint16_t kNoSubMenu = 0xFFFF;
const QColor kBackdrop(0x2B, 0x2B, 0x2B);

QString CaptionOf(const CFrameWnd* frame) {
    const QString caption = frame ? ToQString(frame->GetCaption()) : QString();
    return caption.isEmpty() ? QStringLiteral("Parlour") : caption;
}

// The soft keys and the menu are the frame's resource's.
unsigned ResourceOf(const CFrameWnd* frame) {
    return frame ? frame->ResourceId() : 0;
}

QSize ViewSizeOf(const CFrameWnd* frame) {
    const CSize size = frame ? frame->ViewSize() : CFrameWnd::kDefaultViewSize;
    return QSize(std::max(size.cx, 1), std::max(size.cy, 1));
}

// The bar under the view, with a hairline above it like a command bar.
class SoftKeyBarWidget : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), palette().window());
        painter.setPen(palette().color(QPalette::Mid));
        painter.drawLine(0, 0, width() - 1, 0);
    }
};

// The desktop's style paints a menu row's check column as wide as the row
// is tall, but sizes the row for a check mark of its usual size: with the
// zoomed font the widest text was cut short. Each row gets that room.
class ZoomedMenuStyle : public QProxyStyle {
public:
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override {
        QSize result = QProxyStyle::sizeFromContents(type, option, size, widget);
        if (type == CT_MenuItem) result.rwidth() += result.height();
        return result;
    }
};

std::unique_ptr<QMenu> ZoomedMenu(QWidget* parent, const QString& name, int zoom) {
    auto menu = std::make_unique<QMenu>(parent);
    menu->setObjectName(name);
    menu->setFont(ZoomedFont(menu->font(), zoom));
    auto* style = new ZoomedMenuStyle;
    style->setParent(menu.get());
    menu->setStyle(style);
    return menu;
}

}  // namespace

// ---------------------------------------------------------------------------

QtStatusLabel::QtStatusLabel(QWidget* parent) : QLabel(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

namespace {

struct LineBreak {
    QStringList lines;
    bool betweenFields = false;  // between the bar's fields: two spaces
};

// The two lines text breaks into at each space where it may.
std::vector<LineBreak> LineBreaks(const QString& text) {
    std::vector<LineBreak> breaks;
    for (qsizetype at = text.indexOf(QLatin1Char(' ')); at > 0;
         at = text.indexOf(QLatin1Char(' '), at + 1)) {
        if (text[at - 1] == QLatin1Char(' ')) continue;  // the second of two
        LineBreak split{{text.left(at).trimmed(), text.mid(at).trimmed()},
                        at + 1 < text.size() && text[at + 1] == QLatin1Char(' ')};
        if (!split.lines[0].isEmpty() && !split.lines[1].isEmpty()) breaks.push_back(split);
    }
    return breaks;
}

}  // namespace

QtStatusLabel::Shown QtStatusLabel::Fitted() const {
    // The bar's font is sized in pixels, so it is shrunk in pixels, down to
    // the smallest size that still reads.
    QFont fitted = font();
    const int largest = fitted.pixelSize();
    const int smallest = std::max(1, largest * 2 / 3);
    const auto fits = [this](const QFont& font, const QStringList& lines) {
        const QFontMetricsF metrics(font);
        if (lines.size() * metrics.height() > height()) return false;
        return std::all_of(lines.begin(), lines.end(), [&](const QString& line) {
            return metrics.horizontalAdvance(line) <= width();
        });
    };
    for (int size = largest; size >= smallest; --size) {
        fitted.setPixelSize(size);
        if (fits(fitted, {text()})) return {fitted, {text()}};
    }
    // Too long for one line: two, the largest that fit, the more even the
    // better among breaks of one kind.
    const std::vector<LineBreak> breaks = LineBreaks(text());
    for (int size = largest; size >= smallest; --size) {
        fitted.setPixelSize(size);
        const QFontMetricsF metrics(fitted);
        const LineBreak* best = nullptr;
        qreal bestWidth = 0;
        for (const LineBreak& split : breaks) {
            if (!fits(fitted, split.lines)) continue;
            const qreal widest = std::max(metrics.horizontalAdvance(split.lines[0]),
                                          metrics.horizontalAdvance(split.lines[1]));
            if (!best || (split.betweenFields && !best->betweenFields) ||
                (split.betweenFields == best->betweenFields && widest < bestWidth)) {
                best = &split;
                bestWidth = widest;
            }
        }
        if (best) return {fitted, best->lines};
    }
    fitted.setPixelSize(smallest);
    return {fitted, {QFontMetrics(fitted).elidedText(text(), Qt::ElideRight, width())}};
}

void QtStatusLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    const Shown shown = Fitted();
    painter.setFont(shown.font);
    painter.setPen(palette().color(QPalette::WindowText));
    if (shown.lines.size() == 1) {
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine, shown.lines[0]);
        return;
    }
    // The lines close together, as a block in the middle of the label.
    const int lineHeight = QFontMetrics(shown.font).height();
    QRect line(0, (height() - lineHeight * static_cast<int>(shown.lines.size())) / 2, width(),
               lineHeight);
    for (const QString& text : shown.lines) {
        painter.drawText(line, Qt::AlignCenter | Qt::TextSingleLine, text);
        line.translate(0, lineHeight);
    }
}

// ---------------------------------------------------------------------------

QtViewWidget::QtViewWidget(QtHost& host, QWidget* parent) : QWidget(parent), m_host(host) {
    setObjectName(QStringLiteral("view"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::ArrowCursor);
    setFocusPolicy(Qt::StrongFocus);
}

void QtViewWidget::SetZoom(int zoom) {
    m_zoom = std::max(zoom, 1);
    update();
}

QPoint QtViewWidget::ToView(QPointF position) const {
    // Floor, so that a point left of or above the view stays outside it.
    return QPoint(static_cast<int>(std::floor(position.x() / m_zoom)),
                  static_cast<int>(std::floor(position.y() / m_zoom)));
}

CView* QtViewWidget::LiveView() const {
    CFrameWnd* frame = m_host.Frame();
    CView* view = frame ? frame->GetActiveView() : nullptr;
    return view && view->IsWindow() ? view : nullptr;
}

void QtViewWidget::paintEvent(QPaintEvent* event) {
    const CView* view = LiveView();
    const CImage* surface = view ? &view->Surface() : nullptr;
    const QRect shown =
        surface ? QRect(0, 0, surface->width * m_zoom, surface->height * m_zoom) : QRect();
    // The usual paint, into the window's backing store, needs no painter.
    if (!shown.isEmpty() && shown.contains(event->region().boundingRect()) &&
        ZoomIntoBackingStore(*surface, event->region()))
        return;
    QPainter painter(this);
    if (!shown.isEmpty()) {
        // Anything else (a grab into a pixmap, a scaled screen): Qt scales
        // the damaged part straight from the surface, nearest pixel; the
        // surface's pixels leave the top byte 0, which RGB32 ignores.
        const QImage pixels(reinterpret_cast<const uchar*>(surface->pixels.data()), surface->width,
                            surface->height, surface->width * 4, QImage::Format_RGB32);
        for (const QRect& damaged : event->region() & shown) {
            const QRect source(QPoint(damaged.left() / m_zoom, damaged.top() / m_zoom),
                               QPoint(damaged.right() / m_zoom, damaged.bottom() / m_zoom));
            painter.drawImage(QRect(source.topLeft() * m_zoom, source.size() * m_zoom), pixels,
                              source);
        }
    }
    // A surface smaller than the area (a view not yet sized) leaves the rest dark.
    for (const QRect& beyond : event->region() - shown) painter.fillRect(beyond, kBackdrop);
}

bool QtViewWidget::ZoomIntoBackingStore(const CImage& surface, const QRegion& region) const {
    // During a paint into the window's backing store the widget is
    // redirected to it; when that is a plain 32-bit image it takes the zoomed
    // pixels straight (even an unscaled drawImage has Qt 6 copy large blocks
    // on its thread pool, and a painter costs more than a card's pixels).
    QPoint redirection;
    auto* device = dynamic_cast<QImage*>(redirected(&redirection));
    if (!device || sharedPainter() || device->devicePixelRatio() != 1 ||
        (device->format() != QImage::Format_RGB32 &&
         device->format() != QImage::Format_ARGB32_Premultiplied))
        return false;
    const QPoint offset = -redirection;
    if (!device->rect().contains(region.boundingRect().translated(offset))) return false;
    for (const QRect& part : region) ScaleInto(surface, m_zoom, part, offset, device);
    return true;
}

void QtViewWidget::Deliver(QMouseEvent* event, void (*send)(CView&, CPoint)) {
    m_pointer = event->globalPosition();
    const QPoint p = ToView(event->position());
    if (CView* view = LiveView()) m_host.RunHandler([&] { send(*view, CPoint(p.x(), p.y())); });
    m_host.Idle();
}

void QtViewWidget::FollowPointer() {
    if (!m_pressed || m_host.Sleeping()) return;
    const QPoint p = ToView(mapFromGlobal(m_pointer));
    if (CView* view = LiveView())
        m_host.RunHandler([&] { view->SendStylusMove(CPoint(p.x(), p.y())); });
    m_host.Idle();
}

void QtViewWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    m_pressed = true;
    Deliver(event, [](CView& view, CPoint p) { view.SendStylusDown(p); });
}

void QtViewWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    // Qt sends this in place of the second press; the platform decides
    // whether the window's class turns it into a double tap.
    if (event->button() != Qt::LeftButton) return;
    m_pressed = true;
    Deliver(event, [](CView& view, CPoint p) { view.SendStylusDown(p, true); });
}

// Moves and the lift belong to a press the view was given: the rest of a
// press dropped while the program was busy is dropped too.
void QtViewWidget::mouseMoveEvent(QMouseEvent* event) {
    if (m_pressed && (event->buttons() & Qt::LeftButton))
        Deliver(event, [](CView& view, CPoint p) { view.SendStylusMove(p); });
}

void QtViewWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !m_pressed) return;
    m_pressed = false;
    Deliver(event, [](CView& view, CPoint p) { view.SendStylusUp(p); });
}

namespace {
// The keys the table plays with. Held down, the moves repeat; a tap, a
// drop or a put-back happens once per press.
struct TableKey {
    Qt::Key key;
    unsigned virtualKey;
    bool repeats;
};
constexpr TableKey kTableKeys[] = {
    {Qt::Key_Tab, VK_TAB, true},        {Qt::Key_Backtab, VK_TAB, true},
    {Qt::Key_Left, VK_LEFT, true},      {Qt::Key_Right, VK_RIGHT, true},
    {Qt::Key_Up, VK_UP, true},          {Qt::Key_Down, VK_DOWN, true},
    {Qt::Key_Return, VK_RETURN, false}, {Qt::Key_Enter, VK_RETURN, false},
    {Qt::Key_Space, VK_SPACE, false},   {Qt::Key_Escape, VK_ESCAPE, false},
    {Qt::Key_H, VK_H, false},
};
}  // namespace

void QtViewWidget::keyPressEvent(QKeyEvent* event) {
    // With Ctrl, Alt or Meta a key is the desktop's, never the table's.
    const Qt::KeyboardModifiers modifiers =
        event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
    const auto* key = std::find_if(std::begin(kTableKeys), std::end(kTableKeys),
                                   [event](const TableKey& k) { return k.key == event->key(); });
    if (modifiers != Qt::NoModifier || key == std::end(kTableKeys)) {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    if (event->isAutoRepeat() && !key->repeats) return;
    // Shift+Tab comes as Backtab, with or without Shift.
    const bool shift = event->key() == Qt::Key_Backtab || (event->modifiers() & Qt::ShiftModifier);
    if (CView* view = LiveView())
        m_host.RunHandler(
            [&] { view->SendKeyDown(key->virtualKey, shift ? unsigned{MK_SHIFT} : 0u); });
    m_host.Idle();
}

// ---------------------------------------------------------------------------

QtViewArea::QtViewArea(QtHost& host, QWidget* parent)
    : QWidget(parent), m_view(new QtViewWidget(host, this)) {
    // The window decides the size; the area takes what is left of it.
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    Place();
}

void QtViewArea::SetView(QSize clientSize, int zoom) {
    m_clientSize = clientSize;
    m_zoom = std::max(zoom, 1);
    m_view->SetZoom(m_zoom);
    Place();
}

void QtViewArea::resizeEvent(QResizeEvent*) {
    Place();
}

void QtViewArea::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), kBackdrop);
}

void QtViewArea::Place() {
    const QSize shown = m_clientSize * m_zoom;
    m_view->setGeometry((width() - shown.width()) / 2, (height() - shown.height()) / 2,
                        shown.width(), shown.height());
}

// ---------------------------------------------------------------------------

QtMainWindow::QtMainWindow(QtHost& host, CFrameWnd* frame)
    : m_host(host), m_frame(frame), m_area(new QtViewArea(host, this)) {
    setObjectName(QStringLiteral("mainWindow"));
    m_frameTimer.setSingleShot(true);
    m_frameTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_frameTimer, &QTimer::timeout, this, [this] { ShowDueView(); });
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_area, 1);
    BuildSoftKeyBar();
    layout->addWidget(m_bar);
    BuildShortcuts();
    // The table has the keys from the start; the bar never takes them.
    m_area->View()->setFocus();
    // The table the program lays out at first is the one the zoom is for.
    m_unzoomedView = ViewSizeOf(frame);
    ScaleBar();
    // Smaller, the table would be cut and the soft keys pushed out of sight.
    setMinimumSize(UnzoomedSize());
    // The program icon, shown by the desktop's task bar and window list.
    CBitmap icon;
    if (icon.LoadBitmap("ICON128")) {
        QApplication::setWindowIcon(QIcon(QPixmap::fromImage(ToQImage(*icon.Image(), 2))));
        setWindowIcon(QApplication::windowIcon());
    }
    RefreshFrame();
    RefreshSoftKeys();
}

QtMainWindow::~QtMainWindow() = default;

void QtMainWindow::BuildSoftKeyBar() {
    m_bar = new SoftKeyBarWidget(this);
    m_bar->setObjectName(QStringLiteral("softKeyBar"));
    auto* row = new QHBoxLayout(m_bar);
    row->setContentsMargins(4, 5, 4, 4);
    row->setSpacing(4);

    std::vector<SoftKey> keys;
    if (const SoftKeyBar* bar = FindSoftKeyBar(ResourceOf(m_frame))) keys = bar->buttons;
    for (size_t i = 0; i < keys.size(); ++i) {
        const QString text = ToQString(LoadStringResource(keys[i].stringId));
        SoftKeyButton key;
        key.button = new QToolButton(m_bar);
        key.button->setText(text);
        key.button->setAutoRaise(true);
        key.button->setFocusPolicy(Qt::NoFocus);
        key.button->setObjectName(i == 0                 ? QStringLiteral("softKeyLeft")
                                  : i + 1 == keys.size() ? QStringLiteral("softKeyRight")
                                                         : QStringLiteral("softKey%1").arg(i));
        key.command = keys[i].command;
        key.opensMenu = keys[i].subMenu != kNoSubMenu;
        m_keys.push_back(key);
    }
    m_status = new QtStatusLabel(m_bar);
    m_status->setObjectName(QStringLiteral("status"));
    m_status->setAlignment(Qt::AlignCenter);
    // The status never widens the window: the view decides its width.
    m_status->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_status->setMinimumWidth(0);

    for (size_t i = 0; i < m_keys.size(); ++i) {
        if (i == 1) row->addWidget(m_status, 1);
        row->addWidget(m_keys[i].button);
        const SoftKeyButton key = m_keys[i];
        connect(key.button, &QToolButton::clicked, this, [this, key] { PressSoftKey(key); });
    }
    if (m_keys.size() < 2) row->addWidget(m_status, 1);
}

namespace {

QKeySequence KeyOf(const Accelerator& accelerator) {
    const Qt::Key key = accelerator.function ? Qt::Key(Qt::Key_F1 + (accelerator.key - '1'))
                                             : Qt::Key(static_cast<unsigned char>(accelerator.key));
    Qt::KeyboardModifiers modifiers;
    if (accelerator.control) modifiers |= Qt::ControlModifier;
    if (accelerator.shift) modifiers |= Qt::ShiftModifier;
    return QKeySequence(QKeyCombination(modifiers, key));
}

// What the menu or a soft key calls the command, or nothing.
QString CommandText(unsigned resource, unsigned command) {
    if (const MenuResource* menu = FindMenu(resource))
        for (const MenuItem& item : menu->items)
            if (item.id == command) return ToQString(item.text);
    if (const SoftKeyBar* bar = FindSoftKeyBar(resource))
        for (const SoftKey& key : bar->buttons)
            if (key.command == command) return ToQString(LoadStringResource(key.stringId));
    return QString();
}

}  // namespace

void QtMainWindow::BuildShortcuts() {
    for (const Accelerator& accelerator : GetResources().accelerators) {
        auto* shortcut = new QShortcut(KeyOf(accelerator), this);
        const unsigned command = accelerator.command;
        // Exactly as the menu sends it: only while the command route enables it.
        connect(shortcut, &QShortcut::activated, this,
                [this, command] { m_host.SendCommand(command); });
        const QString text = CommandText(ResourceOf(m_frame), command);
        if (text.isEmpty()) continue;  // no menu item or soft key: nothing to list
        // A command with two keys is listed once, with its first.
        if (std::any_of(m_commandKeys.begin(), m_commandKeys.end(),
                        [command](const CommandKey& key) { return key.command == command; }))
            continue;
        auto* action = new QAction(
            text + QLatin1Char('\t') + KeyOf(accelerator).toString(QKeySequence::NativeText), this);
        action->setData(command);
        connect(action, &QAction::triggered, this,
                [this, command] { m_host.SendCommand(command); });
        m_commandKeys.push_back(CommandKey{action, command});
    }

    // The zoom belongs to the window, not to the game: it lives in the
    // bar's context menu and on the usual keys, never in the game's Menu.
    auto* zoomIn = new QAction(tr("Zoom In"), m_bar);
    zoomIn->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    connect(zoomIn, &QAction::triggered, this, [this] {
        // Never past the screen, though a window already bigger keeps its zoom.
        ZoomByThePlayer(std::min(Zoom() + 1, std::max(Zoom(), MaxZoom())));
    });
    auto* zoomOut = new QAction(tr("Zoom Out"), m_bar);
    zoomOut->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Minus));
    connect(zoomOut, &QAction::triggered, this, [this] { ZoomByThePlayer(Zoom() - 1); });
    auto* zoomFit = new QAction(tr("Fit to Screen"), m_bar);
    zoomFit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
    connect(zoomFit, &QAction::triggered, this, [this] { ZoomByThePlayer(DefaultZoom()); });
    for (QAction* action : {zoomIn, zoomOut, zoomFit}) {
        action->setShortcutContext(Qt::WindowShortcut);
        m_bar->addAction(action);
        m_zoomActions.push_back(action);
    }
    // The keyboard's way to the soft key "Menu", as F10 (or the menu key)
    // reaches a desktop program's menu bar.
    auto* menuKey = new QAction(tr("Menu"), this);
    menuKey->setShortcuts({QKeySequence(Qt::Key_F10), QKeySequence(Qt::Key_Menu),
                           QKeySequence(Qt::SHIFT | Qt::Key_F10)});
    menuKey->setShortcutContext(Qt::WindowShortcut);
    connect(menuKey, &QAction::triggered, this, [this] {
        if (!m_host.Sleeping()) ShowPopupMenu(true);
    });
    addAction(menuKey);
    m_bar->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_bar, &QWidget::customContextMenuRequested, this, [this](QPoint at) {
        std::unique_ptr<QMenu> menu = CreateBarMenu();
        menu->exec(m_bar->mapToGlobal(at));
    });
}

std::unique_ptr<QMenu> QtMainWindow::CreateBarMenu() {
    std::unique_ptr<QMenu> menu = ZoomedMenu(this, QStringLiteral("barMenu"), m_zoom);
    for (QAction* action : m_zoomActions) menu->addAction(action);
    menu->addSeparator();
    for (const CommandKey& key : m_commandKeys) {
        key.action->setEnabled(m_frame && m_frame->QueryCommand(key.command).m_enabled);
        menu->addAction(key.action);
    }
    return menu;
}

QAbstractButton* QtMainWindow::LeftSoftKey() const {
    return m_keys.empty() ? nullptr : m_keys.front().button;
}
QAbstractButton* QtMainWindow::RightSoftKey() const {
    return m_keys.size() < 2 ? nullptr : m_keys.back().button;
}

void QtMainWindow::PressSoftKey(const SoftKeyButton& key) {
    if (key.opensMenu)
        ShowPopupMenu();
    else
        m_host.SendCommand(key.command);
}

int QtMainWindow::FitZoom(QSize area, QSize view) {
    if (view.width() <= 0 || view.height() <= 0) return 1;
    return std::max(1, std::min(area.width() / view.width(), area.height() / view.height()));
}

QSize QtMainWindow::UnzoomedSize() const {
    return m_unzoomedView + QSize(0, kBarHeight);
}

QSize QtMainWindow::FrameMargins() const {
    if (isVisible()) return frameGeometry().size() - geometry().size();
    return QSize(8, 32);  // a typical caption and border before the first show
}

int QtMainWindow::MaxZoom() const {
    const QScreen* shown = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!shown) return 1;
    return FitZoom(shown->availableGeometry().size() - FrameMargins(), UnzoomedSize());
}

void QtMainWindow::ScaleBar() {
    // The bar is the handheld's, zoomed with the table: its height, its
    // keys and its text all grow in step.
    m_bar->setFixedHeight(kBarHeight * m_zoom);
    static_cast<QHBoxLayout*>(m_bar->layout())
        ->setContentsMargins(3 * m_zoom, 2 * m_zoom, 3 * m_zoom, 2 * m_zoom);
    QFont text = font();
    text.setPixelSize(12 * m_zoom);
    QFont keyText = text;
    keyText.setBold(true);
    int keyWidth = 0;
    for (const SoftKeyButton& key : m_keys) {
        key.button->setFont(keyText);
        keyWidth = std::max(keyWidth, QFontMetrics(keyText).horizontalAdvance(key.button->text()));
    }
    // Equal key widths keep the status text in the middle of the window.
    for (const SoftKeyButton& key : m_keys) key.button->setFixedWidth(keyWidth + 12 * m_zoom);
    m_status->setFont(text);
}

void QtMainWindow::ZoomByThePlayer(int zoom) {
    // Input as any key is: a hint shown goes.
    if (auto* game = dynamic_cast<CGameView*>(m_area->View()->LiveView()))
        m_host.RunHandler([game] { game->HideHint(); });
    SetZoom(zoom);
    m_host.Idle();
}

void QtMainWindow::SetZoom(int zoom) {
    zoom = std::max(zoom, 1);
    // A maximised window keeps its size, and with it its zoom.
    if (isMaximized() || isFullScreen()) return;
    resize(UnzoomedSize() * zoom);
    Fit();
}

void QtMainWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // Without a window manager to heed the minimum, a resize from outside
    // can go below it: the window takes its least size back.
    if (width() < minimumWidth() || height() < minimumHeight()) {
        resize(size().expandedTo(minimumSize()));
        return;
    }
    Fit();
}

void QtMainWindow::Fit() {
    const QSize room = size();
    const int zoom = FitZoom(room, UnzoomedSize());
    if (zoom != m_zoom) {
        m_zoom = zoom;
        ScaleBar();
        layout()->activate();  // the area takes the bar's new height now
    }
    m_client = QSize(std::max(1, room.width() / m_zoom),
                     std::max(1, (room.height() - kBarHeight * m_zoom) / m_zoom));
    m_area->SetView(m_client, m_zoom);
    SyncViewSize();
    m_area->View()->update();
    m_area->View()->FollowPointer();
}

void QtMainWindow::SyncViewSize() {
    // A handler that sleeps half way through an animation does not get its
    // view resized under it; the new size follows when it has returned.
    if (!m_frame || m_host.Sleeping()) return;
    if (m_frame->ViewSize().cx != m_client.width() || m_frame->ViewSize().cy != m_client.height())
        m_frame->SetViewSize(m_client.width(), m_client.height());
}

void QtMainWindow::RefreshFrame() {
    const QString caption = CaptionOf(m_frame);
    if (caption != windowTitle()) {
        setWindowTitle(caption);
        // A screen reader is told the window's new name: another game.
        if (QAccessible::isActive()) {
            QAccessibleEvent named(this, QAccessible::NameChanged);
            QAccessible::updateAccessibility(&named);
        }
    }
    // A new status text repaints the label, and nothing else.
    const QString status = m_frame ? ToQString(m_frame->StatusText()) : QString();
    if (status != m_status->text()) m_status->setText(status);
    // Another game's view is shown whole; a view's own drawing is shown
    // region by region as it is drawn.
    const CView* view = m_frame ? m_frame->GetActiveView() : nullptr;
    if (view != m_shownView) {
        m_shownView = view;
        m_area->View()->update();
    }
}

void QtMainWindow::RefreshSoftKeys() {
    if (!m_frame) return;
    for (const SoftKeyButton& key : m_keys)
        if (!key.opensMenu) key.button->setEnabled(m_frame->QueryCommand(key.command).m_enabled);
}

std::unique_ptr<QMenu> QtMainWindow::CreatePopupMenu() {
    std::unique_ptr<QMenu> menu = ZoomedMenu(this, QStringLiteral("popupMenu"), m_zoom);
    const MenuResource* resource = FindMenu(ResourceOf(m_frame));
    if (!resource) return menu;
    menu->setTitle(ToQString(resource->title));
    for (const MenuItem& item : resource->items) {
        if (item.IsSeparator()) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(ToQString(item.text));
        action->setData(item.id);
        const CCmdUI state = m_frame ? m_frame->QueryCommand(item.id) : CCmdUI(item.id);
        action->setEnabled(m_frame && state.m_enabled);
        // Only a checked item shows a box, as on the handheld.
        action->setCheckable(state.m_checked);
        action->setChecked(state.m_checked);
    }
    return menu;
}

void QtMainWindow::ShowPopupMenu(bool byKey) {
    std::unique_ptr<QMenu> menu = CreatePopupMenu();
    if (menu->isEmpty()) return;
    // The last move's words are not read again when the focus comes back.
    if (auto* game = dynamic_cast<CGameView*>(m_area->View()->LiveView()))
        m_host.RunHandler([game] { game->ForgetAnnouncement(); });
    // Opened by a key, it opens on its first item, which a screen reader
    // then reads, as a menu bar's menu does.
    if (byKey)
        QTimer::singleShot(0, menu.get(), [shown = menu.get()] {
            for (QAction* action : shown->actions())
                if (action->isEnabled() && !action->isSeparator()) {
                    shown->setActiveAction(action);
                    return;
                }
        });
    // Opens upwards from the bar, right-aligned with the key that opened it.
    QWidget* anchor = RightSoftKey() ? static_cast<QWidget*>(RightSoftKey()) : m_bar;
    const QSize size = menu->sizeHint();
    const QPoint corner = anchor->mapToGlobal(QPoint(anchor->width(), 0));
    QAction* chosen = menu->exec(corner - QPoint(size.width(), size.height()));
    if (chosen) m_host.SendCommand(chosen->data().toUInt());
}

namespace {
QRegion Zoomed(const QRegion& region, int zoom) {
    QRegion zoomed;
    for (const QRect& r : region) zoomed += QRect(r.topLeft() * zoom, r.size() * zoom);
    return zoomed;
}
}  // namespace

namespace {
// A screen shows a new picture this often (60 times a second).
constexpr qint64 kFrameMs = 16;
}  // namespace

void QtMainWindow::RepaintView(const QRegion& region) {
    if (region.isEmpty()) return;
    // What waits for the frame's end is shown with it.
    m_frameTimer.stop();
    m_area->View()->repaint(Zoomed(region, Zoom()) + m_viewDue);
    m_viewDue = QRegion();
    m_viewShown.start();
}

void QtMainWindow::UpdateView(const QRegion& region) {
    if (region.isEmpty()) return;
    m_viewDue += Zoomed(region, Zoom());
    // The steps of a drag come faster than a screen shows them: each repaint
    // of the view, and its trip to the screen, costs far more than the step.
    const qint64 since = m_viewShown.isValid() ? m_viewShown.elapsed() : kFrameMs;
    if (since >= kFrameMs) {
        ShowDueView();
    } else if (!m_frameTimer.isActive()) {
        m_frameTimer.start(static_cast<int>(kFrameMs - since));
    }
}

void QtMainWindow::ShowDueView() {
    m_frameTimer.stop();
    if (!m_viewDue.isEmpty()) m_area->View()->update(m_viewDue);
    m_viewDue = QRegion();
    m_viewShown.start();
}

void QtMainWindow::closeEvent(QCloseEvent* event) {
    if (m_host.QuitRequested()) {
        event->accept();
        return;
    }
    // Closing the window is Exit: the program ends the way its command does.
    event->ignore();
    m_host.RequestExit();
    if (m_host.QuitRequested()) event->accept();
}
