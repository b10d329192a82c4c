// Making one allocation fail on purpose, to see what a program that runs out
// of memory does there. The test binary replaces the global operator new.
#pragma once

// The allocation after the next `count` ones throws std::bad_alloc; the ones
// after it succeed again.
void failAllocationAfter(long count);

// Stops any planned failure; true when the planned one happened.
bool stopFailingAllocations();
