#include <QApplication>
#include <gtest/gtest.h>

// The panel's tests need an application object that lives until the tests
// end and goes before the process's own exit handlers run.
int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
