// Asking the processor for memory ahead of its use: a hint, nothing more.
#pragma once

inline void prefetch(const void* address)
{
#if defined(__GNUC__)
    __builtin_prefetch(address);
#else
    (void)address;
#endif
}
