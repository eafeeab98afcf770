#include <QApplication>
#include <QMainWindow>

// An empty main window of the program's size: what any Qt program of this kind costs at least.
int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle("Empty Qt window");
    window.setFixedSize(441, 305);
    window.show();
    return QApplication::exec();
}
