// Dialogs built from templates: widgets start from the controls, their values
// come back on a button, a refused value keeps the dialog open.
#include "hosts/qt/qt_dialog.h"

#include <QAccessible>
#include <QApplication>
#include <QButtonGroup>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QToolButton>
#include <QtTest/QTest>

#include "tests/qt/qt_test_support.h"

namespace {

template <class T>
T* Control(QWidget* dialog, unsigned id) {
    T* widget = dialog->findChild<T*>(QStringLiteral("control-%1").arg(id));
    EXPECT_NE(widget, nullptr) << "control " << id;
    return widget;
}

void Type(QLineEdit* edit, const QString& text) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

// The message box a refused value brings up: checks its text and answers OK.
void AnswerMessageBox(const QString& expected, bool* seen) {
    WhenModal("QMessageBox", [expected, seen](QWidget* modal) {
        auto* box = static_cast<QMessageBox*>(modal);
        EXPECT_EQ(box->text(), expected);
        *seen = true;
        box->button(QMessageBox::Ok)->click();
    });
}

class CSpinDialog : public CDialog {
public:
    CSpinDialog() : CDialog(IDD_QT_SPIN) {}
    bool OnInitDialog() override {
        CDialog::OnInitDialog();
        m_spin.SetRange(4, 16);
        UpdateData(false);
        return true;
    }
    void DoDataExchange(CDataExchange* dx) override {
        DDX_Control(dx, IDC_QT_SPIN, m_spin);
        DDX_Text(dx, IDC_QT_VALUE, m_value);
        DDV_MinMaxInt(dx, m_value, 2, 16);
    }
    CSpinButtonCtrl m_spin;
    int m_value = 8;
};

}  // namespace

using QtDialogTest = QtHostTest;

