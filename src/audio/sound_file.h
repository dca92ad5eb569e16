// Test pages as sound files, through libsndfile: written as 16-bit mono WAV (FLAC when the name ends
// in .flac), read back in whatever format and rate libsndfile knows, one channel decoded.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "page_decoder.h"

namespace zr {

// Saves the samples with a save's safety; the reason when it failed, the file then untouched.
std::optional<std::string> WriteSoundFile(const std::filesystem::path& path, std::span<const float> samples,
                                          unsigned rate);

struct DecodedRecording {
    unsigned rate = 0;
    unsigned channels = 0;
    double seconds = 0;
    std::vector<HeardPage> pages;
};

// Decodes the first channel of the recording block by block; `onPage` (when given) hears each page
// as soon as it is found. The reason when the file cannot be read as sound.
std::variant<DecodedRecording, std::string> DecodeSoundFile(const std::filesystem::path& path,
                                                            const std::function<void(const HeardPage&)>& onPage = {});

}  // namespace zr
