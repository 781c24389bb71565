#include "app/single_instance.h"

#include "core/dialogs.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <unistd.h>

namespace zintaro::app {

namespace {
constexpr QByteArrayView CloseRequest = "close\n";
constexpr int ConnectTimeoutMs = 500;
constexpr int CloseTimeoutMs = 3000;
} // namespace

SingleInstance::SingleInstance(QString name, std::function<void()> closeRequested, QObject* parent)
    : QObject(parent)
    , m_name(std::move(name))
    , m_closeRequested(std::move(closeRequested))
{
}

QString SingleInstance::defaultName()
{
    return QStringLiteral("zintaro-%1").arg(::getuid());
}

bool SingleInstance::claim(Dialogs& dialogs)
{
    bool previous = false;
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (socket.waitForConnected(ConnectTimeoutMs)) {
        previous = true;
        dialogs.message("Closing Previous Instance");
        socket.write(CloseRequest.data(), CloseRequest.size());
        socket.waitForBytesWritten(ConnectTimeoutMs);
        // The previous copy closes its connection as it ends.
        if (socket.state() == QLocalSocket::ConnectedState)
            socket.waitForDisconnected(CloseTimeoutMs);
    }

    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_name)) {
        // Left by a copy that ended without cleaning up, or by the copy that
        // has just been closed.
        QLocalServer::removeServer(m_name);
        m_server->listen(m_name);
    }
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* peer = m_server->nextPendingConnection()) {
            connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
            connect(peer, &QLocalSocket::readyRead, this, [this, peer] {
                if (peer->readAll().contains("close") && m_closeRequested)
                    m_closeRequested();
            });
        }
    });
    return previous;
}

} // namespace zintaro::app
