#include "hosts/qt/qt_dialog.h"

#include <QApplication>
#include <QButtonGroup>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QTableWidget>
#include <QToolButton>
#include <algorithm>
#include <cmath>
#include <map>

#include "hosts/qt/qt_convert.h"

namespace {

// What a list's column needs to show its header and cells whole.
int ColumnContentWidth(const QTableWidget& table, int col) {
    const QAbstractItemView& view = table;  // the hint is public there
    return std::max(view.sizeHintForColumn(col), table.horizontalHeader()->sectionSizeHint(col));
}

constexpr int LVCFMT_RIGHT = 1;
constexpr int LVCFMT_CENTER = 2;

QString ControlName(unsigned id) {
    return QStringLiteral("control-%1").arg(id);
}

// A static's "&" marks a mnemonic and is not shown; "&&" shows one "&".
QString StaticText(const CString& text) {
    const QString in = ToQString(text);
    QString out;
    for (qsizetype i = 0; i < in.size(); ++i) {
        if (in[i] == u'&') {
            if (i + 1 < in.size() && in[i + 1] == u'&') {
                out += u'&';
                ++i;
            }
            continue;
        }
        out += in[i];
    }
    return out;
}

int MulDiv(int value, int multiplier, int divisor) {
    return static_cast<int>(std::lround(static_cast<double>(value) * multiplier / divisor));
}

}  // namespace

// ---------------------------------------------------------------------------

DialogBaseUnits DialogBaseUnits::Of(const QFont& font) {
    const QFontMetricsF metrics(font);
    // The average width the way the old system measured it: over the alphabet, rounded.
    const double alphabet = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    DialogBaseUnits units;
    units.x = std::max(1, static_cast<int>((alphabet / 26 + 1) / 2));
    units.y = std::max(1, static_cast<int>(std::ceil(metrics.height())));
    return units;
}

int DialogBaseUnits::ToPixelsX(int units) const {
    return MulDiv(units, x, 4);
}
int DialogBaseUnits::ToPixelsY(int units) const {
    return MulDiv(units, y, 8);
}

QRect DialogBaseUnits::ToPixels(const CRect& units) const {
    const int left = ToPixelsX(units.left);
    const int top = ToPixelsY(units.top);
    return QRect(left, top, ToPixelsX(units.right) - left, ToPixelsY(units.bottom) - top);
}

QFont DialogFont(const DialogTemplate& dialogTemplate) {
    const QString name = ToQString(dialogTemplate.fontName);
    static const QStringList systemFaces = {
        QStringLiteral("MS Sans Serif"), QStringLiteral("MS Shell Dlg"),
        QStringLiteral("MS Shell Dlg 2"), QStringLiteral("Microsoft Sans Serif"),
        QStringLiteral("System")};
    QFont font = QApplication::font();
    if (!name.isEmpty() && !systemFaces.contains(name, Qt::CaseInsensitive)) font.setFamily(name);
    font.setPointSizeF(dialogTemplate.fontSize > 0 ? dialogTemplate.fontSize : 8);
    return font;
}

QFont ZoomedFont(QFont font, int zoom) {
    font.setPointSizeF(std::max(font.pointSizeF(), 8.0 * std::max(zoom, 1)));
    return font;
}

// ---------------------------------------------------------------------------

void QtPushLikeRadio::paintEvent(QPaintEvent*) {
    // As a checkable push button paints itself: down while chosen.
    QStylePainter painter(this);
    QStyleOptionButton option;
    option.initFrom(this);
    option.text = text();
    option.state |= QStyle::State_Raised;
    if (isDown() || isChecked()) option.state |= QStyle::State_Sunken;
    if (isChecked()) option.state |= QStyle::State_On;
    painter.drawControl(QStyle::CE_PushButton, option);
}

bool QtPushLikeRadio::hitButton(const QPoint& point) const {
    return rect().contains(point);
}

QtUpDown::QtUpDown(QWidget* parent, QLineEdit* buddy, bool setBuddyInt)
    : QWidget(parent),
      m_buddy(buddy),
      m_setBuddyInt(setBuddyInt),
      m_up(new QToolButton(this)),
      m_down(new QToolButton(this)) {
    m_up->setObjectName(QStringLiteral("up"));
    m_down->setObjectName(QStringLiteral("down"));
    m_up->setArrowType(Qt::UpArrow);
    m_down->setArrowType(Qt::DownArrow);
    // Named for a screen reader, as the page names them.
    m_up->setAccessibleName(QStringLiteral("Up"));
    m_down->setAccessibleName(QStringLiteral("Down"));
    for (QToolButton* arrow : {m_up, m_down}) {
        arrow->setAutoRepeat(true);
        arrow->setFocusPolicy(Qt::NoFocus);
    }
    connect(m_up, &QToolButton::clicked, this, [this] { Step(1); });
    connect(m_down, &QToolButton::clicked, this, [this] { Step(-1); });
    // The arrow keys in the attached box step it too.
    if (m_buddy) m_buddy->installEventFilter(this);
}

