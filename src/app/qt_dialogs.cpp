#include "app/qt_dialogs.h"

#include "staff/shown_text.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>

namespace zintaro::app {

QtDialogs::QtDialogs()
    : m_answerAtOnce(qEnvironmentVariableIntValue("ZINTARO_TEST_ANSWER_DIALOGS") == 1)
{
}

void QtDialogs::message(const Text& text, const Text& title)
{
    if (m_answerAtOnce) {
        std::fprintf(stderr, "dialog: %s\n", staff::shown(text).toLocal8Bit().constData());
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, title.empty() ? QApplication::applicationDisplayName() : staff::shown(title),
        staff::shown(text), QMessageBox::Ok, m_parent);
    box.exec();
}

bool QtDialogs::question(const Text& text, const Text& title)
{
    if (m_answerAtOnce) {
        std::fprintf(stderr, "question: %s\n", staff::shown(text).toLocal8Bit().constData());
        return true;
    }
    QMessageBox box(
        QMessageBox::Question, staff::shown(title), staff::shown(text), QMessageBox::Yes | QMessageBox::No, m_parent);
    return box.exec() == QMessageBox::Yes;
}

} // namespace zintaro::app
