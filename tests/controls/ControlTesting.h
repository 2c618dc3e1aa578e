#pragma once

#include <QApplication>
#include <QTest>
#include <QVariant>
#include <QWidget>
#include <QWindow>

#include "support/QtPrinters.h"

inline void PrintTo(const QVariant& value, std::ostream* out) {
    *out << value.typeName() << ' ' << value.toString().toStdString();
}

// Helpers for driving the program's own controls in a real (offscreen) window: keys go
// through the window system's path, so that open drop-down lists receive them as they would
// receive the user's.
namespace controls_testing {

// The window that receives the keyboard now.
inline QWindow* KeyboardWindow() {
    if (QWidget* popup = QApplication::activePopupWidget())
        return popup->window()->windowHandle();
    return QGuiApplication::focusWindow();
}

inline void Press(Qt::Key key, const QString& text = {}) {
    QTest::sendKeyEvent(QTest::Click, KeyboardWindow(), key, text, Qt::NoModifier);
}

// Types one character, Cyrillic included.
inline void Type(QChar c) {
    Press(Qt::Key(c.toUpper().unicode()), QString(c));
}

inline void Type(const QString& text) {
    for (QChar c : text)
        Type(c);
}

// Whether a control shows inside the visible area of a scrolled `area` (a grid's viewport).
inline bool ShownIn(const QWidget* area, const QWidget* control) {
    const QRect rect(control->mapTo(area, QPoint(0, 0)), control->size());
    return control->isVisible() && area->rect().intersects(rect);
}

inline void ShowActive(QWidget& window) {
    window.show();
    window.activateWindow();
    if (!QTest::qWaitForWindowActive(&window))
        qFatal("the window did not become active");
}

}  // namespace controls_testing
