#include "gui/DialogFrame.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>

#include "controls/FormParts.h"

namespace gui {

namespace {

bool IsEnter(const QKeyEvent* key) {
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    return (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
           modifiers == Qt::NoModifier;
}

bool IsEscape(const QKeyEvent* key) {
    return key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier;
}

// Sees the keys that reach the window: those that no control of it took for itself.
class DialogKeys : public QObject {
public:
    DialogKeys(QWidget* window, QPushButton* defaultButton, QAbstractButton* cancelButton)
        : QObject(window), window_(window), default_(defaultButton), cancel_(cancelButton) {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != window_ || event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (IsEnter(key))
            return press(default_.data());
        if (IsEscape(key))
            return press(cancel_.data());
        return false;
    }

private:
    static bool press(QAbstractButton* button) {
        if (button && button->isEnabled() && button->isVisible())
            button->click();
        return true;
    }

    QWidget* window_;
    QPointer<QPushButton> default_;
    QPointer<QAbstractButton> cancel_;
};

}  // namespace

QHBoxLayout* DialogButtonRow(QAbstractButton* help, std::initializer_list<QAbstractButton*> right) {
    auto* row = new QHBoxLayout;
    if (help) {
        controls::FitToCaption(help);
        row->addWidget(help);
    }
    row->addStretch();
    for (QAbstractButton* button : right)
        row->addWidget(button);
    return row;
}

void InstallDialogKeys(QWidget* window, QPushButton* defaultButton, QAbstractButton* cancelButton) {
    for (QPushButton* button : window->findChildren<QPushButton*>())
        button->setAutoDefault(false);
    if (defaultButton)
        defaultButton->setDefault(true);
    new DialogKeys(window, defaultButton, cancelButton);
}

}  // namespace gui
