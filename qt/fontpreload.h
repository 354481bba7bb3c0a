#pragma once

#include <future>

namespace fuelix {

// Starts reading the system's font configuration on a thread of its own, so that it overlaps
// the platform's start-up instead of following it; the returned future waits for it on
// destruction. Does nothing where the platform has no fontconfig, or no thread to spare.
[[nodiscard]] std::future<void> preloadFontConfiguration();

} // namespace fuelix
