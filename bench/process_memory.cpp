#include "bench/process_memory.h"

#include <cstdio>
#include <cstring>

double statusMegabytes(const char* field)
{
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (status == nullptr)
        return -1.0;
    char line[256];
    double megabytes = -1.0;
    const std::size_t length = std::strlen(field);
    while (std::fgets(line, sizeof line, status) != nullptr) {
        long kilobytes = 0;
        if (std::strncmp(line, field, length) == 0 && std::sscanf(line + length, ": %ld", &kilobytes) == 1)
            megabytes = static_cast<double>(kilobytes) / 1024.0;
    }
    std::fclose(status);
    return megabytes;
}
