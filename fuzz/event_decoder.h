// Turns raw fuzzer bytes into the mouse and key events the window would
// deliver. Quit keys are never produced: they would end the run, not test it.
#pragma once

#include <cstddef>
#include <cstdint>

struct ByteReader {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t offset;
};

enum class EventKind { Mouse, Key, None };

struct Event {
    EventKind kind = EventKind::None;
    int button = 0;
    int state = 0;
    int x = 0;
    int y = 0;
    int modifiers = 0;
    unsigned char key = 0;
};

// Reads the generator seed from the first four bytes (missing bytes read as 0).
std::uint32_t readSeed(ByteReader& reader);

bool atEnd(const ByteReader& reader);

// Decodes the next event. A quit key comes back as EventKind::None.
Event readEvent(ByteReader& reader);
