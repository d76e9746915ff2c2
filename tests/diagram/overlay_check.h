#pragma once
// What must hold of the overlay texts however they were placed: each inside
// the plot, clear of the labels, the side titles and each other. Shared by
// the views tests and the axis and calculator fuzz targets.
#include <string>
#include <vector>

#include "diagram/leveldiagram.h"

namespace overlaycheck {

// Empty when the diagram's last paint placed its overlay texts well, else
// what is wrong.
inline std::string problem(const TLevelDiagram& d)
{
    const TChartLayout& l = d.lastLayout();
    const TIntRect plot = l.chartRect;
    std::vector<TIntRect> labels;
    for (const TAxisLayout& a : l.axes) {
        if (!a.takesPart || !a.showLabels) continue;
        for (const TLabelItem& item : a.labels)
            if (item.draw) labels.push_back(item.textRect);
    }
    const auto isTitle = [](const TOverlayText& t) {
        return t.text == "Acoustic" || t.text == "Electric" || t.text == "Digital";
    };
    const std::vector<TOverlayText>& texts = d.lastOverlayTexts();
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const TOverlayText& t = texts[i];
        const std::string name = "\"" + t.text.toStdString() + "\"";
        if (isTitle(t)) continue;
        if (!plot.contains(t.rect)) return name + " leaves the plot";
        for (const TIntRect& r : labels)
            if (r.intersects(t.rect)) return name + " covers a scale label";
        for (std::size_t k = 0; k < texts.size(); ++k)
            if (k != i && texts[k].rect.intersects(t.rect))
                return name + " overlaps \"" + texts[k].text.toStdString() + "\"";
    }
    return {};
}

} // namespace overlaycheck
