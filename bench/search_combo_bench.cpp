// A searchable drop-down list loaded with 7,000 professions: the time from a typed key to
// the list showing the narrowed items, painting included. Runs offscreen unless a display
// is set.
//
//   cmake --build build --target search_combo_bench && ./build/bench/search_combo_bench

#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "controls/TExtSrchComboBox.h"

using controls::TExtSrchComboBox;

namespace {

// 7,000 names of varied words, so that a first letter narrows the list the way real
// profession names do; every name also holds "рабочий", the case where nothing narrows.
dictionaries::ReferenceList Professions() {
    const char* const kTrades[] = {"Машинист", "Слесарь",  "Электромонтер", "Плотник", "Оператор",
                                   "Водитель", "Штукатур", "Каменщик",      "Инженер", "Наладчик"};
    const char* const kObjects[] = {"крана",         "насосных установок", "котельной",
                                    "линии",         "погрузчика",         "связи",
                                    "дорожных машин"};
    dictionaries::ReferenceList list;
    for (int i = 0; i < 7000; ++i) {
        const QString name = QStringLiteral("%1 %2 (рабочий %3 разряда)")
                                 .arg(QString::fromUtf8(kTrades[i % 10]))
                                 .arg(QString::fromUtf8(kObjects[(i / 10) % 7]))
                                 .arg(i / 70 + 1);
        list.append({name, dictionaries::ComboItem(10000 + i)});
    }
    return list;
}

void PressKey(TExtSrchComboBox* box, Qt::Key key, const QString& text) {
    QWidget* popup = QApplication::activePopupWidget();
    QWidget* target = popup && popup->focusWidget() ? popup->focusWidget() : box;
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &release);
    QApplication::processEvents();  // the list repaints
}

// Times `typed` after `prepare` (not timed) and prints the median, the fastest and the
// slowest of `runs`, with the number of items listed.
void Measure(const char* what, TExtSrchComboBox* box, const std::function<void()>& prepare,
             const std::function<void()>& typed) {
    const int runs = 21;
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        prepare();
        QElapsedTimer timer;
        timer.start();
        typed();
        ms.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%-58s median %7.2f ms   min %7.2f   max %7.2f   (%d items, %d runs)\n", what,
                ms[ms.size() / 2], ms.front(), ms.back(), box->count(), runs);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QWidget window;
    auto* box = new TExtSrchComboBox;
    (new QVBoxLayout(&window))->addWidget(box);
    window.resize(400, 60);
    window.show();
    window.activateWindow();
    QApplication::processEvents();

    const dictionaries::ReferenceList professions = Professions();
    QElapsedTimer load;
    load.start();
    box->LoadList(professions);
    std::printf("TExtSrchComboBox with 7,000 professions (%s platform); LoadList %.2f ms\n",
                qPrintable(QGuiApplication::platformName()),
                static_cast<double>(load.nsecsElapsed()) / 1e6);

    const auto startOver = [&] {
        box->hidePopup();
        box->setFocus();
        box->ClearChoice();
        QApplication::processEvents();
    };
    const auto typeCharacter = [&](QChar c) {
        return [=] { PressKey(box, Qt::Key(c.toUpper().unicode()), QString(c)); };
    };

    Measure("first character \"с\", list closed (narrows, opens it)", box, startOver,
            typeCharacter(u'с'));
    Measure(
        "next character \"л\", list open", box,
        [&] {
            startOver();
            typeCharacter(u'с')();
        },
        typeCharacter(u'л'));
    Measure(
        "next character \"а\" after \"р\", all names match, list open", box,
        [&] {
            startOver();
            typeCharacter(u'р')();
        },
        typeCharacter(u'а'));
    Measure(
        "Backspace back to the whole list, list open", box,
        [&] {
            startOver();
            typeCharacter(u'с')();
        },
        [&] { PressKey(box, Qt::Key_Backspace, QStringLiteral("\b")); });
    return 0;
}
