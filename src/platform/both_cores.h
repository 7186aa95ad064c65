#pragma once

// Splitting a list operation over the machine's two cores.

#include <exception>
#include <optional>
#include <system_error>
#include <thread>

namespace lexanta {

// Lists shorter than this are not split: starting a thread costs more than it saves.
inline constexpr int kRowsWorthASecondCore = 20000;

// Runs part(1) on a second thread while part(0) runs on this one, and returns when both have
// ended; with `split` false both run here, part 0 first. An exception of either part is
// rethrown here once both have ended. The parts must not touch the same data unless they
// only read it.
template <typename Part> void runOnBothCores(bool split, Part&& part) {
    if (!split || std::thread::hardware_concurrency() == 1) {
        part(0);
        part(1);
        return;
    }
    std::exception_ptr failed;
    std::optional<std::thread> started;
    try {
        started.emplace([&] {
            try {
                part(1);
            } catch (...) {
                failed = std::current_exception();
            }
        });
    } catch (const std::system_error&) {
        // No thread to be had (no memory for its stack): both parts run here.
        part(0);
        part(1);
        return;
    }
    std::thread& second = *started;
    try {
        part(0);
    } catch (...) {
        second.join();
        throw;
    }
    second.join();
    if (failed)
        std::rethrow_exception(failed);
}

} // namespace lexanta
