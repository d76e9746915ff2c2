// Phonolith: a calculator for microphone levels.
#include <QApplication>
#include <QIcon>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "text/fonts.h"
#include "ui/atspiguard.h"
#include "ui/commandline.h"
#include "ui/mainwindow.h"
#include "widgets/caretblink.h"

int main(int argc, char* argv[])
{
    // Read before the application object: --help, --version and a wrong
    // command line need no display.
    const CommandLine cl = parseCommandLine(std::vector<std::string>(argv + std::min(argc, 1), argv + argc));
    switch (cl.action) {
    case CommandLine::Action::Help:
        std::fputs(usageText().c_str(), stdout);
        return exitStatus(cl.action);
    case CommandLine::Action::Version:
        std::fputs(versionText().c_str(), stdout);
        return exitStatus(cl.action);
    case CommandLine::Action::Error:
        std::fprintf(stderr, "%s\n%s", cl.error.c_str(), usageText().c_str());
        return exitStatus(cl.action);
    case CommandLine::Action::Run:
        break;
    }

    QApplication app(argc, argv);
    installAtSpiGuard();
    // Ten seconds, as desktop caret settings commonly have it.
    TCaretBlinkTimeout caretBlink(std::chrono::seconds(10));
    QApplication::setApplicationName("Phonolith");
    QGuiApplication::setDesktopFileName(QStringLiteral("org.phonolith.Phonolith"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("org.phonolith.Phonolith")));
    registerAppFonts();
    TfmMain fmMain;
    if (cl.chain) fmMain.startSignalChain();
    if (cl.hasFile) fmMain.startWithMicSetFile(cl.file);
    fmMain.show();
    return app.exec();
}
