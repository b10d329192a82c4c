#include "files/error_text.h"

#include <cstdio>
#include <cstring>

std::string errorReason(int number)
{
    std::string text = std::strerror(number);
    if (!text.empty() && text[0] >= 'A' && text[0] <= 'Z')
        text[0] = static_cast<char>(text[0] - 'A' + 'a');
    return text;
}

std::string errorAt(const std::string& name, long line)
{
    return name + ":" + std::to_string(line) + ": ";
}

// Length of the well-formed UTF-8 character of two or more bytes at the
// start of text, U+00A0 or above; 0 when there is none.
static std::size_t printableUtf8(std::string_view text)
{
    const auto byte = [&](std::size_t i) { return i < text.size() ? static_cast<unsigned char>(text[i]) : 0u; };
    const auto inRange = [&](std::size_t i, unsigned low, unsigned high) {
        return byte(i) >= low && byte(i) <= high;
    };
    const unsigned lead = byte(0);
    std::size_t length = 0;
    unsigned low = 0x80, high = 0xbf; // the range of the second byte
    if (lead == 0xc2) {
        length = 2;
        low = 0xa0; // U+0080..U+009F are the C1 controls
    } else if (lead >= 0xc3 && lead <= 0xdf) {
        length = 2;
    } else if (lead >= 0xe0 && lead <= 0xef) {
        length = 3;
        low = lead == 0xe0 ? 0xa0 : 0x80;
        high = lead == 0xed ? 0x9f : 0xbf; // no surrogates
    } else if (lead >= 0xf0 && lead <= 0xf4) {
        length = 4;
        low = lead == 0xf0 ? 0x90 : 0x80;
        high = lead == 0xf4 ? 0x8f : 0xbf; // nothing past U+10FFFF
    } else {
        return 0;
    }
    if (!inRange(1, low, high))
        return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (!inRange(i, 0x80, 0xbf))
            return 0;
    return length;
}

std::string printableText(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char byte = static_cast<unsigned char>(text[i]);
        if (byte >= 0x20 && byte < 0x7f) {
            out += text[i++];
        } else if (const std::size_t length = printableUtf8(text.substr(i))) {
            out.append(text.substr(i, length));
            i += length;
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
            out += escaped;
            ++i;
        }
    }
    return out;
}

std::string outOfMemoryError(const std::string& name)
{
    return name + ": not enough memory to read it";
}
