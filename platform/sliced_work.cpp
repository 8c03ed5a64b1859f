#include "platform/sliced_work.h"

#include <windows.h>

#include <exception>

#include "platform/application.h"

namespace tsly::win {
namespace {

struct Slices {
    const std::function<void()>* work = nullptr;
    void* fiber = nullptr;
    std::exception_ptr error;
    bool inSlice = false;
    bool done = false;
};

void* g_loopFiber = nullptr;   // the thread's own, where the loops run
Slices* g_running = nullptr;   // the sliced work, one at a time

void CALLBACK WorkFiber(void* data) {
    auto* slices = static_cast<Slices*>(data);
    try {
        (*slices->work)();
    } catch (...) {
        slices->error = std::current_exception();
    }
    slices->done = true;
    SwitchToFiber(g_loopFiber);  // a fiber must never return
}

// Runs the next slice; only from a loop, never from inside a slice (a
// message box the work shows runs its loop within the slice).
void RunSlice(Slices& slices) {
    if (slices.inSlice || slices.done) return;
    slices.inSlice = true;
    SwitchToFiber(slices.fiber);
    slices.inSlice = false;
}

void CALLBACK SliceTimer(HWND, UINT, UINT_PTR, DWORD) {
    if (g_running) RunSlice(*g_running);
}

bool LoopFiber() {
    if (g_loopFiber) return true;
    // Once, for good: the thread stays a fiber. Failing that, work runs in
    // one piece and turns the loop itself (EndSlice).
    g_loopFiber = ConvertThreadToFiber(nullptr);
    return g_loopFiber != nullptr;
}

}  // namespace

void RunSliced(const std::function<void()>& work) {
    if (g_running || !LoopFiber()) {
        work();
        return;
    }
    Slices slices;
    slices.work = &work;
    slices.fiber = CreateFiber(0, &WorkFiber, &slices);
    if (!slices.fiber) {
        work();
        return;
    }
    g_running = &slices;
    const UINT_PTR timer = SetTimer(nullptr, 0, USER_TIMER_MINIMUM, &SliceTimer);
    while (!slices.done) {
        RunSlice(slices);
        // A menu opened here holds this loop until it closes; the timer
        // runs the slices meanwhile. This loop runs them itself: here the
        // work ends, and nothing runs after it before the caller goes on.
        if (!slices.done) Application::Instance().ProcessMessages(timer);
    }
    KillTimer(nullptr, timer);
    g_running = nullptr;
    DeleteFiber(slices.fiber);
    if (slices.error) std::rethrow_exception(slices.error);
}

void EndSlice() {
    if (g_running && g_running->inSlice) {
        SwitchToFiber(g_loopFiber);
    } else {
        Application::Instance().ProcessMessages();
    }
}

bool WorkWaits() { return g_running && !g_running->inSlice; }

}  // namespace tsly::win
