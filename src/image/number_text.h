// Numbers as the pager's fields show and read them: "." as the decimal point in every locale.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zr {

// printf's "%0W.Df" in the C locale: D decimals, zero-padded on the left to at least W characters.
std::string FormatFixed(double value, int decimals, int minWidth = 0);
// Upper-case hexadecimal, zero-padded to `digits`.
std::string FormatHex(std::uint32_t value, int digits);

// A decimal number such as "669.9", "3", ".5" or "-1"; surrounding blanks are allowed.
// Anything else (empty text, letters, a second point, trailing junk) gives no number.
std::optional<double> ParseDecimal(std::string_view text);
// A whole decimal number, optionally signed; surrounding blanks are allowed.
std::optional<std::int64_t> ParseInteger(std::string_view text);

}  // namespace zr