void QtUpDown::SetRange(int lower, int upper) {
    m_lower = lower;
    m_upper = upper;
}

void QtUpDown::SetPosition(int position) {
    m_position = position;
    if (m_setBuddyInt && m_buddy) m_buddy->setText(QString::number(position));
}

void QtUpDown::Step(int direction) {
    int position = m_position;
    // The box may have been typed in since: step from what it shows.
    if (m_setBuddyInt && m_buddy) {
        bool ok = false;
        const int typed = m_buddy->text().trimmed().toInt(&ok);
        if (ok) position = typed;
    }
    // "Up" heads for the upper end, which may be the smaller number.
    const int towardsUpper = m_upper >= m_lower ? 1 : -1;
    position += direction * towardsUpper;
    position = std::clamp(position, std::min(m_lower, m_upper), std::max(m_lower, m_upper));
    SetPosition(position);
    if (m_buddy) m_buddy->selectAll();
}

bool QtUpDown::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_buddy && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            Step(key == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void QtUpDown::resizeEvent(QResizeEvent*) {
    const int half = height() / 2;
    m_up->setGeometry(0, 0, width(), half);
    m_down->setGeometry(0, half, width(), height() - half);
}

// ---------------------------------------------------------------------------

QtTemplateDialog::QtTemplateDialog(CDialog& dialog, QWidget* parent, int zoom)
    : QDialog(parent), m_dialog(dialog), m_zoom(std::max(zoom, 1)) {
    setObjectName(QStringLiteral("dialog-%1").arg(dialog.TemplateId()));
    setWindowTitle(ToQString(dialog.GetWindowText()));
    Build();
    Refresh();
    FitLists();
}

void QtTemplateDialog::Build() {
    const DialogTemplate& t = *m_dialog.Template();
    QFont zoomed = DialogFont(t);
    zoomed.setPointSizeF(zoomed.pointSizeF() * m_zoom);
    setFont(zoomed);
    m_units = DialogBaseUnits::Of(font());
    setFixedSize(m_units.ToPixelsX(t.size.cx), m_units.ToPixelsY(t.size.cy));

    std::map<unsigned, int> idCount;
    for (const DialogControl& c : t.controls) ++idCount[c.id];

    QButtonGroup* radioGroup = nullptr;
    QWidget* previous = nullptr;
    ControlKind previousKind = ControlKind::Static;
    QWidget* firstFocus = nullptr;
    for (const DialogControl& c : t.controls) {
        const QRect rect = m_units.ToPixels(c.rect);
        const ControlState& state = m_dialog.Control(c.id);
        QWidget* widget = nullptr;
        switch (c.kind) {
            case ControlKind::PushButton:
            case ControlKind::DefPushButton: {
                auto* button = new QPushButton(ToQString(c.text), this);
                // Return presses the button that has the focus (Reset, say),
                // and the default one from anywhere else.
                button->setAutoDefault(true);
                if (c.kind == ControlKind::DefPushButton && !m_hasDefault) {
                    button->setDefault(true);
                    m_hasDefault = true;
                }
                const unsigned id = c.id;
                connect(button, &QPushButton::clicked, this, [this, id] { Press(id); });
                widget = button;
                break;
            }
            case ControlKind::Edit: {
                if (c.style & CTRL_MULTILINE) {
                    // A text to read, wrapped, with a scroll bar when it is long.
                    auto* text = new QPlainTextEdit(this);
                    text->setReadOnly((c.style & CTRL_READONLY) != 0);
                    text->setLineWrapMode(QPlainTextEdit::WidgetWidth);
                    text->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
                    if (!(c.style & CTRL_BORDER)) text->setFrameShape(QFrame::NoFrame);
                    widget = text;
                    break;
                }
                auto* edit = new QLineEdit(this);
                if (c.style & CTRL_NUMBER)
                    edit->setValidator(new QRegularExpressionValidator(
                        QRegularExpression(QStringLiteral("[0-9]*")), edit));
                if (!(c.style & CTRL_BORDER)) edit->setFrame(false);
                // The box takes no more than the dialog's data exchange allows.
                if (state.limit > 0) edit->setMaxLength(state.limit);
                // The text just before a box names it, for a screen reader too.
                if (auto* label = qobject_cast<QLabel*>(previous)) label->setBuddy(edit);
                widget = edit;
                break;
            }
            case ControlKind::Static: {
                auto* label = new QLabel(this);
                label->setTextFormat(Qt::PlainText);
                label->setWordWrap(true);
                const Qt::Alignment across = (c.style & CTRL_CENTER)  ? Qt::AlignHCenter
                                             : (c.style & CTRL_RIGHT) ? Qt::AlignRight
                                                                      : Qt::AlignLeft;
                label->setAlignment(across | Qt::AlignTop);
                label->setText(StaticText(c.text));
                widget = label;
                break;
            }
            case ControlKind::RadioButton: {
                QAbstractButton* radio = (c.style & CTRL_PUSHLIKE)
                                             ? new QtPushLikeRadio(ToQString(c.text), this)
                                             : new QRadioButton(ToQString(c.text), this);
                if (!radioGroup || (c.style & CTRL_GROUP) ||
                    previousKind != ControlKind::RadioButton) {
                    radioGroup = new QButtonGroup(this);
                    radioGroup->setExclusive(true);
                }
                radioGroup->addButton(radio);
                widget = radio;
                break;
            }
            case ControlKind::ListView: {
                auto* table = new QTableWidget(this);
                table->setSelectionBehavior(QAbstractItemView::SelectRows);
                table->setSelectionMode(QAbstractItemView::SingleSelection);
                table->setEditTriggers(QAbstractItemView::NoEditTriggers);
                table->verticalHeader()->hide();
                table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
                table->verticalHeader()->setDefaultSectionSize(m_units.y + 4);
                table->horizontalHeader()->setStretchLastSection(false);
                table->horizontalHeader()->setHighlightSections(false);
                table->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
                table->setWordWrap(false);
                table->setCornerButtonEnabled(false);
                table->setTabKeyNavigation(false);
                if (!(c.style & CTRL_BORDER)) table->setFrameShape(QFrame::NoFrame);
                widget = table;
                break;
            }
            case ControlKind::UpDown: {
                QLineEdit* buddy = nullptr;
                if ((c.style & CTRL_AUTOBUDDY) && previousKind == ControlKind::Edit)
                    buddy = qobject_cast<QLineEdit*>(previous);
                auto* upDown = new QtUpDown(this, buddy, (c.style & CTRL_SETBUDDYINT) != 0);
                QRect placed = rect;
                if (buddy && (c.style & CTRL_ALIGNRIGHT)) {
                    // Sits inside the right end of its box, which gives up the room.
                    QRect box = buddy->geometry();
                    box.setWidth(std::max(box.width() - rect.width(), m_units.x * 2));
                    buddy->setGeometry(box);
                    placed = QRect(box.right() + 1, box.top(), rect.width(), box.height());
                }
                upDown->setGeometry(placed);
                widget = upDown;
                break;
            }
            case ControlKind::Icon: {
                auto* label = new QLabel(this);
                CBitmap icon;
                const std::string name = ToUtf8(c.text);
                if (icon.LoadBitmap("ICON" + name) || icon.LoadBitmap(name))
                    label->setPixmap(QPixmap::fromImage(ToQImage(*icon.Image(), m_zoom)));
                label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
                widget = label;
                break;
            }
        }
        widget->setObjectName(ControlName(c.id));
        if (c.kind != ControlKind::UpDown) widget->setGeometry(rect);
        if (c.kind == ControlKind::Icon) {
            // An icon control takes the size of its icon, as it always has.
            const QSize iconSize = static_cast<QLabel*>(widget)->pixmap().size();
            if (!iconSize.isEmpty()) widget->resize(iconSize);
        }
        if (!firstFocus && c.kind != ControlKind::Static && c.kind != ControlKind::Icon &&
            c.kind != ControlKind::UpDown)
            firstFocus = widget;
        m_items.push_back(
            Item{&c, widget, idCount[c.id] == 1 || c.kind != ControlKind::Static, state.position});
        previous = widget;
        previousKind = c.kind;
    }
    const bool hasButton =
        std::any_of(t.controls.begin(), t.controls.end(), [](const DialogControl& c) {
            return c.kind == ControlKind::PushButton || c.kind == ControlKind::DefPushButton;
        });
    if (!hasButton) {
        // On the handheld the shell put an "ok" in the caption of a dialog
        // without buttons (the About box); here it sits at the bottom right.
        auto* ok = new QPushButton(QStringLiteral("OK"), this);
        ok->setObjectName(QStringLiteral("shellOk"));
        ok->setDefault(true);
        m_hasDefault = true;
        const QSize size(m_units.ToPixelsX(50), m_units.ToPixelsY(14));
        ok->setGeometry(QRect(QPoint(width() - size.width() - m_units.ToPixelsX(7),
                                     height() - size.height() - m_units.ToPixelsY(7)),
                              size));
        connect(ok, &QPushButton::clicked, this, [this] { Press(IDOK); });
        if (!firstFocus) firstFocus = ok;
    }
    if (firstFocus) {
        firstFocus->setFocus(Qt::OtherFocusReason);
        if (auto* edit = qobject_cast<QLineEdit*>(firstFocus)) edit->selectAll();
    }
}

void QtTemplateDialog::Refresh() {
    setWindowTitle(ToQString(m_dialog.GetWindowText()));
    for (Item& item : m_items) {
        if (!item.ownsState) continue;
        const ControlState& state = m_dialog.Control(item.control->id);
        switch (item.control->kind) {
            case ControlKind::PushButton:
            case ControlKind::DefPushButton:
                static_cast<QPushButton*>(item.widget)->setText(ToQString(state.text));
                break;
            case ControlKind::Edit: {
                if (auto* text = qobject_cast<QPlainTextEdit*>(item.widget)) {
                    if (text->toPlainText() != ToQString(state.text))
                        text->setPlainText(ToQString(state.text));
                    break;
                }
                auto* edit = static_cast<QLineEdit*>(item.widget);
                if (edit->text() != ToQString(state.text)) edit->setText(ToQString(state.text));
                break;
            }
            case ControlKind::Static:
                static_cast<QLabel*>(item.widget)->setText(StaticText(state.text));
                break;
            case ControlKind::RadioButton: {
                auto* radio = static_cast<QAbstractButton*>(item.widget);
                // An exclusive group will not let its checked button go otherwise.
                QButtonGroup* group = radio->group();
                if (group) group->setExclusive(false);
                radio->setChecked(state.checked);
                if (group) group->setExclusive(true);
                break;
            }
            case ControlKind::ListView: {
                auto* table = static_cast<QTableWidget*>(item.widget);
                const ListViewData& list = state.list;
                table->clear();
                table->setColumnCount(static_cast<int>(list.columns.size()));
                table->setRowCount(static_cast<int>(list.rows.size()));
                QStringList titles;
                for (const ListViewColumn& column : list.columns) titles << ToQString(column.title);
                table->setHorizontalHeaderLabels(titles);
                for (int r = 0; r < table->rowCount(); ++r) {
                    const auto& cells = list.rows[static_cast<size_t>(r)];
                    for (int col = 0; col < table->columnCount(); ++col) {
                        const size_t at = static_cast<size_t>(col);
                        auto* cell = new QTableWidgetItem(at < cells.size() ? ToQString(cells[at])
                                                                            : QString());
                        cell->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
                        const int format = list.columns[at].format;
                        cell->setTextAlignment(Qt::AlignVCenter |
                                               (format == LVCFMT_RIGHT    ? Qt::AlignRight
                                                : format == LVCFMT_CENTER ? Qt::AlignHCenter
                                                                          : Qt::AlignLeft));
                        table->setItem(r, col, cell);
                    }
                }
                // A column is as wide as the program asks and never narrower
                // than what it shows; a last one that asks for the rest of
                // the list fills it.
                const bool fillsRest =
                    !list.columns.empty() && list.columns.back().width == LVSCW_AUTOSIZE_USEHEADER;
                table->horizontalHeader()->setStretchLastSection(fillsRest);
                for (int col = 0; col < table->columnCount(); ++col) {
                    const int width = list.columns[static_cast<size_t>(col)].width;
                    const int needed = ColumnContentWidth(*table, col);
                    table->setColumnWidth(col, width >= 0 ? std::max(width * m_zoom, needed) : needed);
                }
                table->setShowGrid((list.exStyle & LVS_EX_GRIDLINES) != 0);
                table->clearSelection();
                if (list.selected >= 0 && list.selected < table->rowCount()) {
                    table->selectRow(list.selected);
                    table->scrollToItem(table->item(list.selected, 0));
                }
                break;
            }
            case ControlKind::UpDown: {
                auto* upDown = static_cast<QtUpDown*>(item.widget);
                upDown->SetRange(state.lower, state.upper);
                // Only a position the program set is written into the box;
                // otherwise the box keeps what the data exchange put there.
                if (state.position != item.shownPosition) upDown->SetPosition(state.position);
                item.shownPosition = state.position;
                break;
            }
            case ControlKind::Icon:
                break;
        }
    }
}

void QtTemplateDialog::FitLists() {
    const QScreen* shown = screen() ? screen() : QGuiApplication::primaryScreen();
    const QSize room =
        shown ? shown->availableGeometry().size() - QSize(16, 48) : QSize(4096, 4096);
    for (Item& item : m_items) {
        if (item.control->kind != ControlKind::ListView) continue;
        auto* table = static_cast<QTableWidget*>(item.widget);
        int width = 2 * table->frameWidth();
        const bool fillsRest = table->horizontalHeader()->stretchLastSection();
        for (int col = 0; col < table->columnCount(); ++col)
            width += fillsRest && col == table->columnCount() - 1 ? ColumnContentWidth(*table, col)
                                                                  : table->columnWidth(col);
        int height = 2 * table->frameWidth() + table->horizontalHeader()->sizeHint().height();
        for (int row = 0; row < table->rowCount(); ++row) height += table->rowHeight(row);
        const QRect list = table->geometry();
        const int dx =
            std::clamp(width - list.width(), 0, std::max(0, room.width() - this->width()));
        const int dy =
            std::clamp(height - list.height(), 0, std::max(0, room.height() - this->height()));
        if (dx == 0 && dy == 0) continue;
        // What lies below or right of the list moves with its new edge; a
        // button below it keeps to its side of the list, or to its middle.
        for (QWidget* other : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (other == table) continue;
            QRect at = other->geometry();
            if (at.left() >= list.right()) {
                at.translate(dx, 0);
            } else if (at.top() >= list.bottom()) {
                const int offCentre = at.center().x() - list.center().x();
                const bool centred = std::abs(offCentre) <= list.width() / 10;
                at.translate(centred ? dx / 2 : offCentre > 0 ? dx : 0, 0);
            }
            if (at.top() >= list.bottom()) at.translate(0, dy);
            other->setGeometry(at);
        }
        table->setGeometry(list.adjusted(0, 0, dx, dy));
        setFixedSize(size() + QSize(dx, dy));
    }
}

void QtTemplateDialog::Store() {
    for (Item& item : m_items) {
        if (!item.ownsState) continue;
        ControlState& state = m_dialog.Control(item.control->id);
        switch (item.control->kind) {
            case ControlKind::Edit:
                if (auto* text = qobject_cast<QPlainTextEdit*>(item.widget))
                    state.text = FromQString(text->toPlainText());
                else
                    state.text = FromQString(static_cast<QLineEdit*>(item.widget)->text());
                break;
            case ControlKind::RadioButton:
                state.checked = static_cast<QAbstractButton*>(item.widget)->isChecked();
                break;
            case ControlKind::ListView: {
                const auto* table = static_cast<QTableWidget*>(item.widget);
                const QModelIndexList rows = table->selectionModel()->selectedRows();
                state.list.selected = rows.isEmpty() ? -1 : rows.front().row();
                break;
            }
            case ControlKind::UpDown:
                state.position = static_cast<QtUpDown*>(item.widget)->Position();
                item.shownPosition = state.position;
                break;
            default:
                break;
        }
    }
}

void QtTemplateDialog::Press(unsigned id) {
    Store();
    m_dialog.ClickButton(id);
    if (m_dialog.HasEnded()) {
        done(m_dialog.Result());
        return;
    }
    // Still open: a button such as "Reset" may have changed what it shows.
    Refresh();
    // A refused value is typed again where it was refused.
    for (const Item& item : m_items)
        if (m_dialog.RefusedControl() && item.control->id == m_dialog.RefusedControl() &&
            item.ownsState) {
            item.widget->setFocus(Qt::OtherFocusReason);
            if (auto* edit = qobject_cast<QLineEdit*>(item.widget)) edit->selectAll();
        }
}

void QtTemplateDialog::accept() {
    Press(IDOK);
}
void QtTemplateDialog::reject() {
    Press(IDCANCEL);
}

void QtTemplateDialog::keyPressEvent(QKeyEvent* event) {
    // Enter is OK even in a dialog without a default button.
    if (!m_hasDefault && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        Press(IDOK);
        return;
    }
    QDialog::keyPressEvent(event);
}

int RunTemplateDialog(CDialog& dialog, QWidget* parent, int zoom) {
    if (!dialog.BeginModal()) return -1;
    QtTemplateDialog window(dialog, parent, zoom);
    window.exec();
    return dialog.Result();
}
