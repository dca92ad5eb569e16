#include "temporary_name.h"

#include <charconv>
#include <random>
#include <string_view>

namespace zr::files {

namespace {

constexpr std::string_view kTemporaryPrefix = ".zr250pro-";
constexpr std::string_view kTemporarySuffix = ".tmp";

std::string RandomLetters(std::size_t count) {
    static std::mt19937 generator{std::random_device{}()};
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
    std::string letters;
    for (std::size_t i = 0; i < count; ++i) letters += kLetters[pick(generator)];
    return letters;
}

}  // namespace

std::string TemporaryFileName(unsigned long process) {
    return std::string(kTemporaryPrefix) + std::to_string(process) + "-" + RandomLetters(6) +
           std::string(kTemporarySuffix);
}

std::optional<unsigned long> TemporaryFileProcess(const std::string& fileName) {
    if (!fileName.starts_with(kTemporaryPrefix) || !fileName.ends_with(kTemporarySuffix)) return std::nullopt;
    const char* first = fileName.data() + kTemporaryPrefix.size();
    const char* last = fileName.data() + fileName.size();
    unsigned long process = 0;
    const auto [end, error] = std::from_chars(first, last, process);
    if (error != std::errc{} || end == last || *end != '-' || process == 0) return std::nullopt;
    return process;
}

}  // namespace zr::files
