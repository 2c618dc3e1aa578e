#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <functional>

// Driving a modal dialog: exec() returns only when it closes, so what the user does in it is
// queued before the call that opens it.
namespace dialog_testing {

// Runs `act` as soon as `dialog` is the active modal window. `act` ends by closing it; a
// dialog left open fails the test and is closed, so that the test goes on.
inline void WhenModal(QDialog* dialog, std::function<void()> act) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, target = QPointer<QDialog>(dialog), act] {
        if (!target || QApplication::activeModalWidget() != target || !target->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        act();
        if (target && target->isVisible()) {
            ADD_FAILURE() << "the dialog stayed open";
            target->reject();
        }
    });
    timer->start();
}

}  // namespace dialog_testing
