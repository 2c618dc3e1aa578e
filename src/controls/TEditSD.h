#pragma once

#include <QLineEdit>

#include "controls/DisabledLook.h"

namespace controls {

// A one-line edit that turns grey while it is disabled. It never takes a line break or a
// tab: pasted ones become blanks.
class TEditSD : public QLineEdit {
    Q_OBJECT

public:
    explicit TEditSD(QWidget* parent = nullptr);

    // The background colour while enabled.
    void SetColor(const QColor& colour);
    QColor Color() const;

protected:
    void changeEvent(QEvent* event) override;

private:
    DisabledLook disabledLook_;
};

}  // namespace controls
