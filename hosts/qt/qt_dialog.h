// Modal dialogs built with real Qt widgets from the program's templates.
// Every widget is named "control-<id>" after its control.
#pragma once

#include <QDialog>
#include <QFont>
#include <QRadioButton>
#include <vector>

#include "platform/dialog.h"

class QLineEdit;
class QToolButton;

// A dialog font's base units, which turn dialog units into pixels: a
// horizontal unit is a quarter of the average character width, a vertical
// one an eighth of the character height.
struct DialogBaseUnits {
    int x = 6;
    int y = 13;
    static DialogBaseUnits Of(const QFont& font);
    int ToPixelsX(int units) const;
    int ToPixelsY(int units) const;
    QRect ToPixels(const CRect& units) const;
};

// The template's font; the old system faces become the desktop's sans font.
QFont DialogFont(const DialogTemplate& dialogTemplate);

// A message box's or menu's font at the table's zoom: as big as a dialog's
// 8 points zoomed, never smaller than the desktop's own.
QFont ZoomedFont(QFont font, int zoom);

// An up-down control: two arrows that step a position within a range and,
// when asked, write it into the edit box it is attached to.
// A push-like radio button (Spider's suits): drawn as a push button that
// stays down while chosen, and a radio button to a screen reader and the
// arrow keys.
class QtPushLikeRadio : public QRadioButton {
public:
    using QRadioButton::QRadioButton;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& point) const override;
};

class QtUpDown : public QWidget {
    Q_OBJECT
public:
    QtUpDown(QWidget* parent, QLineEdit* buddy, bool setBuddyInt);
    void SetRange(int lower, int upper);
    void SetPosition(int position);
    int Position() const { return m_position; }
    // One step towards the upper end (+1) or the lower end (-1).
    void Step(int direction);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QLineEdit* m_buddy;
    bool m_setBuddyInt;
    QToolButton* m_up;
    QToolButton* m_down;
    int m_lower = 0, m_upper = 100, m_position = 0;
};

class QtTemplateDialog : public QDialog {
    Q_OBJECT
public:
    // dialog must have been begun (CDialog::BeginModal) with its template.
    // At a zoom above 1 the dialog grows with the table: its font, and with
    // it every dialog unit, its icons and its list columns.
    QtTemplateDialog(CDialog& dialog, QWidget* parent, int zoom = 1);

    // A button press: the widgets' values go into the controls, the dialog
    // answers, and it either ends or shows its controls again.
    void Press(unsigned id);
    void accept() override;
    void reject() override;

    const DialogBaseUnits& BaseUnits() const { return m_units; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct Item {
        const DialogControl* control;
        QWidget* widget;
        bool ownsState;         // false for a label whose id other controls share
        int shownPosition = 0;  // up-down: the position last written to the buddy
    };
    void Build();
    void Refresh();
    void Store();
    // Lists grow, and the dialog with them, until every row and every
    // cell's whole text shows (as far as the screen allows).
    void FitLists();

    CDialog& m_dialog;
    int m_zoom;
    DialogBaseUnits m_units;
    std::vector<Item> m_items;
    bool m_hasDefault = false;
};

// Runs the dialog modally over parent at the zoom; returns the code it ended
// with, or -1 when its template is missing.
int RunTemplateDialog(CDialog& dialog, QWidget* parent, int zoom = 1);
