// Two jobs at once on two threads, or one after the other when no thread can be started.
#pragma once
#include <exception>
#include <new>
#include <system_error>
#include <thread>

namespace inspect {

// Runs `here` on this thread and `there` on another; the exception of `here` comes first. When
// the system refuses a thread, `there` runs first, on this thread.
template <typename Here, typename There>
void run_both(Here here, There there) {
    std::exception_ptr there_failed;
    auto guarded = [&] {
        try {
            there();
        } catch (...) {
            there_failed = std::current_exception();
        }
    };
    std::thread worker;
    try {
        worker = std::thread(guarded);
    } catch (const std::system_error &) {
        guarded();
    } catch (const std::bad_alloc &) {
        guarded();
    }
    try {
        here();
    } catch (...) {
        if (worker.joinable()) worker.join();
        throw;
    }
    if (worker.joinable()) worker.join();
    if (there_failed) std::rethrow_exception(there_failed);
}

}  // namespace inspect
