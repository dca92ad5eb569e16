#include "table_files.h"

#include <array>
#include <cstdio>
#include <system_error>

#include "safe_save.h"

namespace zr {

Message OpenErrorMessage() { return WarningMessage("Open Error!"); }
Message SaveErrorMessage() { return WarningMessage("Save Error!"); }
Message DefaultTableQuestion() {
    Message question = WarningMessage(
        "Click OK will save all changes to the default file.\n"
        "This will change all the default values and automatically loaded up by ZR250Pro programming software in the "
        "future.");
    question.buttons = MessageButtons::YesNo;
    return question;
}
Message DefaultTableOpenErrorMessage() { return WarningMessage("Open default.tbl error!"); }
Message ForeignDefaultTableMessage() { return PlainMessage("This default table is not ZR250Pro."); }

std::optional<std::size_t> ReadTableBytes(const std::filesystem::path& path, PagerImage& buffer) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return std::nullopt;
    std::array<std::uint8_t, kImageSize> data{};
    const std::size_t count = std::fread(data.data(), 1, data.size(), file);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) return std::nullopt;
    return OverlayImageBytes(buffer, std::span(data.data(), count));
}

OpenResult OpenTableFile(const std::filesystem::path& path, PagerImage& image, const SquelchLevelTable& levels) {
    PagerImage loaded = image;
    const auto count = ReadTableBytes(path, loaded);
    if (!count) return {OpenErrorMessage(), 0};
    RepairSquelchThresholds(loaded, levels);
    image = loaded;
    return {std::nullopt, *count};
}

std::size_t OpenTableData(std::span<const std::uint8_t> data, PagerImage& image, const SquelchLevelTable& levels) {
    const std::size_t count = OverlayImageBytes(image, data);
    RepairSquelchThresholds(image, levels);
    return count;
}

bool SaveNeedsDefaultTableQuestion(std::string_view saveTarget) { return saveTarget == kDefaultTableName; }

namespace {

std::optional<SaveFailure> SaveImage(const std::filesystem::path& path, const PagerImage& image, files::Backup backup) {
    if (auto reason = files::SaveFileSafely(path, image.bytes, backup)) return SaveFailure{SaveErrorMessage(), *reason};
    return std::nullopt;
}

}  // namespace

std::optional<SaveFailure> SaveTableFile(const std::filesystem::path& path, const PagerImage& image) {
    return SaveImage(path, image, files::Backup::KeepOnce);
}

std::optional<SaveFailure> SaveTableFileAs(const std::filesystem::path& path, const PagerImage& image) {
    return SaveImage(path, image, files::Backup::None);
}

std::string SaveAsStatusText(const std::filesystem::path& path, const std::filesystem::path& startDirectory) {
    const auto relative = path.lexically_normal().lexically_relative(startDirectory.lexically_normal());
    const bool belowStart = !relative.empty() && *relative.begin() != "..";
    return "File Name:" + (belowStart ? relative.generic_string() : path.string());
}

std::filesystem::path SaveAsFolder(const std::filesystem::path& saveTarget, const std::filesystem::path& startDirectory) {
    const auto folder = (startDirectory / saveTarget).parent_path();
    std::error_code error;
    return std::filesystem::is_directory(folder, error) ? folder : startDirectory;
}

DefaultTableResult LoadDefaultTable(const std::filesystem::path& startDirectory, PagerImage& image) {
    const auto path = startDirectory / kDefaultTableName;
    std::error_code error;
    if (!std::filesystem::exists(path, error)) return {DefaultTableOutcome::Missing, std::nullopt};
    PagerImage buffer;  // zeroed, so a short file cannot pass the tag test with the old image's tag
    if (!ReadTableBytes(path, buffer)) return {DefaultTableOutcome::Refused, DefaultTableOpenErrorMessage()};
    if (!HasModelTag(buffer)) return {DefaultTableOutcome::Refused, ForeignDefaultTableMessage()};
    image = buffer;
    return {DefaultTableOutcome::Loaded, std::nullopt};
}

}  // namespace zr
