#include "app/single_instance.h"

#include "core/dialogs.h"
#include "core/translation.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>
#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <optional>
#include <string>
#include <string_view>
#include <sys/file.h>
#include <unistd.h>
#include <vector>

namespace zintaro::app {

namespace {

constexpr int ConnectTimeoutMs = 500;
constexpr int CloseWaitMs = 2000;
constexpr int RetryMs = 20;
// A running copy busy starting (the sound font is large) may take seconds
// before it reads the request; one that does not close in this time is stuck.
constexpr qint64 GiveUpMs = 30000;

using Start = SingleInstance::Start;

std::string readSmallFile(const char* path)
{
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {};
    std::array<char, 1024> buffer {};
    const ssize_t got = ::read(fd, buffer.data(), buffer.size());
    ::close(fd);
    return got > 0 ? std::string(buffer.data(), static_cast<std::size_t>(got)) : std::string();
}

std::optional<uint64_t> toNumber(std::string_view text)
{
    uint64_t value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || result.ec != std::errc() || result.ptr != text.data() + text.size())
        return std::nullopt;
    return value;
}

// The whitespace-separated words of a text.
std::vector<std::string_view> wordsOf(std::string_view text)
{
    std::vector<std::string_view> words;
    while (!text.empty()) {
        const std::size_t begin = text.find_first_not_of(" \n\t");
        if (begin == std::string_view::npos)
            break;
        text.remove_prefix(begin);
        const std::size_t end = std::min(text.find_first_of(" \n\t"), text.size());
        words.push_back(text.substr(0, end));
        text.remove_prefix(end);
    }
    return words;
}

// When a process started, in clock ticks since boot; nothing when it is gone.
std::optional<uint64_t> startTicksOf(int64_t pid)
{
    const std::string stat = readSmallFile(("/proc/" + std::to_string(pid) + "/stat").c_str());
    // The command name in parentheses may hold spaces; the fields after it do not.
    const std::size_t nameEnd = stat.rfind(')');
    if (nameEnd == std::string::npos)
        return std::nullopt;
    const std::vector<std::string_view> fields = wordsOf(std::string_view(stat).substr(nameEnd + 1));
    // The start time is field 22; the first field after the name is field 3.
    constexpr std::size_t StartTimeField = 22 - 3;
    if (fields.size() <= StartTimeField)
        return std::nullopt;
    return toNumber(fields[StartTimeField]);
}

// Start times count from the boot, so a record of another boot means nothing.
std::string bootId()
{
    const std::string text = readSmallFile("/proc/sys/kernel/random/boot_id");
    const auto words = wordsOf(text);
    return words.empty() ? std::string("unknown") : std::string(words.front());
}

struct Record {
    std::string boot;
    Start start;
};

std::optional<Record> readRecord(int fd)
{
    std::array<char, 256> buffer {};
    const ssize_t got = ::pread(fd, buffer.data(), buffer.size(), 0);
    if (got <= 0)
        return std::nullopt;
    const auto words = wordsOf(std::string_view(buffer.data(), static_cast<std::size_t>(got)));
    if (words.size() != 3)
        return std::nullopt;
    const auto ticks = toNumber(words[1]);
    const auto pid = toNumber(words[2]);
    if (!ticks || !pid)
        return std::nullopt;
    return Record { std::string(words[0]), { *ticks, static_cast<int64_t>(*pid) } };
}

// True when the recorded copy is running now: the same boot, and its process
// is still the one that started then (process numbers are reused).
bool isRunning(const Record& record)
{
    return record.boot == bootId() && startTicksOf(record.start.pid) == record.start.ticks;
}

int openBeside(const QString& path)
{
    return ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
}

QByteArray closeRequest(const Start& from)
{
    return QByteArray("close ") + QByteArray::number(static_cast<qulonglong>(from.ticks)) + ' '
        + QByteArray::number(static_cast<qlonglong>(from.pid)) + '\n';
}

std::optional<Start> parseCloseRequest(const QByteArray& line)
{
    const auto words = wordsOf(std::string_view(line.constData(), static_cast<std::size_t>(line.size())));
    if (words.size() != 3 || words[0] != "close")
        return std::nullopt;
    const auto ticks = toNumber(words[1]);
    const auto pid = toNumber(words[2]);
    if (!ticks || !pid)
        return std::nullopt;
    return Start { *ticks, static_cast<int64_t>(*pid) };
}

// This copy has opened nothing yet: there is nothing to shut down.
[[noreturn]] void endThisCopy()
{
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(EXIT_SUCCESS);
}

} // namespace

