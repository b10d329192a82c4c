// This process's memory as the system counts it.
#pragma once

// Kilobytes after "field:" in /proc/self/status (VmRSS, VmHWM, ...), as
// megabytes; -1 when absent.
double statusMegabytes(const char* field);
