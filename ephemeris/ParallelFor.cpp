// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ephemeris/ParallelFor.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

void ParallelFor(std::size_t count, unsigned threads,
                 const std::function<void(std::size_t)>& body) {
    std::atomic<std::size_t> next{0};
    std::atomic<bool> failed{false};
    std::exception_ptr failure;
    std::mutex lock;
    auto work = [&] {
        for (std::size_t i = next++; i < count && !failed; i = next++) {
            try {
                body(i);
            } catch (...) {
                std::lock_guard<std::mutex> guard(lock);
                if (!failure)
                    failure = std::current_exception();
                failed = true;
            }
        }
    };
    const std::size_t helpers = std::min<std::size_t>(std::max(threads, 1u), count) - (count > 0);
    std::vector<std::thread> workers;
    try {
        for (std::size_t t = 0; t < helpers; ++t)
            workers.emplace_back(work);
    } catch (const std::system_error&) {
        // No more threads to be had: the ones running share the work.
    }
    work();
    for (std::thread& worker : workers)
        worker.join();
    if (failure)
        std::rethrow_exception(failure);
}

unsigned ThreadsFor(int requested) {
    if (requested > 0)
        return static_cast<unsigned>(requested);
    return std::max(1u, std::thread::hardware_concurrency());
}