TEST_F(QtDialogTest, WidgetsStartFromTheControlsAndSitWhereTheTemplateSays) {
    CTestDialog dialog;
    WhenModal("QtTemplateDialog", [](QWidget* modal) {
        auto* window = static_cast<QtTemplateDialog*>(modal);
        EXPECT_EQ(window->windowTitle(), "Test dialog");
        const DialogBaseUnits& units = window->BaseUnits();
        EXPECT_EQ(window->size(), QSize(units.ToPixelsX(160), units.ToPixelsY(120)));
        EXPECT_EQ(Control<QLineEdit>(window, IDC_TEST_NAME)->geometry(),
                  units.ToPixels(CRect(50, 7, 150, 21)));
        EXPECT_EQ(Control<QLabel>(window, 999)->text(), "Name:");
        EXPECT_EQ(Control<QLineEdit>(window, IDC_TEST_NAME)->text(), "Alice");
        EXPECT_EQ(Control<QLineEdit>(window, IDC_TEST_NUMBER)->text(), "5");
        EXPECT_FALSE(Control<QRadioButton>(window, IDC_TEST_RADIO)->isChecked());
        EXPECT_TRUE(Control<QRadioButton>(window, IDC_TEST_RADIO + 1)->isChecked());
        EXPECT_FALSE(Control<QRadioButton>(window, IDC_TEST_RADIO + 2)->isChecked());
        EXPECT_TRUE(Control<QPushButton>(window, IDOK)->isDefault());
        EXPECT_FALSE(Control<QPushButton>(window, IDC_TEST_CLEAR)->isDefault());

        auto* list = Control<QTableWidget>(window, IDC_TEST_LIST);
        ASSERT_EQ(list->columnCount(), 2);
        EXPECT_EQ(list->horizontalHeaderItem(0)->text(), "Pos");
        EXPECT_EQ(list->horizontalHeaderItem(1)->text(), "Name");
        // Column widths are handheld pixels, zoomed with the window (2).
        EXPECT_EQ(list->columnWidth(0), 60);
        EXPECT_EQ(list->columnWidth(1), 190);
        ASSERT_EQ(list->rowCount(), 2);
        EXPECT_EQ(list->item(0, 1)->text(), "Bob");
        EXPECT_EQ(list->item(1, 1)->text(), "Carol");
        const QModelIndexList selected = list->selectionModel()->selectedRows();
        ASSERT_EQ(selected.size(), 1);
        EXPECT_EQ(selected[0].row(), 1);
        EXPECT_EQ(list->editTriggers(), QAbstractItemView::NoEditTriggers);
        EXPECT_EQ(list->selectionBehavior(), QAbstractItemView::SelectRows);

        QTest::keyClick(window, Qt::Key_Escape);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.m_name, u"Alice");  // a cancel leaves the fields alone
}

TEST_F(QtDialogTest, TypedValuesComeBackWithOk) {
    CTestDialog dialog;
    WhenModal("QtTemplateDialog", [](QWidget* window) {
        Type(Control<QLineEdit>(window, IDC_TEST_NAME), QStringLiteral("Zed"));
        // The number box takes digits only.
        Type(Control<QLineEdit>(window, IDC_TEST_NUMBER), QStringLiteral("1x2"));
        EXPECT_EQ(Control<QLineEdit>(window, IDC_TEST_NUMBER)->text(), "12");
        QTest::mouseClick(Control<QRadioButton>(window, IDC_TEST_RADIO + 2), Qt::LeftButton, {},
                          QPoint(6, 6));
        EXPECT_FALSE(Control<QRadioButton>(window, IDC_TEST_RADIO + 1)->isChecked());
        Control<QPushButton>(window, IDOK)->click();
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.m_name, u"Zed");
    EXPECT_EQ(dialog.m_number, 12);
    EXPECT_EQ(dialog.m_choice, 2);
}

TEST_F(QtDialogTest, RefusedNumberKeepsTheDialogOpenWithTheMessage) {
    CTestDialog dialog;
    bool told = false;
    WhenModal("QtTemplateDialog", [&told](QWidget* window) {
        Type(Control<QLineEdit>(window, IDC_TEST_NUMBER), QStringLiteral("20"));
        Control<QLineEdit>(window, IDC_TEST_NAME)->setFocus();
        AnswerMessageBox(QStringLiteral("Enter an integer between 2 and 16."), &told);
        Control<QPushButton>(window, IDOK)->click();
        EXPECT_TRUE(told);
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(Control<QLineEdit>(window, IDC_TEST_NUMBER)->text(), "20");  // left as typed
        // to be typed again where it was refused
        EXPECT_EQ(window->focusWidget(), Control<QLineEdit>(window, IDC_TEST_NUMBER));
        EXPECT_EQ(Control<QLineEdit>(window, IDC_TEST_NUMBER)->selectedText(), "20");

        // An empty box is no number at all.
        Control<QLineEdit>(window, IDC_TEST_NUMBER)->clear();
        bool toldAgain = false;
        AnswerMessageBox(QStringLiteral("Enter an integer."), &toldAgain);
        Control<QPushButton>(window, IDOK)->click();
        EXPECT_TRUE(toldAgain);

        // Enter presses the default button.
        Type(Control<QLineEdit>(window, IDC_TEST_NUMBER), QStringLiteral("7"));
        QTest::keyClick(Control<QLineEdit>(window, IDC_TEST_NUMBER), Qt::Key_Return);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.m_number, 7);
}

TEST_F(QtDialogTest, ButtonThatDoesNotEndTheDialogRefreshesIt) {
    CTestDialog dialog;
    WhenModal("QtTemplateDialog", [](QWidget* window) {
        auto* list = Control<QTableWidget>(window, IDC_TEST_LIST);
        // The player's pick of a row goes into the control too.
        list->selectRow(0);
        // Return on the focused button presses it, not the default OK.
        Control<QPushButton>(window, IDC_TEST_CLEAR)->setFocus();
        QTest::keyClick(Control<QPushButton>(window, IDC_TEST_CLEAR), Qt::Key_Return);
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(list->rowCount(), 0);
        EXPECT_EQ(list->columnCount(), 2);
        window->close();  // the close box is Cancel
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_TRUE(dialog.Control(IDC_TEST_LIST).list.rows.empty());
}

TEST_F(QtDialogTest, UpDownStepsItsBoxWithinItsRange) {
    CSpinDialog dialog;
    WhenModal("QtTemplateDialog", [](QWidget* window) {
        auto* box = Control<QLineEdit>(window, IDC_QT_VALUE);
        auto* spin = Control<QtUpDown>(window, IDC_QT_SPIN);
        auto* up = spin->findChild<QToolButton*>(QStringLiteral("up"));
        auto* down = spin->findChild<QToolButton*>(QStringLiteral("down"));
        ASSERT_TRUE(up && down);
        EXPECT_EQ(QAccessible::queryAccessibleInterface(up)->text(QAccessible::Name), "Up");
        EXPECT_EQ(QAccessible::queryAccessibleInterface(down)->text(QAccessible::Name), "Down");
        // The box shows what the exchange put there, not the arrows' position.
        EXPECT_EQ(box->text(), "8");
        // Attached at the right end of its box, as tall as the box.
        EXPECT_EQ(spin->geometry().left(), box->geometry().right() + 1);
        EXPECT_EQ(spin->height(), box->height());

        up->click();
        EXPECT_EQ(box->text(), "9");
        // Stepping starts from what was typed, and stops at the ends.
        Type(box, QStringLiteral("2"));
        up->click();
        EXPECT_EQ(box->text(), "4");
        down->click();
        EXPECT_EQ(box->text(), "4");
        Type(box, QStringLiteral("16"));
        up->click();
        EXPECT_EQ(box->text(), "16");
        QTest::keyClick(box, Qt::Key_Down);
        EXPECT_EQ(box->text(), "15");

        // Labels that share one id keep their own texts, without the "&".
        const QList<QLabel*> labels =
            window->findChildren<QLabel*>(QStringLiteral("control-4294967295"));
        ASSERT_EQ(labels.size(), 2);
        EXPECT_EQ(labels[0]->text(), "Hor");
        EXPECT_EQ(labels[1]->text(), "Ver");

        // The icon is image "ICON128" at its own size times the window's zoom, 2.
        auto* icon = Control<QLabel>(window, IDC_QT_ICON);
        const QImage image = icon->pixmap().toImage();
        EXPECT_EQ(image.size(), QSize(6, 4));
        EXPECT_EQ(image.pixel(1, 1), qRgb(0, 0, 255));
        EXPECT_EQ(image.pixel(2, 1), qRgb(255, 0, 0));
        EXPECT_EQ(icon->size(), QSize(6, 4));

        Control<QPushButton>(window, IDOK)->click();
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.m_value, 15);
    EXPECT_EQ(dialog.m_spin.GetPos(), 15);
}

TEST_F(QtDialogTest, DialogUnitsBecomePixelsThroughTheFontsBaseUnits) {
    const DialogBaseUnits units{6, 13};
    EXPECT_EQ(units.ToPixels(CRect(4, 8, 8, 16)), QRect(6, 13, 6, 13));
    EXPECT_EQ(units.ToPixelsX(160), 240);
    EXPECT_EQ(units.ToPixelsY(120), 195);
    // An 8-point dialog font measures like one.
    DialogTemplate t{1, u"", {10, 10}, 8, u"MS Sans Serif", {}};
    const DialogBaseUnits measured = DialogBaseUnits::Of(DialogFont(t));
    EXPECT_GE(measured.x, 4);
    EXPECT_LE(measured.x, 9);
    EXPECT_GE(measured.y, 9);
    EXPECT_LE(measured.y, 18);
    // A missing template: no dialog, -1.
    CDialog missing(12345);
    EXPECT_EQ(missing.DoModal(), -1);
}
