#include "app/application.h"

#include <QApplication>
#include <QFont>
#include <QGuiApplication>
#include <xcb/xcb.h>

namespace zintaro::app {

void setUpApplication()
{
    QApplication::setApplicationName(QStringLiteral("zintaro"));
    // Lets a desktop match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.zintaro.Zintaro"));
    QApplication::setFont(QFont(QStringLiteral("Liberation Sans"), 8));
}

void sendWindowRequests()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (xcb_connection_t* connection = x11 ? x11->connection() : nullptr)
        xcb_flush(connection);
}

} // namespace zintaro::app
