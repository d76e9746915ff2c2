#include "ui/presetview.h"

#include <algorithm>

#include <QComboBox>
#include <QFile>
#include <QFontMetrics>
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

QString presetNameShown(const std::string& utf8)
{
    // Decode no more than the shown part: at most four bytes a character.
    const std::size_t bytes = std::min(utf8.size(), std::size_t{kShownNameLength} * 4 + 4);
    QString name = textAsWritten(utf8.substr(0, bytes));
    if (bytes < utf8.size() || name.size() > kShownNameLength) {
        name.truncate(kShownNameLength);
        if (name.size() && name.back().isHighSurrogate()) name.chop(1);
        name += QChar(0x2026);
    }
    return name;
}

void WindowPresetView::clearPresets() { w_.cbMicPresets->clear(); }

void WindowPresetView::addPreset(const std::string& name) { w_.cbMicPresets->addItem(presetNameShown(name)); }

int WindowPresetView::presetCount() const { return w_.cbMicPresets->count(); }

int WindowPresetView::presetIndex() const { return w_.cbMicPresets->currentIndex(); }

void WindowPresetView::setPresetIndex(int index) { w_.cbMicPresets->setCurrentIndex(index); }

void WindowPresetView::setMicDescription(const std::string& text)
{
    ++loads_;
    // The carriage return separates the label's two lines.
    w_.lblMicDesc->setText(textAsWritten(text).replace('\r', '\n'));
}

void WindowPresetView::setParamsErrorVisible(bool visible) { w_.lblMicPresetParamsError->setVisible(visible); }

void WindowPresetView::setParamsErrorDetails(const std::vector<std::string>& lines)
{
    // The label keeps its one text; what it is about is in its tool tip and,
    // for a screen reader, its description.
    QStringList items;
    for (const std::string& line : lines) items << textAsWritten(line);
    QLabel* l = w_.lblMicPresetParamsError;
    l->setToolTip(items.join('\n'));
    l->setAccessibleDescription(items.isEmpty() ? QString() : items.join(QStringLiteral(". ")) + '.');
}

void WindowPresetView::setPrevEnabled(bool enabled) { w_.btnMicPresetPrev->setEnabled(enabled); }

void WindowPresetView::setNextEnabled(bool enabled) { w_.btnMicPresetNext->setEnabled(enabled); }

void WindowPresetView::updateCaption() { w_.UpdateCaption(); }

void WindowPresetView::setFileProblem(const std::string& path, const std::string& reason)
{
    QLabel* l = w_.lblMicSetFileError;
    if (reason.empty()) {
        l->hide();
        l->clear();
        l->setToolTip({});
        return;
    }
    const QString file = QFile::decodeName(QByteArray::fromStdString(path));
    const QString why = QString::fromStdString(reason) + '.';
    const QString lead = QStringLiteral("Mic-set file ");
    // The path cut in its middle to fit the line; the tool tip holds it whole.
    const QFontMetrics fm(l->font());
    const int room = l->width() - fm.horizontalAdvance(lead + "\"\"") - 2;
    l->setText(lead + '"' + fm.elidedText(file, Qt::ElideMiddle, room) + "\"\n" + why);
    l->setToolTip(lead + '"' + file + "\"\n" + why);
    l->setAccessibleName(l->toolTip());
    l->show();
}

static std::string ask(QFileDialog* d)
{
    if (d->exec() != QDialog::Accepted || d->selectedFiles().isEmpty()) return {};
    return d->selectedFiles().first().toStdString();
}

std::string WindowPresetView::askOpenFileName() { return ask(w_.fileDialog(false)); }

std::string WindowPresetView::askSaveFileName() { return ask(w_.fileDialog(true)); }
