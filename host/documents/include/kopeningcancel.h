#pragma once

// Opening a document can take long (a conversion, parsing or laying out a large file). Any
// thread, and a signal handler, may ask it to stop; the long steps look between steps and
// give up, and the opening then fails as cancelled.
namespace kopening {

void requestCancel() noexcept; // async-signal-safe
bool cancelRequested() noexcept;
void resetCancel() noexcept;

// Counts what an opening holds that only it can clean up (a converter, its temporary
// folder). While the count is above zero a cancel waits for the opening to give up; at zero
// the process may end at once, leaving nothing behind.
void hold() noexcept;
void release() noexcept;
int holdings() noexcept;

} // namespace kopening
