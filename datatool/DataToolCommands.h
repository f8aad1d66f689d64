// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Exit codes of nivra-data (the README lists them).
inline constexpr int kDataToolDone = 0;    // everything asked was done
inline constexpr int kDataToolFailed = 1;  // nothing could be done: an input that cannot be used
                                           // (read, listed, locked), nothing to compute
inline constexpr int kDataToolUsage = 2;   // a bad command line
inline constexpr int kDataToolPartly = 3;  // done, except bodies or stars whose data cannot be
                                           // used or computed (each named on stderr)
inline constexpr int kDataToolNotWritten = 4;  // a file could not be written (each named): what
                                               // was written is complete, the rest is not there

// Runs the nivra-data command line (`argv[1]` the subcommand) and returns its exit code.
int RunDataTool(int argc, char* argv[]);
