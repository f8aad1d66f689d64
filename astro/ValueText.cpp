// SPDX-FileCopyrightText: 2026 The Nivra developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "astro/ValueText.h"

#include <array>
#include <bit>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <utility>

namespace {

constexpr std::uint64_t PowerOfTen(int exponent) {
    std::uint64_t power = 1;
    for (; exponent > 0; --exponent)
        power *= 10;
    return power;
}

constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

void WriteTwoDigits(char* out, std::uint64_t value) {
    out[0] = kDigitPairs[2 * value];
    out[1] = kDigitPairs[2 * value + 1];
}

// The eight decimal digits of `value` (below 10^8, zeros first) as characters, the first in the
// lowest byte. The digits are split in lanes of one 64-bit number, all at once: two halves in
// lanes of 32 bits, then their hundreds and the rest in four of 16 bits, then their tens and
// units in eight of 8 bits (no lane's product reaches the next lane).
std::uint64_t EightDigits(std::uint64_t value) {
    std::uint64_t lanes = value / 10000 | (value % 10000) << 32;
    const std::uint64_t hundreds = (lanes * 10486 >> 20) & 0x0000007F0000007F;  // lane / 100
    lanes = (lanes - 100 * hundreds) << 16 | hundreds;
    const std::uint64_t tens = (lanes * 103 >> 10) & 0x000F000F000F000F;  // lane / 10
    lanes = (lanes - 10 * tens) << 8 | tens;
    return lanes | 0x3030303030303030;
}

// Writes `value`, below 10^Count, as exactly Count digits (zeros first as needed) at `out`.
template <int Count>
void WriteDigits(char* out, std::uint64_t value) {
    if constexpr (Count > 8) {
        WriteDigits<Count - 8>(out, value / 100000000);
        WriteDigits<8>(out + Count - 8, value % 100000000);
    } else if constexpr (Count == 1) {
        *out = static_cast<char>('0' + value);
    } else if constexpr (Count == 2) {
        WriteTwoDigits(out, value);
    } else if constexpr (Count > 2) {
        const std::uint64_t digits = EightDigits(value);
        char bytes[8];
        for (int i = 0; i < 8; ++i)
            bytes[i] = static_cast<char>(digits >> (8 * i));
        std::memcpy(out, bytes + 8 - Count, Count);
    }
}

// Writes `value`, below 10^16, in as few digits as it takes; returns their end.
char* WriteWholeNumber(char* out, std::uint64_t value) {
    if (value < 10) {
        *out = static_cast<char>('0' + value);
        return out + 1;
    }
    if (value < 100) {
        WriteTwoDigits(out, value);
        return out + 2;
    }
    int count = 3;
    while (count < 16 && value >= PowerOfTen(count))
        ++count;
    for (char* at = out + count; at > out; value /= 100) {
        if (at - out == 1) {
            *out = static_cast<char>('0' + value);
            break;
        }
        at -= 2;
        WriteTwoDigits(at, value % 100);
    }
    return out + count;
}

// The text of a finite value below 2^52 in magnitude, `Decimals` from 0 to 15. The value is
// m / 2^s exactly (m below 2^53, s from 1 to 1074); m * 10^Decimals, below 2^103, fits in 128
// bits, and its quotient by 2^s, rounded to the nearest with ties to even, is the exact value in
// units of 10^-Decimals rounded as the formatted printing rounds it. The whole part, below
// 2^52 + 1, and the decimals each fit in 64 bits.
template <int Decimals>
char* WriteSmallFixedText(char* out, bool negative, std::uint64_t mantissa, int shift) {
    constexpr std::uint64_t kScale = PowerOfTen(Decimals);
    const unsigned __int128 product = static_cast<unsigned __int128>(mantissa) * kScale;
    unsigned __int128 scaled = 0;
    // Below 2^103, the product is less than half of 2^s from s = 104 on: it rounds to 0.
    if (shift < 104) {
        // Adding half of 2^s less one carries into the quotient when the remainder is more than
        // half; the quotient's lowest bit added as well carries on an exact half too when the
        // quotient is odd: ties go to the even one.
        const unsigned __int128 half = static_cast<unsigned __int128>(1) << (shift - 1);
        scaled = (product + (half - 1) + ((product >> shift) & 1)) >> shift;
    }
    std::uint64_t whole = 0;
    std::uint64_t decimals = 0;
    if (scaled >> 64 == 0) {
        whole = static_cast<std::uint64_t>(scaled) / kScale;
        decimals = static_cast<std::uint64_t>(scaled) % kScale;
    } else {
        whole = static_cast<std::uint64_t>(scaled / kScale);
        decimals = static_cast<std::uint64_t>(scaled % kScale);
    }
    if (negative)
        *out++ = '-';
    out = WriteWholeNumber(out, whole);
    if constexpr (Decimals > 0) {
        *out++ = '.';
        WriteDigits<Decimals>(out, decimals);
        out += Decimals;
    }
    return out;
}

using SmallFixedWriter = char* (*)(char*, bool, std::uint64_t, int);

template <int... D>
constexpr auto SmallFixedWriters(std::integer_sequence<int, D...>) {
    return std::array<SmallFixedWriter, sizeof...(D)>{&WriteSmallFixedText<D>...};
}

}  // namespace

char* WriteFixedText(char* out, double value, int decimals) {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    const int biasedExponent = static_cast<int>(bits >> 52 & 0x7FF);
    // Finite values below 2^52 (every value a star's row holds but the rarest) are written here;
    // larger ones, infinities and NaN by the standard library.
    if (biasedExponent < 1075 && decimals >= 0 && decimals <= 15) {
        static constexpr auto kWriters = SmallFixedWriters(std::make_integer_sequence<int, 16>());
        const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
        const bool normal = biasedExponent != 0;
        return kWriters[static_cast<std::size_t>(decimals)](
            out, (bits >> 63) != 0, normal ? fraction | std::uint64_t{1} << 52 : fraction,
            normal ? 1075 - biasedExponent : 1074);
    }
    return std::to_chars(out, out + kLongestFixedText, value, std::chars_format::fixed, decimals)
        .ptr;
}

std::string FixedText(double value, int decimals) {
    char text[kLongestFixedText];
    return std::string(text, WriteFixedText(text, value, decimals));
}

std::string BoundedFixedText(double value, int decimals, std::size_t maxLength) {
    std::string text = FixedText(value, decimals);
    if (text.size() <= maxLength) {
        return text;
    }
    char scientific[64];
    const int length = std::snprintf(scientific, sizeof scientific, "%.*e", decimals, value);
    return std::string(scientific, static_cast<std::size_t>(length));
}
