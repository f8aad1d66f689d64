#pragma once

#include <string>
#include <string_view>

// A text as the catalogue stores it (names of stars and orbit classes), in UTF-8: the bytes
// themselves when they are valid UTF-8, otherwise read as Windows-1252, the 8-bit character set
// older catalogues were written in (0xB2 is "²", 0xF6 "ö").
std::string CatalogueTextAsUtf8(std::string_view bytes);
