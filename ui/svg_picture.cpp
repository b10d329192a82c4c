#include "ui/svg_picture.h"

#include <charconv>
#include <cmath>

#include "files/atomic_file.h"
#include "ui/palette.h"

static bool isVertex(const SvgScene& scene, int index)
{
    return scene.vertices != nullptr && index >= 0 && index < static_cast<int>(scene.vertices->size());
}

// Shortest text that reads back as the same float (or double).
template <typename Real>
static void appendNumber(std::string& out, Real value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

static std::string hexColour(const Colour& colour)
{
    static const char kDigits[] = "0123456789abcdef";
    std::string text = "#";
    for (float channel : {colour.red, colour.green, colour.blue}) {
        const int value = static_cast<int>(std::lround(channel * 255.0f));
        text += kDigits[value / 16];
        text += kDigits[value % 16];
    }
    return text;
}

static std::string escaped(const std::string& text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default:
            // XML 1.0 allows no other control characters.
            if (static_cast<unsigned char>(c) >= 0x20 || c == '\t')
                out += c;
        }
    }
    return out;
}

static void appendPoint(std::string& out, const Vertex& vertex)
{
    appendNumber(out, vertex.x);
    out += ',';
    appendNumber(out, vertex.y);
}

// name="value" with a space before it.
template <typename Real>
static void appendAttribute(std::string& out, const char* name, Real value)
{
    out += ' ';
    out += name;
    out += "=\"";
    appendNumber(out, value);
    out += '"';
}

// A size in window pixels as map units of the picture.
static double unitsOf(const SvgScene& scene, float pixels)
{
    return static_cast<double>(pixels) / scene.pixelsPerUnit;
}

static void appendCircle(std::string& out, const SvgScene& scene, const Vertex& vertex, float size)
{
    out += "<circle";
    if (scene.pixelsPerUnit == 1.0)
        appendAttribute(out, "r", size / 2.0f);
    else
        appendAttribute(out, "r", unitsOf(scene, size / 2.0f));
    appendAttribute(out, "cx", vertex.x);
    appendAttribute(out, "cy", vertex.y);
    out += "/>\n";
}

// Opens a group: <g id="ID" and the rest of its attributes, as given.
static void openGroup(std::string& out, const char* id, const std::string& attributes)
{
    out += "<g id=\"";
    out += id;
    out += "\"" + attributes + ">\n";
}

// Circles of one colour and diameter.
static void appendDots(std::string& out, const SvgScene& scene, const char* id, const std::vector<int>& indices,
                       const Colour& colour, float size)
{
    openGroup(out, id, " fill=\"" + hexColour(colour) + "\"");
    for (int index : indices)
        if (isVertex(scene, index))
            appendCircle(out, scene, (*scene.vertices)[static_cast<std::size_t>(index)], size);
    out += "</g>\n";
}

static void appendAllPoints(std::string& out, const SvgScene& scene)
{
    std::vector<int> all;
    if (scene.vertices != nullptr)
        for (int i = 0; i < static_cast<int>(scene.vertices->size()); ++i)
            all.push_back(i);
    appendDots(out, scene, "points", all, kPointColour, kPointSize);
}

// Goal over start over mark, as in the window.
static void appendSelections(std::string& out, const SvgScene& scene, const char* id)
{
    openGroup(out, id, "");
    const std::pair<int, Colour> selections[] = {
        {scene.marked, kMarkColour}, {scene.start, kStartColour}, {scene.goal, kGoalColour}};
    for (const auto& [index, colour] : selections) {
        if (!isVertex(scene, index))
            continue;
        const Vertex& vertex = (*scene.vertices)[static_cast<std::size_t>(index)];
        out += "<g fill=\"" + hexColour(colour) + "\">";
        appendCircle(out, scene, vertex, kSelectionSize);
        out += "</g>\n";
    }
    out += "</g>\n";
}

// The window draws each link from both ends; one line each is the same picture.
static void appendLinks(std::string& out, const SvgScene& scene)
{
    std::string stroke = " stroke=\"" + hexColour(kLinkColour) + "\"";
    if (scene.pixelsPerUnit == 1.0)
        stroke += " stroke-width=\"1\"";
    else
        appendAttribute(stroke, "stroke-width", unitsOf(scene, 1.0f));
    openGroup(out, "links", stroke);
    const int count = scene.vertices == nullptr ? 0 : static_cast<int>(scene.vertices->size());
    for (int from = 0; from < count; ++from) {
        const Vertex& vertex = (*scene.vertices)[static_cast<std::size_t>(from)];
        for (int i = 0; i < vertex.linkCount; ++i) {
            const int to = vertex.links[i].to;
            if (to <= from || !isVertex(scene, to))
                continue;
            const Vertex& other = (*scene.vertices)[static_cast<std::size_t>(to)];
            out += "<line";
            appendAttribute(out, "x1", vertex.x);
            appendAttribute(out, "y1", vertex.y);
            appendAttribute(out, "x2", other.x);
            appendAttribute(out, "y2", other.y);
            out += "/>\n";
        }
    }
    out += "</g>\n";
}

