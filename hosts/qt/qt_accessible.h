// What a screen reader gets from the table: the keyboard focus in words as
// its name, and what the last move did as its description.
#pragma once

#include <QAccessibleWidget>

class QtViewWidget;

class QtViewAccessible : public QAccessibleWidget {
public:
    explicit QtViewAccessible(QtViewWidget* widget);
    QString text(QAccessible::Text kind) const override;

    // Makes the table's interface for QAccessible; installed by the host.
    static QAccessibleInterface* Factory(const QString& className, QObject* object);

private:
    QtViewWidget* View() const;
    // While a handler sleeps half way through a move the table is not asked:
    // the focus's words are those read last.
    mutable QString m_focusWords;
};
