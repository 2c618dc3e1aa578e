#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QTest>
#include <QTextBrowser>

#include "gui/HelpContent.h"
#include "gui/HelpTopics.h"
#include "gui/THelpForm.h"
#include "support/TestFolder.h"

// Checks of the help a dialog offers, against the program's real help window and the manual
// built from help/.
namespace help_testing {

inline gui::THelpForm* HelpWindow() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* form = qobject_cast<gui::THelpForm*>(window))
            return form;
    }
    return nullptr;
}

// The page the help window shows ("/rnp_search.htm"); empty while it is closed.
inline QString ShownHelpPage() {
    gui::THelpForm* form = HelpWindow();
    return form && form->isVisible() ? form->Page->source().path() : QString();
}

inline void CloseHelpWindow() {
    if (gui::THelpForm* form = HelpWindow())
        form->hide();
}

// Lays the manual into the start folder, as ./run does.
inline void CopyManual(const TestFolder& folder) {
    const QString target = folder.file(QStringLiteral("veltar_help.chm"));
    QFile::remove(target);
    ASSERT_TRUE(QFile::copy(QStringLiteral(VELTAR_BINARY_DIR "/veltar_help.chm"), target));
}

// F1 pressed in `focus` (a control of the shown dialog) and a click on its "?" button each
// open the help window at `topic`; the key does not reach the control.
inline void ExpectHelpTopic(QWidget* focus, QAbstractButton* button, const QString& topic) {
    const QString page = gui::HelpTopicUrl(topic).path();
    CloseHelpWindow();
    focus->window()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(focus->window()));
    focus->setFocus();
    QTest::keyClick(focus, Qt::Key_F1);
    EXPECT_EQ(ShownHelpPage(), page) << "F1";
    CloseHelpWindow();
    if (button) {
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_EQ(ShownHelpPage(), page) << "the \"?\" button";
        CloseHelpWindow();
    }
}

}  // namespace help_testing
