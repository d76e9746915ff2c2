#include "ui/aboutbox.h"

#include <QApplication>
#include <QIcon>
#include <QLabel>
#include <QMessageBox>
#include <QTextDocument>

namespace {

// The box's text (rich text), naming the library file at `libraryFile`.
QString aboutText(const QString& libraryFile)
{
    const QString file = libraryFile.toHtmlEscaped();
    return QStringLiteral(
               "<h3>Phonolith " PHONOLITH_VERSION "</h3>"
               "<p>A calculator for microphone levels.</p>"
               "<p>Copyright (c) 2026 The Phonolith developers.<br>"
               "Licence: the MIT License (https://opensource.org/licenses/MIT).</p>"
               "<p><b>The microphone library</b> (%1) holds the published figures of well-known "
               "microphones. They come from the makers' own datasheets, manuals and pages (Neumann, "
               "Sennheiser, Lewitt, Shure, RODE, sE Electronics, Crown, Knowles, InvenSense, Infineon, "
               "ST) and from magazine reviews and faithful copies that reproduce the makers' figures "
               "(Sound On Sound, Audio). Each microphone's source is named above its section in the "
               "file; a figure no source gives is left out and said so.</p>"
               "<p>The SOYUZ 1973 figures come from \"SOYUZ Microphones - Open Product Data\" by "
               "SOYUZ Microphones (https://github.com/Soyuzmicrophones/soyuz-microphones-open-data), "
               "licensed CC BY 4.0 (https://creativecommons.org/licenses/by/4.0/). The library gives "
               "their sensitivity in volts where the data set gives mV/Pa.</p>")
        .arg(file);
}

} // namespace

QMessageBox* showAboutBox(QWidget* parent, const QString& libraryFile)
{
    auto* box = new QMessageBox(parent);
    box->setObjectName("AboutBox");
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowTitle(QStringLiteral("About Phonolith"));
    box->setTextFormat(Qt::RichText);
    box->setText(aboutText(libraryFile));
    // The text can be walked, selected and copied with the keyboard (Tab
    // reaches it from the button, below), as with a mouse.
    box->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    box->setIconPixmap(QApplication::windowIcon().pixmap(64, 64));
    box->setStandardButtons(QMessageBox::Close);
    box->setEscapeButton(QMessageBox::Close);
    box->setDefaultButton(QMessageBox::Close);
    // A screen reader names the alert and reads its text, the label's
    // accessible name, when it opens and when Tab reaches the text.
    QTextDocument plain;
    plain.setHtml(box->text());
    box->setAccessibleName(box->windowTitle());
    if (auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) {
        label->setFocusPolicy(Qt::StrongFocus); // selectable text alone takes focus by click only
        label->setAccessibleName(plain.toPlainText());
    }
    box->open();
    return box;
}
