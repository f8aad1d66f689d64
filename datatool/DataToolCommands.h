#pragma once

// Exit codes of nivra-data (the README lists them).
inline constexpr int kDataToolDone = 0;  // everything asked was done
inline constexpr int kDataToolFailed =
    1;  // failed: no catalogue written, no file written or none marked
inline constexpr int kDataToolUsage = 2;  // a bad command line
inline constexpr int kDataToolPartly =
    3;  // done, but bodies or stars were left out (named on stderr)

// Runs the nivra-data command line (`argv[1]` the subcommand) and returns its exit code.
int RunDataTool(int argc, char* argv[]);
