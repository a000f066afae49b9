#pragma once
// Runs this thread's messages until a condition holds, so that tests wait for what they expect instead of
// sleeping a fixed time.

#include <functional>

namespace Arkova::Testing {

// true as soon as `condition` holds (checked after each batch of messages), false after limitMs.
// The default limit is generous: the first dialog of a run in a fresh Wine prefix has taken over 5 s to show, and a
// condition that holds returns at once anyway.
bool PumpUntil(const std::function<bool()>& condition, int limitMs = 15000);

}  // namespace Arkova::Testing
