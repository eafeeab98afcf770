#include <QApplication>
#include <QLabel>
#include <QMainWindow>

#include <cstring>

// An empty main window of the program's size: what any Qt program of this kind costs at least.
// With --text it shows one line of text as well, so the font database is loaded as in any window
// that draws text.
int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const bool withText = argc > 1 && std::strcmp(argv[1], "--text") == 0;
    QMainWindow window;
    window.setWindowTitle(withText ? "Qt window with text" : "Empty Qt window");
    window.setFixedSize(441, 305);
    if (withText)
        window.setCentralWidget(new QLabel("Weather data provided by: NOAA's National Weather Service"));
    window.show();
    return QApplication::exec();
}
