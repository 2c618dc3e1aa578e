#pragma once

#include <QColor>
#include <QPalette>

class QWidget;

namespace controls {

// The grey look the program's own edits and lists take while disabled: background #C0C0C0
// and text #808080. The colours the control had are taken back when it is enabled again.
class DisabledLook {
public:
    explicit DisabledLook(QWidget* control);

    // Follows the control's enabled state; the control calls it on QEvent::EnabledChange.
    void Update();

    // The background the control shows while enabled. Set while disabled, it is kept and
    // shown once the control is enabled again.
    void SetBackground(const QColor& colour);
    QColor Background() const;

private:
    QWidget* control_;
    bool grey_ = false;
    QPalette enabledPalette_;
    bool hadOwnPalette_ = false;
};

}  // namespace controls
