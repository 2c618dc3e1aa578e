#include "gui/MessageBoxes.h"

#include <QQueue>

namespace gui {

namespace {

struct Script {
    bool active = false;
    QQueue<MessageBoxes::Button> answers;
    QList<MessageBoxes::Record> shown;
    std::function<void(const QString&)> unexpected;
};

Script& script() {
    static Script instance;
    return instance;
}

MessageBoxes::Button ScriptedAnswer(const MessageBoxes::Record& box,
                                    MessageBoxes::Button defaultButton) {
    if (!script().answers.isEmpty())
        return script().answers.dequeue();
    if (script().unexpected)
        script().unexpected(QStringLiteral("«%1»: %2").arg(box.title, box.text));
    const MessageBoxes::Buttons buttons = box.buttons;
    if (defaultButton != QMessageBox::NoButton)
        return defaultButton;
    // The first button the box would offer.
    for (unsigned bit = QMessageBox::FirstButton; bit <= QMessageBox::LastButton; bit <<= 1) {
        if (buttons.testFlag(static_cast<MessageBoxes::Button>(bit)))
            return static_cast<MessageBoxes::Button>(bit);
    }
    return QMessageBox::NoButton;
}

}  // namespace

MessageBoxes::Button MessageBoxes::show(QWidget* parent, QMessageBox::Icon icon,
                                        const QString& title, const QString& text, Buttons buttons,
                                        Button defaultButton) {
    if (script().active) {
        script().shown.append({icon, title, text, buttons});
        return ScriptedAnswer(script().shown.back(), defaultButton);
    }
    QMessageBox box(icon, title, text, buttons, parent);
    if (defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(defaultButton);
    return static_cast<Button>(box.exec());
}

void MessageBoxes::information(QWidget* parent, const QString& title, const QString& text) {
    show(parent, QMessageBox::Information, title, text);
}

void MessageBoxes::warning(QWidget* parent, const QString& title, const QString& text) {
    show(parent, QMessageBox::Warning, title, text);
}

void MessageBoxes::error(QWidget* parent, const QString& title, const QString& text) {
    show(parent, QMessageBox::Critical, title, text);
}

bool MessageBoxes::askYesNo(QWidget* parent, const QString& title, const QString& text) {
    return show(parent, QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No,
                QMessageBox::No) == QMessageBox::Yes;
}

void MessageBoxes::setScripted(bool scripted) {
    script() = Script{};
    script().active = scripted;
}

int MessageBoxes::pendingAnswers() {
    return static_cast<int>(script().answers.size());
}

void MessageBoxes::setUnexpectedHandler(std::function<void(const QString&)> handler) {
    script().unexpected = std::move(handler);
}

void MessageBoxes::setNextAnswer(Button answer) {
    script().answers.enqueue(answer);
}

const QList<MessageBoxes::Record>& MessageBoxes::shown() {
    return script().shown;
}

QList<MessageBoxes::Record> MessageBoxes::takeShown() {
    return std::exchange(script().shown, {});
}

}  // namespace gui
