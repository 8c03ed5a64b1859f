// Long work on the user-interface thread that never holds the message loop
// up, and that no modal loop holds up either. The work runs on a fiber of
// its own, a slice at a time: it gives up the thread at its turns, the
// loop it was started from lets pending messages run and starts the next
// slice, and a thread timer starts slices from any loop that holds that
// one meanwhile (a menu's, a message box's, a dialog's: each dispatches
// timer messages).
#pragma once

#include <functional>

namespace tsly::win {

// Runs `work` to its end and returns then; rethrows what it threw. Called
// during sliced work, it is part of that work.
void RunSliced(const std::function<void()>& work);

// Called by sliced work at a turn: this slice ends and the work goes on
// after pending messages have run. Outside sliced work (no fiber could be
// made) it lets them run itself.
void EndSlice();

// Sliced work waits between two slices: what runs now (a box the user
// opened meanwhile, say) is not the work's own.
bool WorkWaits();

}  // namespace tsly::win