static void appendPolyline(std::string& out, const SvgScene& scene, const char* id, const std::vector<int>& path,
                           const Colour& colour, float width)
{
    std::string attributes = " fill=\"none\" stroke=\"" + hexColour(colour) + "\"";
    if (scene.pixelsPerUnit == 1.0)
        appendAttribute(attributes, "stroke-width", width);
    else
        appendAttribute(attributes, "stroke-width", unitsOf(scene, width));
    openGroup(out, id, attributes);
    std::string points;
    for (int index : path) {
        if (!isVertex(scene, index))
            continue;
        if (!points.empty())
            points += ' ';
        appendPoint(points, (*scene.vertices)[static_cast<std::size_t>(index)]);
    }
    if (!points.empty())
        out += "<polyline points=\"" + points + "\"/>\n";
    out += "</g>\n";
}

static void appendPanel(std::string& out, const TextPanel& panel)
{
    out += "<rect x=\"";
    appendNumber(out, panel.x);
    out += "\" y=\"";
    appendNumber(out, panel.y);
    out += "\" width=\"";
    appendNumber(out, panel.width);
    out += "\" height=\"";
    appendNumber(out, panel.height);
    out += "\" fill=\"" + hexColour(kPanelColour) + "\" fill-opacity=\"";
    appendNumber(out, kPanelOpacity);
    out += "\"/>\n";
    for (int i = 0; i < static_cast<int>(panel.lines.size()); ++i) {
        out += "<text x=\"";
        appendNumber(out, textLeft(panel));
        out += "\" y=\"";
        appendNumber(out, textBaseline(panel, i));
        out += "\">" + escaped(panel.lines[static_cast<std::size_t>(i)]) + "</text>\n";
    }
}

static void appendSearchLayer(std::string& out, const SvgScene& scene)
{
    appendDots(out, scene, "waiting", scene.waiting, kWaitingColour, kSearchPointSize);
    appendDots(out, scene, "expanded", scene.expanded, kExpandedColour, kSearchPointSize);
    if (!scene.backExpanded.empty() || !scene.backWaiting.empty()) {
        appendDots(out, scene, "back-waiting", scene.backWaiting, kBackWaitingColour, kSearchPointSize);
        appendDots(out, scene, "back-expanded", scene.backExpanded, kBackExpandedColour, kSearchPointSize);
    }
    if (scene.meeting >= 0)
        appendDots(out, scene, "meeting", {scene.meeting}, kMeetingColour, kReplayVertexSize);
    if (!scene.expanded.empty() || !scene.waiting.empty())
        appendSelections(out, scene, "selections-over-search");
    appendPolyline(out, scene, "replay", scene.routeToCurrent, kReplayColour, kReplayLineWidth);
    appendDots(out, scene, "replay-vertex", {scene.current}, kReplayColour, kReplayVertexSize);
}

std::string formatSvg(const SvgScene& scene)
{
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\"";
    appendAttribute(out, "width", scene.width * scene.pixelsPerUnit);
    appendAttribute(out, "height", scene.height * scene.pixelsPerUnit);
    out += " viewBox=\"";
    appendNumber(out, scene.left);
    out += ' ';
    appendNumber(out, scene.top);
    out += ' ';
    appendNumber(out, scene.width);
    out += ' ';
    appendNumber(out, scene.height);
    out += "\">\n";
    out += "<rect id=\"background\" width=\"100%\" height=\"100%\" fill=\"" + hexColour(kBackgroundColour) + "\"/>\n";
    appendAllPoints(out, scene);
    appendSelections(out, scene, "selections");
    appendLinks(out, scene);
    appendSearchLayer(out, scene);
    appendPolyline(out, scene, "route", scene.route, kRouteColour, 1.0f);
    std::string text = " font-family=\"monospace\" font-size=\"15\" fill=\"" + hexColour(kTextColour) +
                       "\" xml:space=\"preserve\"";
    // Panels are laid out in window pixels, from the window's corner.
    if (scene.panelsFromCorner && (scene.pixelsPerUnit != 1.0 || scene.left != 0.0 || scene.top != 0.0)) {
        text += " transform=\"translate(";
        appendNumber(text, scene.left);
        text += ' ';
        appendNumber(text, scene.top);
        text += ") scale(";
        appendNumber(text, 1.0 / scene.pixelsPerUnit);
        text += ")\"";
    }
    openGroup(out, "text", text);
    for (const TextPanel& panel : scene.panels)
        appendPanel(out, panel);
    out += "</g>\n</svg>\n";
    return out;
}

bool writeSvgFile(const std::string& path, const SvgScene& scene, std::string& error)
{
    return writeFileAtomically(path, formatSvg(scene), error);
}
