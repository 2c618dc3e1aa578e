#include "controls/TEditSD.h"

#include <QEvent>

#include "controls/KeyFilters.h"

namespace controls {

TEditSD::TEditSD(QWidget* parent) : QLineEdit(parent), disabledLook_(this) {
    InstallKeyFilter(this, KeyFilter::AnyText);
}

void TEditSD::SetColor(const QColor& colour) {
    disabledLook_.SetBackground(colour);
}

QColor TEditSD::Color() const {
    return disabledLook_.Background();
}

void TEditSD::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange)
        disabledLook_.Update();
    QLineEdit::changeEvent(event);
}

}  // namespace controls
