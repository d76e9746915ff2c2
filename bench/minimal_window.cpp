// The toolkit's floor: one empty Qt Widgets window of the main window's
// size. Built with first_paint_quit.cpp, it quits after its first frame.
#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(980, 655);
    window.show();
    return app.exec();
}
