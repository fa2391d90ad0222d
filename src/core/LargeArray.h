// Large arrays that are about to be filled: their memory made resident in one step.
#pragma once

#include <cstddef>
#include <vector>

namespace quandrel {

// Asks the system for the pages of [pvData, pvData + lBytes) at once, in large pages where it can,
// instead of one page fault per 4 KiB as they are first written (on a virtual machine a fault can
// cost more than parsing the numbers that fill the page). Does nothing for less than 2 MiB or where
// the system offers no such request; the contents are unchanged either way.
void MakeResident(void* pvData, std::size_t lBytes);

// The same for the whole capacity of a vector that is about to grow into it.
inline void MakeCapacityResident(std::vector<double>& v)
{
    MakeResident(v.data(), v.capacity() * sizeof(double));
}

} // namespace quandrel
