#include "number_text.h"

#include <array>
#include <charconv>
#include <cctype>
#include <cmath>

namespace zr {

namespace {

std::string_view TrimBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

}  // namespace

std::string FormatFixed(double value, int decimals, int minWidth) {
    std::array<char, 64> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::fixed, decimals);
    std::string text(buffer.data(), result.ptr);
    if (static_cast<int>(text.size()) < minWidth) {
        const auto digitsAt = (!text.empty() && text[0] == '-') ? 1u : 0u;
        text.insert(digitsAt, static_cast<std::size_t>(minWidth) - text.size(), '0');
    }
    return text;
}

std::string FormatHex(std::uint32_t value, int digits) {
    std::array<char, 16> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, 16);
    std::string text(buffer.data(), result.ptr);
    for (auto& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (static_cast<int>(text.size()) < digits) text.insert(0, static_cast<std::size_t>(digits) - text.size(), '0');
    return text;
}

std::optional<double> ParseDecimal(std::string_view text) {
    text = TrimBlanks(text);
    if (!text.empty() && text[0] == '+') text.remove_prefix(1);
    if (text.empty()) return std::nullopt;
    // from_chars reads no hexadecimal, exponent-free text here so that "1e3" or "inf" are refused.
    bool anyDigit = false;
    for (char c : text) {
        const bool digit = std::isdigit(static_cast<unsigned char>(c)) != 0;
        if (!(digit || c == '.' || c == '-')) return std::nullopt;
        anyDigit = anyDigit || digit;
    }
    if (!anyDigit) return std::nullopt;
    std::string normalised(text);
    // ".5" and "5." are numbers to a technician; from_chars wants a digit before the point.
    const bool negative = normalised[0] == '-';
    if (normalised.size() > (negative ? 1u : 0u) && normalised[negative ? 1 : 0] == '.')
        normalised.insert(negative ? 1 : 0, "0");
    double value = 0;
    const auto result = std::from_chars(normalised.data(), normalised.data() + normalised.size(), value,
                                        std::chars_format::fixed);
    if (result.ec != std::errc() || result.ptr != normalised.data() + normalised.size()) return std::nullopt;
    if (!std::isfinite(value)) return std::nullopt;
    return value;
}

std::optional<std::int64_t> ParseInteger(std::string_view text) {
    text = TrimBlanks(text);
    if (!text.empty() && text[0] == '+') text.remove_prefix(1);
    if (text.empty()) return std::nullopt;
    std::int64_t value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size()) return std::nullopt;
    return value;
}

}  // namespace zr
