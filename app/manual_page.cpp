#include "app/manual_page.h"

#include <cctype>
#include <sstream>

#include "app/command_line.h"
#include "ui/keys.h"

std::string roffText(const std::string& text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '\\': out += "\\e"; break;
        case '-': out += "\\-"; break;
        case '\'': out += "\\(aq"; break;
        case '`': out += "\\(ga"; break;
        case '~': out += "\\(ti"; break;
        case '^': out += "\\(ha"; break;
        default: out += c;
        }
    }
    // A dot or quote opening a line would make it a request.
    if (!out.empty() && (out[0] == '.' || out[0] == '\''))
        out.insert(0, "\\&");
    return out;
}

static bool isPlaceholder(const std::string& word)
{
    if (word.empty())
        return false;
    for (char c : word)
        if (!std::isupper(static_cast<unsigned char>(c)))
            return false;
    return true;
}

std::string roffSynopsis(const std::string& synopsis)
{
    std::string out;
    std::istringstream words(synopsis);
    for (std::string word; words >> word;) {
        const std::size_t open = word.find_first_not_of('[');
        const std::size_t close = word.find_last_not_of(']') + 1;
        if (!out.empty())
            out += ' ';
        if (open == std::string::npos || word == "|") {
            out += roffText(word);
            continue;
        }
        const std::string core = word.substr(open, close - open);
        out += word.substr(0, open);
        out += (isPlaceholder(core) ? "\\fI" : "\\fB") + roffText(core) + "\\fR";
        out += word.substr(close);
    }
    return out;
}

static std::string synopsisPart()
{
    std::string out;
    for (int i = 0; i < kCommandFormCount; ++i)
        out += (i == 0 ? "" : ".br\n") + roffSynopsis(kCommandForms[i].synopsis) + '\n';
    return out;
}

// A tag (already roff) and its text, indented by indent (roff's default when empty).
static std::string taggedParagraph(const std::string& tag, const std::string& text, const char* indent = "")
{
    return std::string(".TP") + indent + '\n' + tag + '\n' + roffText(text) + '\n';
}

static std::string commandsPart()
{
    std::string out;
    for (int i = 0; i < kCommandFormCount; ++i)
        if (kCommandForms[i].does != nullptr)
            out += taggedParagraph(roffSynopsis(kCommandForms[i].synopsis), kCommandForms[i].does);
    return out;
}

static std::string optionsPart()
{
    std::string out;
    for (int i = 0; i < kOptionRowCount; ++i)
        out += taggedParagraph(roffSynopsis(kOptionRows[i].shown), kOptionRows[i].does);
    return out;
}

// The rows packed like the overlay: no gap between them, keys in 14 columns.
static std::string keysPart()
{
    std::string out;
    for (int i = 0; i < kKeyRowCount; ++i) {
        const KeyRow& row = kKeyRows[i];
        if (row.does == nullptr)
            out += ".PD\n.SS \"" + roffText(row.shown) + "\"\n.PD 0\n";
        else
            out += taggedParagraph("\\fB" + roffText(row.shown) + "\\fR", row.does, " 14n");
    }
    return out + ".PD\n";
}

bool fillManualPage(const std::string& page, const std::string& version, const std::string& date,
                    std::string& out, std::string& error)
{
    const std::pair<const char*, std::string (*)()> parts[] = {
        {"@SYNOPSIS@", synopsisPart}, {"@COMMANDS@", commandsPart}, {"@OPTIONS@", optionsPart}, {"@KEYS@", keysPart}};
    out.clear();
    std::istringstream lines(page);
    int number = 0;
    for (std::string line; std::getline(lines, line);) {
        ++number;
        bool whole = false;
        for (const auto& [marker, write] : parts)
            if (line == marker) {
                out += write();
                whole = true;
            }
        if (whole)
            continue;
        std::size_t from = 0;
        for (std::size_t at; (at = line.find('@', from)) != std::string::npos;) {
            std::size_t end = at + 1;
            while (end < line.size() && std::isupper(static_cast<unsigned char>(line[end])))
                ++end;
            if (end == at + 1 || end == line.size() || line[end] != '@') {
                from = at + 1; // an at sign that marks nothing
                continue;
            }
            const std::string marker = line.substr(at, end + 1 - at);
            if (marker != "@VERSION@" && marker != "@DATE@") {
                error = std::to_string(number) + ": unknown marker " + marker;
                return false;
            }
            const std::string& value = marker == "@VERSION@" ? version : date;
            line.replace(at, marker.size(), value);
            from = at + value.size();
        }
        out += line + '\n';
    }
    return true;
}
