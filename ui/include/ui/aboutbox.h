#pragma once
// Help > "About": the version, the licence, where the microphone library's
// figures come from and the attribution its open data requires.
#include <QString>

class QMessageBox;
class QWidget;

// Opens the box over `parent`, window-modal, and returns at once; the box
// deletes itself when closed. Its text is read by a screen reader when it
// opens, and can be selected and copied with the keyboard.
QMessageBox* showAboutBox(QWidget* parent, const QString& libraryFile);
