#include "controls/DisabledLook.h"

#include <QWidget>

namespace controls {

namespace {

const QColor kDisabledBackground(0xC0, 0xC0, 0xC0);
const QColor kDisabledText(0x80, 0x80, 0x80);

// Edits fill with Base; a drop-down list draws its face with Button.
constexpr QPalette::ColorRole kBackgroundRoles[] = {QPalette::Base, QPalette::Button};
constexpr QPalette::ColorRole kTextRoles[] = {QPalette::Text, QPalette::ButtonText};

void SetBackgroundRoles(QPalette& palette, const QColor& colour) {
    for (QPalette::ColorRole role : kBackgroundRoles)
        palette.setColor(role, colour);
}

}  // namespace

DisabledLook::DisabledLook(QWidget* control) : control_(control) {}

void DisabledLook::Update() {
    const bool enabled = control_->isEnabled();
    if (!enabled && !grey_) {
        enabledPalette_ = control_->palette();
        hadOwnPalette_ = control_->testAttribute(Qt::WA_SetPalette);
        QPalette grey = enabledPalette_;
        SetBackgroundRoles(grey, kDisabledBackground);
        for (QPalette::ColorRole role : kTextRoles)
            grey.setColor(role, kDisabledText);
        grey_ = true;
        control_->setPalette(grey);
    } else if (enabled && grey_) {
        grey_ = false;
        // A control that only inherited its colours goes back to inheriting them.
        control_->setPalette(hadOwnPalette_ ? enabledPalette_ : QPalette());
    }
}

void DisabledLook::SetBackground(const QColor& colour) {
    if (grey_) {
        SetBackgroundRoles(enabledPalette_, colour);
        hadOwnPalette_ = true;
        return;
    }
    QPalette palette = control_->palette();
    SetBackgroundRoles(palette, colour);
    control_->setPalette(palette);
}

QColor DisabledLook::Background() const {
    return grey_ ? enabledPalette_.color(QPalette::Active, QPalette::Base)
                 : control_->palette().color(QPalette::Active, QPalette::Base);
}

}  // namespace controls
