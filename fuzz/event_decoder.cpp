#include "fuzz/event_decoder.h"

#include <cstring>

#include "ui/input.h"

constexpr unsigned char kEscape = 27;

// Keys that do something, so mutations reach them often.
constexpr unsigned char kCommonKeys[] = {'1', 'f', 'F', '2'};

static std::uint8_t readByte(ByteReader& reader)
{
    if (reader.offset >= reader.size)
        return 0;
    return reader.data[reader.offset++];
}

static std::uint32_t readWord(ByteReader& reader, int bytes)
{
    std::uint32_t value = 0;
    for (int i = 0; i < bytes; ++i)
        value |= static_cast<std::uint32_t>(readByte(reader)) << (8 * i);
    return value;
}

static int toSigned(std::uint32_t value)
{
    int result;
    std::memcpy(&result, &value, sizeof result);
    return result;
}

// Range 0 stays near the window (one byte per axis); 1 reaches far off it
// (16 bits); 2 and 3 cover every int, INT_MIN and INT_MAX included.
static void readPosition(ByteReader& reader, int range, Event& event)
{
    if (range == 0) {
        event.x = readByte(reader) * 4 - 112;
        event.y = readByte(reader) * 3 - 90;
    } else if (range == 1) {
        event.x = static_cast<std::int16_t>(readWord(reader, 2));
        event.y = static_cast<std::int16_t>(readWord(reader, 2));
    } else {
        event.x = toSigned(readWord(reader, 4));
        event.y = toSigned(readWord(reader, 4));
    }
}

static Event keyEvent(unsigned char key)
{
    Event event;
    if (key == 'q' || key == 'Q' || key == kEscape)
        return event;
    event.kind = EventKind::Key;
    event.key = key;
    return event;
}

std::uint32_t readSeed(ByteReader& reader)
{
    return readWord(reader, 4);
}

bool atEnd(const ByteReader& reader)
{
    return reader.offset >= reader.size;
}

// Opcode: low three bits pick the kind (left press weighted 3 of 8),
// bits 3-5 the modifiers, bits 6-7 the coordinate range.
Event readEvent(ByteReader& reader)
{
    const std::uint8_t op = readByte(reader);
    const int kind = op & 7;
    if (kind == 5)
        return keyEvent(readByte(reader));
    if (kind >= 6)
        return keyEvent(kCommonKeys[readByte(reader) % 4]);

    Event event;
    event.kind = EventKind::Mouse;
    event.modifiers = (op >> 3) & 7;
    if (kind <= 2) {
        event.button = kLeftButton;
        event.state = kButtonDown;
    } else if (kind == 3) {
        event.button = kRightButton;
        event.state = kButtonDown;
    } else {
        event.button = static_cast<std::int8_t>(readByte(reader));
        event.state = static_cast<std::int8_t>(readByte(reader));
    }
    readPosition(reader, op >> 6, event);
    return event;
}
