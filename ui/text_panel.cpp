#include "ui/text_panel.h"

#include <algorithm>

std::vector<std::string> wrapLines(const std::vector<std::string>& lines, int maxChars)
{
    const std::size_t most = static_cast<std::size_t>(std::max(maxChars, 8));
    std::vector<std::string> wrapped;
    for (std::string rest : lines) {
        bool first = true;
        while (rest.size() > most) {
            std::size_t cut = rest.rfind(", ", most - 1);
            std::size_t skip = 2;
            if (cut == std::string::npos || cut < most / 2) {
                cut = rest.rfind(' ', most);
                skip = 1;
            }
            if (cut == std::string::npos || cut < most / 2) {
                cut = most;
                skip = 0;
            }
            wrapped.push_back(rest.substr(0, cut + (skip == 2 ? 1 : 0)));
            rest = "  " + rest.substr(cut + skip);
            first = false;
        }
        if (first || rest.size() > 2)
            wrapped.push_back(rest);
    }
    return wrapped;
}

void fitPanels(std::vector<TextPanel>& panels, int width)
{
    const int chars = (width - 2 * kPanelMargin - 2 * kPanelPadding) / kCharWidth;
    float below = -1.0f; // bottom of the last left-hand panel fitted
    for (TextPanel& panel : panels) {
        if (panel.x != kPanelMargin)
            continue;
        const float y = below >= 0.0f && panel.y > kPanelMargin ? below + kPanelMargin : panel.y;
        panel = panelAt(wrapLines(panel.lines, chars), panel.x, y);
        below = panel.y + panel.height;
    }
}

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
