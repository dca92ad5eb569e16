#include "cli_common.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <iostream>
#include <streambuf>
#include <vector>

#include <unistd.h>

#include "number_text.h"
#include "squelch_levels.h"
#include "table_files.h"

namespace zr::cli {

namespace {

bool messagesToStandardError = false;

void NoteShortOrLongFile(const std::string& name, std::size_t bytesRead, std::optional<std::uintmax_t> size) {
    if (bytesRead < kImageSize)
        PrintDiagnostic(name + " holds " + std::to_string(bytesRead) + " bytes; offsets " + std::to_string(bytesRead) +
                        "..255 come from the built-in image");
    else if (size && *size > kImageSize)
        PrintDiagnostic(name + " holds " + std::to_string(*size) + " bytes; those beyond 256 are ignored");
}

void NoteShortOrLongFile(const std::filesystem::path& path, std::size_t bytesRead) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    NoteShortOrLongFile(path.string(), bytesRead, error ? std::nullopt : std::optional(size));
}

// Everything standard input holds; nothing, after "Open Error!" and the system's reason, when it
// cannot be read.
std::optional<std::vector<std::uint8_t>> ReadStandardInput() {
    std::vector<std::uint8_t> data;
    std::array<std::uint8_t, 4096> buffer{};
    for (;;) {
        const ssize_t n = ::read(STDIN_FILENO, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            PrintMessage(OpenErrorMessage());
            PrintDiagnostic(std::string("cannot read standard input: ") + std::strerror(errno));
            return std::nullopt;
        }
        if (n == 0) return data;
        data.insert(data.end(), buffer.begin(), buffer.begin() + n);
    }
}

// Standard output with every write checked: the first failure is kept, and what follows is dropped.
class CheckedOutputBuffer final : public std::streambuf {
public:
    CheckedOutputBuffer() { setp(buffer_.data(), buffer_.data() + buffer_.size()); }
    const std::optional<std::string>& failure() const { return failure_; }

protected:
    int_type overflow(int_type c) override {
        if (!Drain()) return traits_type::eof();
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(c);
            pbump(1);
        }
        return traits_type::not_eof(c);
    }
    int sync() override { return Drain() ? 0 : -1; }

private:
    bool Drain() {
        const char* data = pbase();
        std::size_t size = static_cast<std::size_t>(pptr() - pbase());
        setp(buffer_.data(), buffer_.data() + buffer_.size());
        while (size > 0 && !failure_) {
            const ssize_t n = ::write(STDOUT_FILENO, data, size);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) failure_ = std::strerror(errno);
            if (n <= 0) break;
            data += n;
            size -= static_cast<std::size_t>(n);
        }
        return !failure_;
    }

    std::array<char, 8192> buffer_{};
    std::optional<std::string> failure_;
};

// Lives to the very end of the process, when the streams are flushed for the last time.
CheckedOutputBuffer* checkedOutput = nullptr;

}  // namespace

bool IsStandardOutput(const std::filesystem::path& path) { return path == kStandardStream || path == "/dev/stdout"; }

void PrintMessage(const Message& message) {
    (messagesToStandardError ? std::cerr : std::cout) << message.caption << ": " << message.text << std::endl;
}

void SendMessagesToStandardError() { messagesToStandardError = true; }

void ReserveStandardOutputFor(const std::filesystem::path& output) {
    if (IsStandardOutput(output)) SendMessagesToStandardError();
}

void TakeOverStandardOutput() {
    // A closed pipe is a failed write to report, not a signal that ends the program unannounced.
    std::signal(SIGPIPE, SIG_IGN);
    if (checkedOutput == nullptr) checkedOutput = new CheckedOutputBuffer;
    std::cout.rdbuf(checkedOutput);
}

std::optional<std::string> StandardOutputFailure() {
    std::cout.flush();
    if (checkedOutput != nullptr && checkedOutput->failure()) return checkedOutput->failure();
    return std::nullopt;
}

void PrintDiagnostic(std::string_view text) { std::cerr << "zr250pro-cli: " << text << std::endl; }

std::optional<PagerImage> ReadImageAsStored(const std::filesystem::path& path) {
    PagerImage image = StartupImage();
    if (path == kStandardStream) {
        const auto data = ReadStandardInput();
        if (!data) return std::nullopt;
        NoteShortOrLongFile("standard input", OverlayImageBytes(image, *data), data->size());
        return image;
    }
    const auto count = ReadTableBytes(path, image);
    if (!count) {
        PrintMessage(OpenErrorMessage());
        PrintDiagnostic("cannot read " + path.string());
        return std::nullopt;
    }
    NoteShortOrLongFile(path, *count);
    return image;
}

std::optional<EditorSession> OpenAsWindow(const std::filesystem::path& path) {
    EditorSession session = StartupEditorSession();
    const SquelchLevelTable& levels = session.state.settings.squelchLevels;
    if (path == kStandardStream) {
        const auto data = ReadStandardInput();
        if (!data) return std::nullopt;
        NoteShortOrLongFile("standard input", OpenTableData(*data, session.image, levels), data->size());
    } else {
        const auto result = OpenTableFile(path, session.image, levels);
        if (result.error) {
            PrintMessage(*result.error);
            PrintDiagnostic("cannot read " + path.string());
            return std::nullopt;
        }
        NoteShortOrLongFile(path, result.bytesRead);
    }
    PrintMessages(session.Load());
    return session;
}

void PrintMessages(const EditorAnswer& answer) {
    for (const auto& message : answer.Messages()) PrintMessage(message);
}

bool WriteImageFile(const std::filesystem::path& path, const PagerImage& image) {
    if (IsStandardOutput(path)) {
        std::cout.write(reinterpret_cast<const char*>(image.bytes.data()), kImageSize);
        const auto failure = StandardOutputFailure();
        if (!failure) return true;
        PrintMessage(SaveErrorMessage());
        PrintDiagnostic("cannot write standard output: " + *failure);
        return false;
    }
    if (const auto failure = SaveTableFileAs(path, image)) {
        PrintMessage(failure->message);
        PrintDiagnostic("cannot write " + path.string() + ": " + failure->reason);
        return false;
    }
    return true;
}

std::string JsonString(std::string_view text) {
    std::string json = "\"";
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            json += '\\';
            json += c;
        } else if (c == '\n') {
            json += "\\n";
        } else if (byte < 0x20 || byte >= 0x7F) {
            json += "\\u00" + FormatHex(byte, 2);
        } else {
            json += c;
        }
    }
    return json + "\"";
}

// A number as the window shows it, without the leading zeros JSON does not allow ("067.0" is 67.0).
std::string JsonNumber(const std::string& shown) {
    std::size_t start = 0;
    while (start + 1 < shown.size() && shown[start] == '0' && shown[start + 1] >= '0' && shown[start + 1] <= '9') ++start;
    return shown.substr(start);
}

std::string JsonValue(const ImageField& field, const FieldValue& value) {
    const auto* text = std::get_if<std::string>(&value);
    switch (TypeOfField(field)) {
        case FieldType::Number:
            if (text) return JsonNumber(*text);
            break;
        case FieldType::Text:
            if (std::holds_alternative<std::monostate>(value)) return "\"\"";
            break;
        case FieldType::Switch: break;
    }
    if (text) return JsonString(*text);
    return FieldValueText(value);
}

}  // namespace zr::cli
