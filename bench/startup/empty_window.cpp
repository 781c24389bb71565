// An empty Qt window, shown maximised like Zintaro's: the yardstick the
// program's start-up is measured against in the same run (run.sh).
#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.showMaximized();
    return QApplication::exec();
}
