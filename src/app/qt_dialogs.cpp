#include "app/qt_dialogs.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>

namespace zintaro::app {

QtDialogs::QtDialogs()
    : m_answerAtOnce(qEnvironmentVariableIntValue("ZINTARO_TEST_ANSWER_DIALOGS") == 1)
{
}

void QtDialogs::message(const std::string& text, const std::string& title)
{
    if (m_answerAtOnce) {
        std::fprintf(stderr, "dialog: %s\n", text.c_str());
        return;
    }
    QMessageBox box(QMessageBox::NoIcon,
        title.empty() ? QApplication::applicationDisplayName() : QString::fromStdString(title),
        QString::fromStdString(text), QMessageBox::Ok, m_parent);
    box.exec();
}

bool QtDialogs::question(const std::string& text, const std::string& title)
{
    if (m_answerAtOnce) {
        std::fprintf(stderr, "question: %s\n", text.c_str());
        return true;
    }
    QMessageBox box(QMessageBox::Question, QString::fromStdString(title), QString::fromStdString(text),
        QMessageBox::Yes | QMessageBox::No, m_parent);
    return box.exec() == QMessageBox::Yes;
}

} // namespace zintaro::app
