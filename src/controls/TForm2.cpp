#include "controls/TForm2.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>

namespace controls {

namespace {

const char* const kMonthNames[] = {"Январь", "Февраль", "Март",     "Апрель",  "Май",    "Июнь",
                                   "Июль",   "Август",  "Сентябрь", "Октябрь", "Ноябрь", "Декабрь"};

constexpr int kFirstYear = 1800;
constexpr int kLastYear = 3000;

}  // namespace

TForm2::TForm2(QWidget* parent)
    : QWidget(parent, Qt::Popup | Qt::FramelessWindowHint)
    , CCalendar1(new QCalendarWidget(this))
    , ComboBox1(new QComboBox(this))
    , CSpinEdit1(new QSpinBox(this)) {
    setObjectName(QStringLiteral("Form2"));
    CCalendar1->setObjectName(QStringLiteral("CCalendar1"));
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    CSpinEdit1->setObjectName(QStringLiteral("CSpinEdit1"));

    for (const char* name : kMonthNames)
        ComboBox1->addItem(QString::fromUtf8(name));
    CSpinEdit1->setRange(kFirstYear, kLastYear);
    // The month list and the year field choose the page: the calendar's own bar would be a
    // second way to do it.
    CCalendar1->setNavigationBarVisible(false);
    CCalendar1->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    CCalendar1->setLocale(QLocale(QLocale::Russian, QLocale::Russia));
    CCalendar1->setDateRange(QDate(kFirstYear, 1, 1), QDate(kLastYear, 12, 31));

    auto* top = new QHBoxLayout;
    top->addWidget(ComboBox1, 1);
    top->addWidget(CSpinEdit1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    layout->addLayout(top);
    layout->addWidget(CCalendar1);

    connect(ComboBox1, &QComboBox::activated, this, &TForm2::MonthChosen);
    connect(CSpinEdit1, &QSpinBox::textChanged, this, &TForm2::YearTextChanged);
    connect(CCalendar1, &QCalendarWidget::clicked, this, &TForm2::dayChosen);
    connect(CCalendar1, &QCalendarWidget::activated, this, &TForm2::dayChosen);
    connect(qApp, &QGuiApplication::focusWindowChanged, this,
            &TForm2::HideWhenAnotherWindowIsActive);
    ShowDate(QDate::currentDate());
}

void TForm2::ShowDate(const QDate& date) {
    const QSignalBlocker blockMonth(ComboBox1);
    const QSignalBlocker blockYear(CSpinEdit1);
    ComboBox1->setCurrentIndex(date.month() - 1);
    CSpinEdit1->setValue(date.year());
    CCalendar1->setSelectedDate(date);
    CCalendar1->setCurrentPage(date.year(), date.month());
}

void TForm2::MonthChosen(int index) {
    const int year = CSpinEdit1->text().toInt();
    ShowMonth(index + 1, year > kFirstYear ? year : CCalendar1->yearShown());
}

// The year is taken once it reads as a year; a fifth digit, or anything but a digit at the
// end, is taken back at once.
void TForm2::YearTextChanged(const QString& text) {
    if (text.isEmpty())
        return;
    const QChar last = text.back();
    if (last.isDigit() && text.size() < 5) {
        const int year = text.toInt();
        ShowMonth(ComboBox1->currentIndex() + 1,
                  year > kFirstYear ? year : CCalendar1->yearShown());
        return;
    }
    CSpinEdit1->findChild<QLineEdit*>()->setText(text.chopped(1));
}

// Shows a month, keeping the chosen day as far as the month has it.
void TForm2::ShowMonth(int month, int year) {
    if (year > kLastYear)
        return;
    const QDate first(year, month, 1);
    const int day = std::min(CCalendar1->selectedDate().day(), first.daysInMonth());
    CCalendar1->setSelectedDate(QDate(year, month, day));
    CCalendar1->setCurrentPage(year, month);
}

void TForm2::HideWhenAnotherWindowIsActive(QWindow* window) {
    if (!isVisible() || window == windowHandle())
        return;
    // The month list's own drop-down, and the window the picker belongs to, do not count.
    if (window && (window->type() == Qt::Popup ||
                   (parentWidget() && window == parentWidget()->window()->windowHandle())))
        return;
    hide();
}

}  // namespace controls
