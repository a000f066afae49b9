#pragma once
// Runs this thread's messages until a condition holds, so that tests wait for what they expect instead of
// sleeping a fixed time.

#include <functional>

namespace Arkova::Testing {

// true as soon as `condition` holds (checked after each batch of messages), false after limitMs.
bool PumpUntil(const std::function<bool()>& condition, int limitMs = 5000);

}  // namespace Arkova::Testing
