#include "astro/ValueText.h"

#include <charconv>
#include <cstdio>

char* WriteFixedText(char* out, double value, int decimals) {
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
