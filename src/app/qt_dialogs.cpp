#include "app/qt_dialogs.h"

#include "staff/shown_text.h"

#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
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

std::optional<int> QtDialogs::choose(const Text& text, const Text& title, const std::vector<Text>& items)
{
    if (m_answerAtOnce) {
        std::fprintf(stderr, "choice: %s\n", staff::shown(text).toLocal8Bit().constData());
        return items.empty() ? std::nullopt : std::optional<int>(0);
    }
    QStringList shownItems;
    for (const Text& item : items)
        shownItems << staff::shown(item);
    bool chosen = false;
    const QString item
        = QInputDialog::getItem(m_parent, staff::shown(title), staff::shown(text), shownItems, 0, false, &chosen);
    const auto index = static_cast<int>(shownItems.indexOf(item));
    if (!chosen || index < 0)
        return std::nullopt;
    return index;
}

std::optional<std::string> QtDialogs::typeLine(const Text& text, const Text& title, const std::string& initial)
{
    if (m_answerAtOnce) {
        std::fprintf(stderr, "line: %s\n", staff::shown(text).toLocal8Bit().constData());
        return initial;
    }
    bool typed = false;
    const QString line = QInputDialog::getText(
        m_parent, staff::shown(title), staff::shown(text), QLineEdit::Normal, QString::fromStdString(initial), &typed);
    if (!typed)
        return std::nullopt;
    return line.toStdString();
}

} // namespace zintaro::app
