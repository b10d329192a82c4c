#include "ui/text_panel.h"

#include <algorithm>

TextPanel panelAt(std::vector<std::string> lines, float x, float y)
{
    std::size_t longest = 0;
    for (const std::string& line : lines)
        longest = std::max(longest, line.size());
    TextPanel panel;
    panel.x = x;
    panel.y = y;
    panel.width = static_cast<float>(longest * kCharWidth + 2 * kPanelPadding);
    panel.height = static_cast<float>(lines.size() * kLineHeight + 2 * kPanelPadding);
    panel.lines = std::move(lines);
    return panel;
}

TextPanel centredPanel(std::vector<std::string> lines, int width, int height)
{
    TextPanel panel = panelAt(std::move(lines), 0.0f, 0.0f);
    panel.x = std::max(0.0f, (static_cast<float>(width) - panel.width) / 2.0f);
    panel.y = std::max(0.0f, (static_cast<float>(height) - panel.height) / 2.0f);
    return panel;
}

float textLeft(const TextPanel& panel)
{
    return panel.x + static_cast<float>(kPanelPadding);
}

float textBaseline(const TextPanel& panel, int index)
{
    return panel.y + static_cast<float>(kPanelPadding + index * kLineHeight + kTextAscent);
}
