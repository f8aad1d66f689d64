// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Hooks for tests of what a killed run of nivra-data leaves behind, at moments the test chooses
// rather than by timing. They exist only in the tests' build of the tool, nivra-data-faults
// (compiled with NIVRA_DATA_FAULT_INJECTION, tests/support/FaultInjection.cpp): there
// NIVRA_DATA_DIE_AFTER_ROWS=N in the environment stops the process dead (SIGKILL, as kill -9
// would stop it) just after the Nth catalogue row it writes (a star put into a new catalogue, or
// a star marked as having an ephemeris file), and NIVRA_DATA_DIE_AFTER_RECORDS=N just after the
// Nth ephemeris record it writes into a file. In nivra-data itself they are empty and the
// compiler drops them.
namespace FaultInjection {

#ifdef NIVRA_DATA_FAULT_INJECTION
// Whether records should be written one at a time so that a stop can fall between them.
bool RecordStopArmed();

// Counts rows and records written by this process (from any thread).
void RowWritten();
void RecordWritten();
#else
constexpr bool RecordStopArmed() {
    return false;
}
inline void RowWritten() {}
inline void RecordWritten() {}
#endif

}  // namespace FaultInjection
