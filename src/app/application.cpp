#include "app/application.h"

#include <QApplication>
#include <QFont>

namespace zintaro::app {

void setUpApplication()
{
    QApplication::setApplicationName(QStringLiteral("zintaro"));
    QApplication::setFont(QFont(QStringLiteral("Liberation Sans"), 8));
}

} // namespace zintaro::app
