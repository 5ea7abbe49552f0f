// The Qt tests share one QApplication, drawn off screen unless told otherwise.
#include <gtest/gtest.h>

#include <QApplication>
#include <QAbstractButton>
#include <QDialog>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>

namespace {

// A box or dialog nobody answers would hold its test until the time limit,
// saying nothing: after a while it fails the test with the box's words and
// is closed, so the run goes on.
void WatchForForgottenModals() {
    static QWidget* watched = nullptr;
    static int seconds = 0;
    auto* watchdog = new QTimer(qApp);
    QObject::connect(watchdog, &QTimer::timeout, [] {
        QWidget* modal = QApplication::activeModalWidget();
        seconds = modal && modal == watched ? seconds + 1 : 0;
        watched = modal;
        if (!modal || seconds < 20) return;
        QString words = modal->windowTitle();
        for (const QLabel* label : modal->findChildren<QLabel*>()) words += " | " + label->text();
        ADD_FAILURE() << "a modal left open: " << words.toStdString();
        if (auto* box = qobject_cast<QMessageBox*>(modal); box && box->button(QMessageBox::No))
            box->button(QMessageBox::No)->click();
        else if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
        else
            modal->close();
    });
    watchdog->start(1000);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    WatchForForgottenModals();
    return RUN_ALL_TESTS();
}
