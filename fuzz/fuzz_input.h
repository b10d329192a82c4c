// Reading a fuzzer's bytes one at a time, past the end as zeros, so every
// input however short decodes to something.
#pragma once

#include <cstddef>
#include <cstdint>

struct Input {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t offset;
};

inline int readByte(Input& input)
{
    return input.offset < input.size ? input.data[input.offset++] : 0;
}
