#include "gui/platform/start_phases.h"

#include <windows.h>

namespace vl {
namespace {

StartMark g_marks[32];
int g_count = 0;

}  // namespace

void MarkStartPhase(const char* phase) {
  if (g_count == static_cast<int>(std::size(g_marks))) return;
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  g_marks[g_count++] = {phase, now.QuadPart};
}

std::vector<StartMark> StartMarks() { return std::vector<StartMark>(g_marks, g_marks + g_count); }

}  // namespace vl
