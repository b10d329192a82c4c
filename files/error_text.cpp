#include "files/error_text.h"

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

std::string outOfMemoryError(const std::string& name)
{
    return name + ": not enough memory to read it";
}
