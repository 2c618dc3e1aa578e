#include "controls/TExtDateEdit.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QPainter>
#include <QScreen>
#include <QToolButton>

#include "controls/KeyFilters.h"
#include "controls/TForm2.h"
#include "dates/DateConventions.h"

namespace controls {

namespace {

constexpr int kMaxLength = 10;
// The picker's left edge lies this far left of the edit's right end.
constexpr int kPickerOverlap = 18;

bool IsAsciiDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

struct DateParts {
    QString day, month, year;
};

// Day, month and year as written: DD/MM/YYYY when the third character is "/", otherwise
// DDMMYY or DDMMYYYY.
DateParts SplitDateText(const QString& text) {
    if (text.size() > 2 && text.at(2) == QLatin1Char('/'))
        return {text.mid(0, 2), text.mid(3, 2), text.mid(6, 4)};
    return {text.mid(0, 2), text.mid(2, 2), text.mid(4, 4)};
}

// The button's picture: a sheet of a wall calendar.
QPixmap CalendarBitmap() {
    QPixmap bitmap(16, 16);
    bitmap.fill(Qt::transparent);
    QPainter painter(&bitmap);
    painter.setPen(QColor(0x40, 0x40, 0x40));
    painter.setBrush(Qt::white);
    painter.drawRect(1, 2, 13, 12);
    painter.fillRect(2, 3, 12, 3, QColor(0xC0, 0x30, 0x30));
    painter.setPen(QColor(0x40, 0x40, 0x40));
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 4; ++column)
            painter.drawPoint(3 + column * 3, 8 + row * 2);
    }
    return bitmap;
}

}  // namespace

QString DateTextOnLeaving(const QString& text) {
    if (text.size() <= 2 || !dates::IsValidDateText(text).valid)
        return text;
    DateParts parts = SplitDateText(text);
    if (parts.year.size() == 2)
        parts.year.prepend(parts.year.toInt() > 18 ? QLatin1String("19") : QLatin1String("20"));
    return parts.day + QLatin1Char('/') + parts.month + QLatin1Char('/') + parts.year;
}

QString DateTextOnEntering(const QString& text) {
    if (!dates::IsValidDateText(text).valid)
        return text;
    const DateParts parts = SplitDateText(text);
    return parts.day + parts.month + parts.year;
}

TNewEdit::TNewEdit(QWidget* parent) : TEditSD(parent), picker_(new TForm2(this)) {
    setMaxLength(kMaxLength);
    // Typed or pasted, only what a date text holds arrives.
    InstallKeyFilter(this, KeyFilter::DateText);
    connect(this, &QLineEdit::textChanged, this, &TNewEdit::KeepDigitsAtTheEnd);
    connect(picker_, &TForm2::dayChosen, this, &TNewEdit::DayChosen);
}

// Only digits can be typed at the end of the text; a text set by the program keeps its "/"
// separators, since it ends with a digit.
void TNewEdit::KeepDigitsAtTheEnd() {
    QString kept = text();
    while (!kept.isEmpty() && !IsAsciiDigit(kept.back()))
        kept.chop(1);
    if (kept != text())
        setText(kept);  // the caret goes to the end
}

void TNewEdit::focusInEvent(QFocusEvent* event) {
    picker_->hide();
    const QString digits = DateTextOnEntering(text());
    if (digits != text())
        setText(digits);
    TEditSD::focusInEvent(event);
}

void TNewEdit::focusOutEvent(QFocusEvent* event) {
    TEditSD::focusOutEvent(event);
    // A context menu of the edit takes the focus for a moment: the user is still typing.
    const bool ownMenu =
        event->reason() == Qt::PopupFocusReason && QApplication::activePopupWidget() != picker_;
    if (ownMenu)
        return;
    const QString dateText = DateTextOnLeaving(text());
    if (dateText != text())
        setText(dateText);
    if (event->reason() != Qt::PopupFocusReason && event->reason() != Qt::ActiveWindowFocusReason)
        emit exited();
}

void TNewEdit::ShowPicker() {
    const QString current = text();
    QDate shown = QDate::currentDate();
    if (dates::IsValidDateText(current).valid && (current.size() == 8 || current.size() == 10)) {
        const DateParts parts = SplitDateText(current);
        shown = QDate(parts.year.toInt(), parts.month.toInt(), parts.day.toInt());
    }
    picker_->ShowDate(shown);
    PlacePicker();
    picker_->show();
    picker_->CCalendar1->setFocus(Qt::PopupFocusReason);
}

// Under the edit, its left edge a little left of the edit's right end; moved left by its
// own width when it would reach past the right edge of the window, and kept on the screen.
void TNewEdit::PlacePicker() {
    picker_->adjustSize();
    const QSize size = picker_->size();
    QPoint topLeft = mapToGlobal(QPoint(width() - kPickerOverlap, height()));
    const QWidget* form = window();
    const int formRight = form->mapToGlobal(QPoint(form->width(), 0)).x();
    if (topLeft.x() + size.width() > formRight)
        topLeft.rx() -= size.width();
    if (const QScreen* screen = this->screen()) {
        const QRect area = screen->availableGeometry();
        topLeft.setX(std::clamp(topLeft.x(), area.left(),
                                std::max(area.left(), area.right() + 1 - size.width())));
        topLeft.setY(std::clamp(topLeft.y(), area.top(),
                                std::max(area.top(), area.bottom() + 1 - size.height())));
    }
    picker_->move(topLeft);
}

void TNewEdit::DayChosen(const QDate& date) {
    picker_->hide();
    setFocus(Qt::MouseFocusReason);
    setText(date.toString(QStringLiteral("ddMMyyyy")));
}

TExtDateEdit::TExtDateEdit(QWidget* parent)
    : QFrame(parent), edit_(new TNewEdit(this)), button_(new QToolButton(this)) {
    setFrameShape(QFrame::NoFrame);
    edit_->setObjectName(QStringLiteral("Edit"));
    button_->setObjectName(QStringLiteral("Button"));
    const QPixmap bitmap = CalendarBitmap();
    button_->setIcon(bitmap);
    button_->setIconSize(bitmap.size());
    button_->setAutoRaise(true);
    button_->setFixedWidth(bitmap.width() + 2);
    // The button leaves the focus where it is, so that the picker reads what was typed.
    button_->setFocusPolicy(Qt::NoFocus);
    button_->setCursor(Qt::ArrowCursor);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(edit_, 1);
    layout->addWidget(button_);
    setFocusProxy(edit_);
    setSizePolicy(edit_->sizePolicy());

    connect(button_, &QToolButton::clicked, edit_, &TNewEdit::ShowPicker);
    connect(edit_, &TNewEdit::exited, this, &TExtDateEdit::exited);
}

// The edit loses the focus while the field's children are destroyed; by then the field is
// no longer a TExtDateEdit, and must not hear of it.
TExtDateEdit::~TExtDateEdit() {
    disconnect(edit_, nullptr, this, nullptr);
}

QString TExtDateEdit::Text() const {
    return edit_->hasFocus() ? DateTextOnLeaving(edit_->text()) : edit_->text();
}

void TExtDateEdit::SetText(const QString& text) {
    edit_->setText(text);
}

QColor TExtDateEdit::EditColor() const {
    return edit_->Color();
}

void TExtDateEdit::SetEditColor(const QColor& colour) {
    edit_->SetColor(colour);
}

void TExtDateEdit::SetVisible(bool visible) {
    if (visible)
        edit_->ShowPicker();
    else
        edit_->Picker()->hide();
}

}  // namespace controls
