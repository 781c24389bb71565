#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

// Two real copies of the program: the second tells the user it closes the
// first, the first ends, the second stays.
class TwoCopies : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tmp.isValid());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("ZINTARO_TEST_ANSWER_DIALOGS", "1");
        // Local sockets live in the temporary folder: a folder of the test's own.
        env.insert("TMPDIR", tmp.path());
        for (QProcess* p : { &first, &second }) {
            p->setProcessEnvironment(env);
            p->setProgram(QStringLiteral(ZINTARO_EXECUTABLE));
        }
    }
    void TearDown() override
    {
        for (QProcess* p : { &first, &second }) {
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(5000);
            }
        }
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

    QTemporaryDir tmp;
    QProcess first;
    QProcess second;
};

TEST_F(TwoCopies, theSecondCopyClosesTheFirstAfterTellingTheUser)
{
    first.start();
    ASSERT_TRUE(first.waitForStarted(5000));
    ASSERT_TRUE(waitForSocket(10000)) << first.readAllStandardError().toStdString();

    second.start();
    ASSERT_TRUE(second.waitForStarted(5000));
    ASSERT_TRUE(first.waitForFinished(10000)) << "the first copy did not close";
    EXPECT_EQ(first.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(first.exitCode(), 0);

    QThread::msleep(300);
    EXPECT_EQ(second.state(), QProcess::Running);
    second.waitForReadyRead(1000);
    EXPECT_TRUE(second.readAllStandardError().contains("dialog: Closing Previous Instance"));
    EXPECT_FALSE(first.readAllStandardError().contains("Closing Previous Instance"));
}

TEST_F(TwoCopies, aSocketLeftByACrashedCopyDoesNotStopANewOne)
{
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
}

} // namespace
