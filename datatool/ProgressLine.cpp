// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "datatool/ProgressLine.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace {

constexpr std::chrono::milliseconds kShownEvery{200};

std::string Duration(double seconds) {
    const long whole = static_cast<long>(seconds + 0.5);
    if (whole < 60)
        return std::to_string(whole) + " s";
    if (whole < 3600)
        return std::to_string(whole / 60) + " min " + std::to_string(whole % 60) + " s";
    return std::to_string(whole / 3600) + " h " + std::to_string(whole / 60 % 60) + " min";
}

std::string Amount(std::uint64_t value, ProgressLine::Unit unit) {
    if (unit == ProgressLine::Unit::Stars)
        return std::to_string(value);
    char text[32];
    std::snprintf(text, sizeof text, "%.0f MB", static_cast<double>(value) / 1e6);
    return text;
}

}  // namespace

ProgressLine::ProgressLine(std::FILE* out, std::string what, Unit unit)
    : out_(out), what_(std::move(what)), unit_(unit) {}

ProgressLine::~ProgressLine() {
    Clear();
}

bool ProgressLine::OnTerminal(std::FILE* out) {
    const char* terminal = std::getenv("TERM");
    return ::isatty(::fileno(out)) == 1 && (terminal == nullptr || std::strcmp(terminal, "dumb"));
}

std::string ProgressLine::Text(std::uint64_t done, std::uint64_t total, double seconds) const {
    std::string text = what_ + ": " + Amount(done, unit_);
    if (total > 0)
        text += " of " + Amount(total, unit_);
    if (unit_ == Unit::Stars)
        text += total == 1 ? " star" : " stars";
    if (seconds > 0.5 && done > 0) {
        const double rate = static_cast<double>(done) / seconds;
        text += ", " + Amount(static_cast<std::uint64_t>(rate), unit_) + " per second";
        if (total > done)
            text += ", " + Duration(static_cast<double>(total - done) / rate) + " left";
    }
    return text;
}

void ProgressLine::Update(std::uint64_t done, std::uint64_t total) {
    const auto now = std::chrono::steady_clock::now();
    std::lock_guard<std::mutex> guard(lock_);
    if (now - shown_ < kShownEvery && done < total)
        return;
    shown_ = now;
    const std::string text = Text(done, total, std::chrono::duration<double>(now - started_).count());
    // Rewritten in place; blanks cover the end of a longer line before it.
    const std::size_t width = text.size();
    std::fprintf(out_, "\r%s%*s", text.c_str(),
                 static_cast<int>(width_ > width ? width_ - width : 0), "");
    std::fflush(out_);
    width_ = width;
}

void ProgressLine::Clear() {
    std::lock_guard<std::mutex> guard(lock_);
    if (width_ == 0)
        return;
    std::fprintf(out_, "\r%*s\r", static_cast<int>(width_), "");
    std::fflush(out_);
    width_ = 0;
}
