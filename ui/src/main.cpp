// Phonolith: a calculator for microphone levels.
#include <QApplication>
#include <QIcon>

#include "text/fonts.h"
#include "ui/mainwindow.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("Phonolith");
    QGuiApplication::setDesktopFileName(QStringLiteral("org.phonolith.Phonolith"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("org.phonolith.Phonolith")));
    registerAppFonts();
    TfmMain fmMain;
    fmMain.show();
    return app.exec();
}
