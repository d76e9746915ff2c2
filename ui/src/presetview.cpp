#include "ui/presetview.h"

#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QStringDecoder>

#include "ui/mainwindow.h"

QString textAsWritten(const std::string& utf8)
{
    QStringDecoder decode(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    return decode(QByteArrayView(utf8.data(), static_cast<qsizetype>(utf8.size())));
}

void WindowPresetView::clearPresets() { w_.cbMicPresets->clear(); }

void WindowPresetView::addPreset(const std::string& name) { w_.cbMicPresets->addItem(textAsWritten(name)); }

int WindowPresetView::presetCount() const { return w_.cbMicPresets->count(); }

int WindowPresetView::presetIndex() const { return w_.cbMicPresets->currentIndex(); }

void WindowPresetView::setPresetIndex(int index) { w_.cbMicPresets->setCurrentIndex(index); }

void WindowPresetView::setMicDescription(const std::string& text)
{
    // The carriage return separates the label's two lines.
    w_.lblMicDesc->setText(textAsWritten(text).replace('\r', '\n'));
}

void WindowPresetView::setParamsErrorVisible(bool visible) { w_.lblMicPresetParamsError->setVisible(visible); }

void WindowPresetView::setPrevEnabled(bool enabled) { w_.btnMicPresetPrev->setEnabled(enabled); }

void WindowPresetView::setNextEnabled(bool enabled) { w_.btnMicPresetNext->setEnabled(enabled); }

void WindowPresetView::updateCaption() { w_.UpdateCaption(); }

static std::string ask(QFileDialog* d)
{
    if (d->exec() != QDialog::Accepted || d->selectedFiles().isEmpty()) return {};
    return d->selectedFiles().first().toStdString();
}

std::string WindowPresetView::askOpenFileName() { return ask(w_.fileDialog(false)); }

std::string WindowPresetView::askSaveFileName() { return ask(w_.fileDialog(true)); }
