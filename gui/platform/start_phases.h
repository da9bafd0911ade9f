// The moments of the program's start, for the start-up benchmark's breakdown. Marking
// one is a counter read into a fixed table: nothing worth saving in a start that nobody
// measures.
#pragma once

#include <cstdint>
#include <vector>

namespace vl {

struct StartMark {
  const char* phase;   // the phase that ended at this moment
  std::int64_t ticks;  // the performance counter
};

// Notes that `phase` (a literal) ends now. Marks past the table's size are dropped.
void MarkStartPhase(const char* phase);

// The marks so far, in order.
std::vector<StartMark> StartMarks();

}  // namespace vl
