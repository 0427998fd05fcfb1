// Follows where lines start while a pass reads its input view by view.
#ifndef QUORVANTIDE_COMMON_LINE_TRACKER_H_
#define QUORVANTIDE_COMMON_LINE_TRACKER_H_

#include <cstdint>
#include <cstring>
#include <string_view>

// Offsets are counted from the start of the input.
struct LineTracker {
  uint64_t line_start = 0;  // of the line being read
  uint64_t looked = 0;      // the input before this was searched for LFs
};

// Follows the lines up to `to`. `view` holds the input from `view_start`
// on, from where the tracker last looked to `to` at least: a pass must
// follow the lines up to every point it consumes.
inline void FollowLines(LineTracker* lines, std::string_view view,
                        uint64_t view_start, uint64_t to) {
  if (to <= lines->looked) return;
  const char* next = view.data() + (lines->looked - view_start);
  const char* const end = view.data() + (to - view_start);
  const char* const from = next;
  while (const void* lf = std::memchr(next, '\n', end - next)) {
    next = static_cast<const char*>(lf) + 1;
  }
  if (next != from) lines->line_start = view_start + (next - view.data());
  lines->looked = to;
}

#endif  // QUORVANTIDE_COMMON_LINE_TRACKER_H_
