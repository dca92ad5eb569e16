#include "cli_common.h"

#include <iostream>

#include "number_text.h"
#include "squelch_levels.h"
#include "table_files.h"

namespace zr::cli {

namespace {

void NoteShortOrLongFile(const std::filesystem::path& path, std::size_t bytesRead) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (bytesRead < kImageSize)
        PrintDiagnostic(path.string() + " holds " + std::to_string(bytesRead) + " bytes; offsets " +
                        std::to_string(bytesRead) + "..255 come from the built-in image");
    else if (!error && size > kImageSize)
        PrintDiagnostic(path.string() + " holds " + std::to_string(size) + " bytes; those beyond 256 are ignored");
}

}  // namespace

void PrintMessage(const Message& message) { std::cout << message.caption << ": " << message.text << std::endl; }

void PrintDiagnostic(std::string_view text) { std::cerr << "zr250pro-cli: " << text << std::endl; }

std::optional<PagerImage> ReadImageAsStored(const std::filesystem::path& path) {
    PagerImage image = StartupImage();
    const auto count = ReadTableBytes(path, image);
    if (!count) {
        PrintMessage(OpenErrorMessage());
        PrintDiagnostic("cannot read " + path.string());
        return std::nullopt;
    }
    NoteShortOrLongFile(path, *count);
    return image;
}

std::optional<EditorSession> OpenAsWindow(const std::filesystem::path& path, bool messagesToStderr) {
    EditorSession session = StartupEditorSession();
    const auto result = OpenTableFile(path, session.image, session.state.settings.squelchLevels);
    if (result.error) {
        PrintMessage(*result.error);
        PrintDiagnostic("cannot read " + path.string());
        return std::nullopt;
    }
    NoteShortOrLongFile(path, result.bytesRead);
    PrintMessages(session.Load(), messagesToStderr);
    return session;
}

void PrintMessages(const EditorAnswer& answer, bool toStderr) {
    for (const auto& message : answer.Messages()) {
        if (toStderr) PrintDiagnostic(message.caption + ": " + message.text);
        else PrintMessage(message);
    }
}

bool WriteImageFile(const std::filesystem::path& path, const PagerImage& image) {
    if (const auto error = SaveTableFileAs(path, image)) {
        PrintMessage(*error);
        PrintDiagnostic("cannot write " + path.string());
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

std::string JsonValue(const FieldValue& value) {
    if (const auto* text = std::get_if<std::string>(&value)) return JsonString(*text);
    return FieldValueText(value);
}

}  // namespace zr::cli
