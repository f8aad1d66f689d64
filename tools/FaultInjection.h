#pragma once

#include <cstddef>

// Hooks for tests of what a killed run of nivra-data leaves behind, at moments the test chooses
// rather than by timing. With NIVRA_DATA_DIE_AFTER_ROWS=N in the environment the process stops
// dead (SIGKILL, as kill -9 would stop it) just after the Nth catalogue row it writes (a star put
// into a new catalogue, or a star marked as having an ephemeris file); with
// NIVRA_DATA_DIE_AFTER_RECORDS=N just after the Nth ephemeris record it writes into a file.
// Without them nothing happens.
namespace FaultInjection {

// Whether records should be written one at a time so that a stop can fall between them.
bool RecordStopArmed();

// Counts rows and records written by this process (from any thread).
void RowWritten();
void RecordWritten();

}  // namespace FaultInjection
