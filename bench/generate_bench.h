// The generator benchmark behind `ombrix-bench --generate`.
#pragma once

#include <string>

namespace ombrix {

// Prints, per rule set and size, the median and worst time over seeds
// 1..`seeds`, the grades made and the clues per cell; with `grades` -1 also
// how often each asked grade is hit within five times the goal (with `grades`
// 1..4 only that grade, without the plain row); then the clue
// density of the published puzzles in `corpus`/real by size class. A
// non-empty `rules` ("ombrix" or "tandrel") or `size` ("WxH") keeps only
// that rule set or size. The generator runs on `threads` worker threads.
int RunGenerateBench(const std::string& corpus, int seeds, int grades,
                     const std::string& rules = {}, const std::string& size = {}, int threads = 2);

} // namespace ombrix
