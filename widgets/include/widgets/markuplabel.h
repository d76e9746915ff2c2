#pragma once
// TMarkupLabel: a transparent label that renders the small markup of
// markupengine.h. Every change of its lines schedules one repaint.
#include <QStringList>
#include <QWidget>

#include "widgets/markupengine.h"

class TMarkupLabel : public QWidget {
    Q_OBJECT
public:
    explicit TMarkupLabel(QWidget* parent = nullptr);
    ~TMarkupLabel() override;

    // The markup lines (HTMLText).
    const QStringList& htmlText() const { return htmlText_; }
    void setHtmlText(const QStringList& lines);
    void clearLines();
    void addLine(const QString& line);

    // The lines cleared and `markup` (UTF-8) added; one repaint.
    void setResultLine(const std::string& markup);

    markup::TVAlignment vAlignment() const { return vAlignment_; }
    void setVAlignment(markup::TVAlignment v);
    // The base text colour (the palette's window-text colour).
    QColor fontColor() const { return palette().color(QPalette::WindowText); }
    void setFontColor(const QColor& c);
    int lineSpacing() const { return lineSpacing_; }
    void setLineSpacing(int px);

    // The text without tags, as a screen reader gets it.
    QString plainText() const;

    // The block as the next paint lays it out in the client rectangle.
    markup::Block layoutBlock(const ITextMeasure& measure) const;

    // Puts the text without tags on the clipboard (Copy in the context menu,
    // or the copy shortcut while the label has the focus).
    void copy() const;

    // Whether a screen reader announces each new text: the label is then a
    // notification to it rather than a static text.
    bool announcesChanges() const { return announcesChanges_; }
    void setAnnouncesChanges(bool on);

protected:
    void paintEvent(QPaintEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void changed();

    // Word widths and line heights, as on the screen, and the words shaped
    // for drawing, kept between paints: from one result line to the next
    // most words stay the same.
    TTextCaches texts_;
    bool announcesChanges_ = false;
    QString announced_; // the text a screen reader was last told of

    QStringList htmlText_;
    markup::TVAlignment vAlignment_ = markup::tvaTop;
    int lineSpacing_ = 0;
};
