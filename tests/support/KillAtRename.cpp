// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Loaded with LD_PRELOAD into a program under test, this kills the program with SIGKILL at its
// Nth call of rename(): NIVRA_KILL_AT_RENAME=N kills it just after that rename has replaced the
// file, NIVRA_KILL_BEFORE_RENAME=N just before. A test then sees what a user would find after
// the program was killed (kill -9, the out-of-memory killer) at exactly that moment.
#include <dlfcn.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace {

int Setting(const char* name) {
    const char* text = std::getenv(name);
    return text != nullptr ? std::atoi(text) : 0;
}

}  // namespace

extern "C" int rename(const char* from, const char* to) {
    using Rename = int (*)(const char*, const char*);
    static const Rename real = reinterpret_cast<Rename>(dlsym(RTLD_NEXT, "rename"));
    static std::atomic<int> calls{0};
    const int call = ++calls;
    if (call == Setting("NIVRA_KILL_BEFORE_RENAME"))
        std::raise(SIGKILL);
    const int result = real(from, to);
    if (call == Setting("NIVRA_KILL_AT_RENAME"))
        std::raise(SIGKILL);
    return result;
}
