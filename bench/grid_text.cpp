#include "bench/grid_text.h"

#include <cstdint>

constexpr int kWallSpacing = 32;
constexpr int kDoorWidth = 4;

static std::uint32_t nextRandom(std::uint32_t& state)
{
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

static char cellAt(int x, int y, std::uint32_t& state)
{
    const bool wall = (x % kWallSpacing == kWallSpacing / 2 && y % kWallSpacing >= kDoorWidth) ||
                      (y % kWallSpacing == kWallSpacing / 2 && x % kWallSpacing >= kDoorWidth);
    if (wall)
        return '@';
    return nextRandom(state) % 100 < 15 ? 'T' : '.';
}

std::string gridText(int width, int height)
{
    std::uint32_t state = 2463534242u;
    std::string text = "type octile\nheight " + std::to_string(height) + "\nwidth " + std::to_string(width) + "\nmap\n";
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            text += cellAt(x, y, state);
        text += '\n';
    }
    return text;
}