SingleInstance::SingleInstance(QString name, std::function<void()> closeRequested, QObject* parent)
    : QObject(parent)
    , m_name(std::move(name))
    , m_closeRequested(std::move(closeRequested))
{
}

SingleInstance::~SingleInstance()
{
    // The socket goes before the lock: once the lock is free, the next copy
    // owns the socket's name.
    if (m_server)
        m_server->close();
    if (m_newestFd >= 0)
        ::close(m_newestFd);
    if (m_lockFd >= 0)
        ::close(m_lockFd);
}

QString SingleInstance::defaultName()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return QDir(folder).filePath(QStringLiteral("zintaro-%1").arg(::getuid()));
}

bool SingleInstance::supersededByNewer() const
{
    ::flock(m_newestFd, LOCK_SH);
    const std::optional<Record> newest = readRecord(m_newestFd);
    ::flock(m_newestFd, LOCK_UN);
    return newest && newest->start > m_start && isRunning(*newest);
}

SingleInstance::Claim SingleInstance::claim(Dialogs& dialogs)
{
    m_start = { startTicksOf(::getpid()).value_or(0), ::getpid() };
    const QString base = QDir::isAbsolutePath(m_name) ? m_name : QDir::temp().filePath(m_name);
    m_lockFd = openBeside(base + QStringLiteral(".lock"));
    m_newestFd = openBeside(base + QStringLiteral(".newest"));
    if (m_lockFd < 0 || m_newestFd < 0) {
        // Without the lock files there is no one-copy rule to keep; the program still runs.
        listen();
        return Claim::Alone;
    }

    // Record this copy unless a newer running one is recorded already.
    ::flock(m_newestFd, LOCK_EX);
    const std::optional<Record> recorded = readRecord(m_newestFd);
    if (!recorded || !isRunning(*recorded) || recorded->start < m_start) {
        const std::string line
            = bootId() + ' ' + std::to_string(m_start.ticks) + ' ' + std::to_string(m_start.pid) + '\n';
        if (::ftruncate(m_newestFd, 0) != 0 || ::pwrite(m_newestFd, line.data(), line.size(), 0) < 0)
            std::fprintf(stderr, "zintaro: the start of this copy could not be recorded\n");
    }
    ::flock(m_newestFd, LOCK_UN);

    bool told = false;
    QElapsedTimer sinceTold;
    while (true) {
        if (supersededByNewer())
            endThisCopy();
        if (::flock(m_lockFd, LOCK_EX | LOCK_NB) == 0) {
            // A newer copy may have started while this one waited.
            if (supersededByNewer())
                endThisCopy();
            listen();
            return told ? Claim::ReplacedPrevious : Claim::Alone;
        }
        if (errno == EINTR)
            continue;
        if (!told) {
            dialogs.message(translate("Window", "Closing Previous Instance"));
            told = true;
            sinceTold.start();
            continue;
        }
        if (sinceTold.elapsed() > GiveUpMs) {
            dialogs.message(translate("Window", "La copia precedente di Zintaro non si chiude. Questa copia finisce."));
            endThisCopy();
        }

        // The running copy may not listen yet, or may be a copy that is
        // itself about to give way; either way, ask again shortly.
        QLocalSocket socket;
        socket.connectToServer(m_name);
        if (!socket.waitForConnected(ConnectTimeoutMs)) {
            QThread::msleep(RetryMs);
            continue;
        }
        socket.write(closeRequest(m_start));
        socket.waitForBytesWritten(ConnectTimeoutMs);
        // The running copy drops the connection as it ends, or at once when
        // it is newer than this one.
        if (socket.state() == QLocalSocket::ConnectedState)
            socket.waitForDisconnected(CloseWaitMs);
    }
}

void SingleInstance::listen()
{
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // Only the lock's holder gets here, so a socket already there was left by
    // a copy that no longer runs.
    QLocalServer::removeServer(m_name);
    if (!m_server->listen(m_name))
        std::fprintf(stderr, "zintaro: newer copies cannot reach this one: %s\n", qPrintable(m_server->errorString()));
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* peer = m_server->nextPendingConnection()) {
            connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
            connect(peer, &QLocalSocket::readyRead, this, [this, peer] {
                while (peer->canReadLine()) {
                    const std::optional<Start> from = parseCloseRequest(peer->readLine());
                    if (from && *from > m_start && m_closeRequested) {
                        m_closeRequested();
                        return;
                    }
                    // An older copy asks: it will give way by itself.
                    peer->disconnectFromServer();
                    return;
                }
            });
        }
    });
}

} // namespace zintaro::app
