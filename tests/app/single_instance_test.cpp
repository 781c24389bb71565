#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <memory>
#include <unistd.h>
#include <vector>

namespace {

// Real copies of the program, each with the lock files and the socket in a
// folder of the test's own.
class Copies : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(tmp.isValid()); }
    void TearDown() override
    {
        for (const auto& p : copies) {
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(5000);
            }
        }
    }

    QProcess& add()
    {
        auto p = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("ZINTARO_TEST_ANSWER_DIALOGS", "1");
        env.insert("XDG_RUNTIME_DIR", tmp.path());
        env.insert("TMPDIR", tmp.path());
        env.insert("XDG_STATE_HOME", tmp.path());
        env.insert("XDG_DATA_HOME", tmp.path());
        p->setProcessEnvironment(env);
        p->setProgram(QStringLiteral(ZINTARO_EXECUTABLE));
        copies.push_back(std::move(p));
        return *copies.back();
    }

    QString socketPath() const { return tmp.filePath(QStringLiteral("zintaro-%1").arg(::getuid())); }

    bool waitForSocket(int ms) const
    {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms) {
            if (QFileInfo::exists(socketPath()))
                return true;
            QThread::msleep(20);
        }
        return false;
    }

    std::vector<QProcess*> running() const
    {
        std::vector<QProcess*> alive;
        for (const auto& p : copies) {
            // A short wait lets the process notice that its child has ended.
            if (p->state() != QProcess::NotRunning && !p->waitForFinished(1))
                alive.push_back(p.get());
        }
        return alive;
    }

    // Waits until one copy is left and stays alone for a while.
    std::vector<QProcess*> survivorsAfterSettling(int ms) const
    {
        QElapsedTimer t;
        t.start();
        QElapsedTimer alone;
        while (t.elapsed() < ms) {
            const auto alive = running();
            if (alive.size() == 1) {
                if (!alone.isValid())
                    alone.start();
                if (alone.elapsed() > 2000)
                    return alive;
            } else {
                alone.invalidate();
            }
            QThread::msleep(50);
        }
        return running();
    }

    void expectEveryOtherCopyEndedNormally(const QProcess* survivor) const
    {
        for (std::size_t i = 0; i < copies.size(); ++i) {
            const QProcess* p = copies[i].get();
            if (p == survivor)
                continue;
            SCOPED_TRACE(i);
            EXPECT_EQ(p->exitStatus(), QProcess::NormalExit);
            EXPECT_EQ(p->exitCode(), 0);
        }
    }

    QTemporaryDir tmp;
    std::vector<std::unique_ptr<QProcess>> copies;
};

TEST_F(Copies, theSecondCopyClosesTheFirstAfterTellingTheUser)
{
    QProcess& first = add();
    QProcess& second = add();
    first.start();
    ASSERT_TRUE(first.waitForStarted(5000));
    ASSERT_TRUE(waitForSocket(10000)) << first.readAllStandardError().toStdString();

    second.start();
    ASSERT_TRUE(second.waitForStarted(5000));
    ASSERT_TRUE(first.waitForFinished(15000)) << "the first copy did not close";
    EXPECT_EQ(first.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(first.exitCode(), 0);

    QThread::msleep(300);
    EXPECT_EQ(second.state(), QProcess::Running);
    second.waitForReadyRead(1000);
    EXPECT_TRUE(second.readAllStandardError().contains("dialog: Closing Previous Instance"));
    EXPECT_FALSE(first.readAllStandardError().contains("Closing Previous Instance"));
}

TEST_F(Copies, aSocketLeftByACrashedCopyDoesNotStopANewOne)
{
    QProcess& first = add();
    QProcess& second = add();
    first.start();
    ASSERT_TRUE(first.waitForStarted(5000));
    ASSERT_TRUE(waitForSocket(10000));
    first.kill(); // no chance to clean up: the socket file stays
    first.waitForFinished(5000);
    ASSERT_TRUE(QFileInfo::exists(socketPath()));

    second.start();
    ASSERT_TRUE(second.waitForStarted(5000));
    QThread::msleep(1500);
    EXPECT_EQ(second.state(), QProcess::Running);
    EXPECT_FALSE(second.readAllStandardError().contains("Closing Previous Instance"));

    // The new copy listens in place of the dead one: a third closes it.
    QProcess& third = add();
    third.start();
    ASSERT_TRUE(second.waitForFinished(15000)) << "the copy that took over could not be closed";
    EXPECT_EQ(second.exitCode(), 0);
}

struct Burst {
    const char* what;
    int copies;
    int apartMs;
};

class Bursts : public Copies, public ::testing::WithParamInterface<Burst> { };

// However the starts interleave, one copy is left: with starts apart, the
// last one started; every other copy ends normally, none is killed.
TEST_P(Bursts, leaveExactlyOneCopyRunning)
{
    const Burst burst = GetParam();
    for (int i = 0; i < burst.copies; ++i)
        add();
    for (const auto& p : copies) {
        p->start();
        if (burst.apartMs > 0)
            QThread::msleep(burst.apartMs);
    }
    for (const auto& p : copies)
        ASSERT_TRUE(p->waitForStarted(10000));

    const auto survivors = survivorsAfterSettling(90000);
    ASSERT_EQ(survivors.size(), 1u);
    if (burst.apartMs > 0) {
        EXPECT_EQ(survivors[0], copies.back().get()) << "an older copy survived";
    }
    expectEveryOtherCopyEndedNormally(survivors[0]);
}

INSTANTIATE_TEST_SUITE_P(Copies, Bursts, ::testing::Values(Burst { "at once", 20, 0 }, Burst { "20 ms apart", 20, 20 }),
    [](const ::testing::TestParamInfo<Burst>& info) { return info.param.apartMs == 0 ? "AtOnce" : "Apart"; });

} // namespace
