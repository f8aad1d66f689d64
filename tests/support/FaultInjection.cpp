// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "writers/FaultInjection.h"

#include <atomic>
#include <csignal>
#include <cstdlib>

namespace FaultInjection {
namespace {

long Limit(const char* name) {
    const char* text = std::getenv(name);
    if (text == nullptr)
        return 0;
    const long value = std::strtol(text, nullptr, 10);
    return value > 0 ? value : 0;
}

void Count(std::atomic<long>& counter, long limit) {
    if (limit > 0 && ++counter == limit)
        std::raise(SIGKILL);
}

std::atomic<long> rows{0};
std::atomic<long> records{0};

}  // namespace

bool RecordStopArmed() {
    static const bool armed = Limit("NIVRA_DATA_DIE_AFTER_RECORDS") > 0;
    return armed;
}

void RowWritten() {
    static const long limit = Limit("NIVRA_DATA_DIE_AFTER_ROWS");
    Count(rows, limit);
}

void RecordWritten() {
    static const long limit = Limit("NIVRA_DATA_DIE_AFTER_RECORDS");
    Count(records, limit);
}

}  // namespace FaultInjection
