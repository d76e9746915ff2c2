#include "diagram/diagramaccessible.h"

#include <QAccessibleWidget>
#include <QPointer>
#include <QWindow>
#include <algorithm>
#include <vector>

#include "diagram/leveldiagram.h"
#include "text/widgetkit.h"

namespace {

// A text the diagram paints (a label, or an overlay text), or one label
// column as a list of its labels. Made from the diagram's last paint.
class TDiagramTextAccessible : public QAccessibleInterface {
public:
    TDiagramTextAccessible(QAccessibleInterface* parent, QWidget* chart, QAccessible::Role role, QString name,
                           TIntRect rect)
        : parent_(parent), chart_(chart), role_(role), name_(std::move(name)), rect_(rect)
    {
    }

    bool isValid() const override { return !chart_.isNull(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return chart_ ? chart_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        for (QAccessibleInterface* c : children_)
            if (c->rect().contains(x, y)) return c;
        return nullptr;
    }
    QAccessibleInterface* parent() const override { return parent_; }
    QAccessibleInterface* child(int index) const override
    {
        return index >= 0 && index < static_cast<int>(children_.size()) ? children_[static_cast<std::size_t>(index)]
                                                                        : nullptr;
    }
    int childCount() const override { return static_cast<int>(children_.size()); }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        const auto it = std::find(children_.begin(), children_.end(), child);
        return it == children_.end() ? -1 : static_cast<int>(it - children_.begin());
    }
    QString text(QAccessible::Text t) const override { return t == QAccessible::Name ? name_ : QString(); }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override
    {
        if (!chart_) return {};
        return QRect(chart_->mapToGlobal(QPoint(rect_.left, rect_.top)), QSize(rect_.width(), rect_.height()));
    }
    QAccessible::Role role() const override { return role_; }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        s.readOnly = true;
        return s;
    }

    void addChild(QAccessibleInterface* c) { children_.push_back(c); }

private:
    QAccessibleInterface* parent_;
    QPointer<QWidget> chart_;
    QAccessible::Role role_;
    QString name_;
    TIntRect rect_;
    std::vector<QAccessibleInterface*> children_;
};

// The column's unit as a screen reader names it.
QString unitOf(const TLevelDiagram& d, const TScaleAxis* a)
{
    const TScaleAxis& left = d.LeftAxis();
    const TScaleAxis& right = d.RightAxis();
    if (a == &left) return QStringLiteral("dBSPL");
    if (a == &left.SubAxes(0) || a == &left.SubAxes(1)) return QStringLiteral("Pa");
    if (a == &right) return QStringLiteral("dBu");
    if (a == &right.SubAxes(0)) return QStringLiteral("volts");
    if (a == &right.SubAxes(1)) return QStringLiteral("dBV");
    return QStringLiteral("dBFS");
}

TIntRect unite(const TIntRect& a, const TIntRect& b)
{
    if (a.width() <= 0 || a.height() <= 0) return b;
    return TIntRect{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                    std::max(a.bottom, b.bottom)};
}

// The diagram itself: its name and description as set on the widget, and
// one child per label column and per overlay text of the last paint, built
// when asked for after a paint changed them.
class TLevelDiagramAccessible : public QAccessibleWidget {
public:
    explicit TLevelDiagramAccessible(TLevelDiagram* d) : QAccessibleWidget(d, QAccessible::Client) {}
    ~TLevelDiagramAccessible() override { clear(); }

    int childCount() const override
    {
        refresh();
        return static_cast<int>(ids_.size());
    }
    QAccessibleInterface* child(int index) const override
    {
        refresh();
        if (index < 0 || index >= static_cast<int>(ids_.size())) return nullptr;
        return QAccessible::accessibleInterface(ids_[static_cast<std::size_t>(index)]);
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        refresh();
        for (std::size_t i = 0; i < ids_.size(); ++i)
            if (QAccessible::accessibleInterface(ids_[i]) == child) return static_cast<int>(i);
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        refresh();
        for (QAccessible::Id id : ids_) {
            QAccessibleInterface* c = QAccessible::accessibleInterface(id);
            if (c && c->rect().contains(x, y)) return c;
        }
        return nullptr;
    }

private:
    TLevelDiagram* diagram() const { return static_cast<TLevelDiagram*>(widget()); }

    void clear() const
    {
        for (QAccessible::Id id : ownedIds_)
            if (QAccessible::accessibleInterface(id)) QAccessible::deleteAccessibleInterface(id);
        ownedIds_.clear();
        ids_.clear();
    }

    QAccessible::Id add(TDiagramTextAccessible* iface) const
    {
        const QAccessible::Id id = QAccessible::registerAccessibleInterface(iface);
        ownedIds_.push_back(id);
        return id;
    }

    // Rebuilds the children when the last paint is newer than they are.
    void refresh() const
    {
        TLevelDiagram* d = diagram();
        const unsigned gen = d->lastLayout().generation;
        if (built_ && gen == builtGeneration_) return;
        clear();
        built_ = true;
        builtGeneration_ = gen;
        auto* self = const_cast<TLevelDiagramAccessible*>(this);

        // Label columns from left to right on screen, labels top to bottom.
        std::vector<const TAxisLayout*> columns;
        for (const TAxisLayout& a : d->lastLayout().axes)
            if (a.showLabels) columns.push_back(&a);
        std::stable_sort(columns.begin(), columns.end(),
                         [](const TAxisLayout* x, const TAxisLayout* y) { return x->labelX < y->labelX; });
        for (const TAxisLayout* a : columns) {
            std::vector<const TLabelItem*> shown;
            TIntRect area;
            for (const TLabelItem& item : a->labels)
                if (item.draw) {
                    shown.push_back(&item);
                    area = unite(area, item.textRect);
                }
            if (shown.empty()) continue;
            auto* list = new TDiagramTextAccessible(self, d, QAccessible::List,
                                                    unitOf(*d, a->axis) + QStringLiteral(" scale"), area);
            ids_.push_back(add(list));
            for (const TLabelItem* item : shown) {
                auto* entry = new TDiagramTextAccessible(list, d, QAccessible::ListItem, item->text, item->textRect);
                add(entry);
                list->addChild(entry);
            }
        }
        // The overlay texts, if they were painted with this layout.
        if (d->overlayGeneration() == gen)
            for (const TOverlayText& t : d->lastOverlayTexts())
                ids_.push_back(add(new TDiagramTextAccessible(self, d, QAccessible::StaticText, t.text, t.rect)));
    }

    mutable bool built_ = false;
    mutable unsigned builtGeneration_ = 0;
    mutable std::vector<QAccessible::Id> ids_;      // the direct children
    mutable std::vector<QAccessible::Id> ownedIds_; // every interface made here
};

} // namespace

void installDiagramAccessibility()
{
    installAccessibleFactory(accessibleFactory<TLevelDiagram, TLevelDiagramAccessible>);
}
