#include "controls/FormParts.h"

#include <QLabel>
#include <QPushButton>
#include <algorithm>

namespace controls {

QLabel* FieldLabel(const QString& text, QWidget* parent, bool mandatory) {
    auto* label = new QLabel(parent);
    if (mandatory) {
        label->setTextFormat(Qt::RichText);
        label->setText(text.toHtmlEscaped() +
                       QStringLiteral(" <span style=\"color:#d00000\">*</span>"));
    } else {
        label->setTextFormat(Qt::PlainText);
        label->setText(text);
    }
    return label;
}

void FitToCaption(QAbstractButton* button) {
    const int caption = button->fontMetrics().horizontalAdvance(button->text());
    button->setFixedWidth(std::max(button->sizeHint().height(), caption + 16));
}

QPushButton* NamedButton(const char* name, const QString& caption, QWidget* parent) {
    return Named(new QPushButton(caption, parent), name);
}

}  // namespace controls
