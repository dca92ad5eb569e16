#include "sound_file.h"

#include <sndfile.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>

#include "safe_save.h"

namespace zr {
namespace {

// libsndfile writes into memory through its virtual input and output, so the bytes reach the disk
// through the one safe save.
struct MemoryFile {
    std::vector<std::uint8_t> bytes;
    sf_count_t at = 0;
};

sf_count_t MemoryLength(void* user) { return static_cast<sf_count_t>(static_cast<MemoryFile*>(user)->bytes.size()); }
sf_count_t MemorySeek(sf_count_t offset, int whence, void* user) {
    auto* file = static_cast<MemoryFile*>(user);
    const sf_count_t base = whence == SEEK_CUR ? file->at : whence == SEEK_END ? MemoryLength(user) : 0;
    file->at = std::max<sf_count_t>(0, base + offset);
    return file->at;
}
sf_count_t MemoryRead(void* out, sf_count_t count, void* user) {
    auto* file = static_cast<MemoryFile*>(user);
    const sf_count_t available = std::max<sf_count_t>(0, MemoryLength(user) - file->at);
    const sf_count_t n = std::min(count, available);
    if (n > 0) std::memcpy(out, file->bytes.data() + file->at, static_cast<std::size_t>(n));
    file->at += n;
    return n;
}
sf_count_t MemoryWrite(const void* in, sf_count_t count, void* user) {
    auto* file = static_cast<MemoryFile*>(user);
    const auto end = static_cast<std::size_t>(file->at + count);
    if (file->bytes.size() < end) file->bytes.resize(end);
    std::memcpy(file->bytes.data() + file->at, in, static_cast<std::size_t>(count));
    file->at += count;
    return count;
}
sf_count_t MemoryTell(void* user) { return static_cast<MemoryFile*>(user)->at; }

bool IsFlacName(const std::filesystem::path& path) {
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(), [](unsigned char c) { return std::tolower(c); });
    return extension == ".flac";
}

struct SoundFileCloser {
    void operator()(SNDFILE* file) const { sf_close(file); }
};
using SoundFile = std::unique_ptr<SNDFILE, SoundFileCloser>;

}  // namespace

std::optional<std::string> WriteSoundFile(const std::filesystem::path& path, std::span<const float> samples,
                                          unsigned rate) {
    MemoryFile memory;
    SF_VIRTUAL_IO io{MemoryLength, MemorySeek, MemoryRead, MemoryWrite, MemoryTell};
    SF_INFO info{};
    info.samplerate = static_cast<int>(rate);
    info.channels = 1;
    info.format = (IsFlacName(path) ? SF_FORMAT_FLAC : SF_FORMAT_WAV) | SF_FORMAT_PCM_16;
    {
        SoundFile file(sf_open_virtual(&io, SFM_WRITE, &info, &memory));
        if (!file) return std::string(sf_strerror(nullptr));
        const auto count = static_cast<sf_count_t>(samples.size());
        if (sf_writef_float(file.get(), samples.data(), count) != count) return std::string(sf_strerror(file.get()));
    }
    return files::SaveFileSafely(path, memory.bytes, files::Backup::None);
}

std::variant<DecodedRecording, std::string> DecodeSoundFile(const std::filesystem::path& path,
                                                            const std::function<void(const HeardPage&)>& onPage) {
    SF_INFO info{};
    SoundFile file(sf_open(path.string().c_str(), SFM_READ, &info));
    if (!file) return std::string(sf_strerror(nullptr));
    if (info.channels < 1 || info.samplerate < 4000 || info.samplerate > 768000)
        return std::string("not a recording this program can decode (rate or channels out of range)");
    DecodedRecording recording;
    recording.rate = static_cast<unsigned>(info.samplerate);
    recording.channels = static_cast<unsigned>(info.channels);
    PageDecoder decoder(recording.rate);
    constexpr sf_count_t kBlockFrames = 16384;
    std::vector<float> interleaved(static_cast<std::size_t>(kBlockFrames) * recording.channels);
    std::vector<float> first(static_cast<std::size_t>(kBlockFrames));
    sf_count_t total = 0;
    auto deliver = [&] {
        for (HeardPage& page : decoder.TakePages()) {
            if (onPage) onPage(page);
            recording.pages.push_back(std::move(page));
        }
    };
    for (;;) {
        const sf_count_t n = sf_readf_float(file.get(), interleaved.data(), kBlockFrames);
        if (n <= 0) break;
        for (sf_count_t i = 0; i < n; ++i) first[static_cast<std::size_t>(i)] = interleaved[static_cast<std::size_t>(i) * recording.channels];
        decoder.Feed(std::span(first.data(), static_cast<std::size_t>(n)));
        total += n;
        deliver();
    }
    if (sf_error(file.get()) != SF_ERR_NO_ERROR) return std::string(sf_strerror(file.get()));
    decoder.Finish();
    deliver();
    recording.seconds = static_cast<double>(total) / recording.rate;
    return recording;
}

}  // namespace zr
