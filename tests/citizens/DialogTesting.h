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

// Calls `open`, which shows `dialog` modally and returns when it has closed, with `act` done in
// the dialog meanwhile; returns what `open` returned.
template <typename Open>
auto DoInModal(QDialog* dialog, std::function<void()> act, Open open) {
    bool acted = false;
    WhenModal(dialog, [&] {
        acted = true;
        act();
    });
    const auto result = open();
    EXPECT_TRUE(acted) << "the dialog did not show";
    return result;
}

}  // namespace dialog_testing
