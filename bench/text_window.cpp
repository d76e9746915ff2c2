// The floor for a window that shows text: a main window with a menu bar and
// one label in Tahoma 8, of the main window's size. Text brings the font
// configuration, a font engine and glyphs, which an empty window never
// loads. Built with first_paint_quit.cpp, it quits after its first frame.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.menuBar()->addMenu(QStringLiteral("File"));
    auto* label = new QLabel(QStringLiteral("Mic Sensitivity in dBu -39.8"), &window);
    label->setFont(QFont(QStringLiteral("Tahoma"), 8));
    window.setCentralWidget(label);
    window.resize(980, 655);
    window.show();
    return app.exec();
}
