#pragma once
// The process's own heap. A long-running program that parses a large answer now and then keeps
// the freed memory mapped unless it is handed back; this does that where the C library can.

namespace ProcessMemory {

// Returns free heap memory to the system; whether any went. Cheap when there is nothing to return.
bool releaseUnusedHeap();

} // namespace ProcessMemory
