#pragma once

// How much of the C library's heap stays resident. glibc keeps freed blocks for reuse, and each
// time the program frees a large mapped block it raises the size from which blocks are mapped on
// their own (up to 32 MB). After that, the megabyte buffers that Mesa and Qt make and free come
// from the heap and stay resident, and a closed tool window leaves its GL context's megabytes
// behind as free holes. With another C library both calls do nothing.

// True when the user chose the heap's thresholds through glibc's environment variables; they
// are then left as set.
bool HeapTunedByUser(const char* mmapThreshold, const char* trimThreshold, const char* tunables);

// Fixes the thresholds at glibc's own starting values (blocks from 128 KB up mapped on their own,
// the heap's top given back once 128 KB of it are free), which stops glibc from raising them,
// unless the user tuned them. Call before much is allocated: first thing in main.
void FixHeapThresholds();

// Gives the free pages inside the heap back to the system. For after a large part of the program
// was freed, such as a closed tool window; not for every frame (it walks every free block).
void ReleaseFreeHeap();
