#include "fleet_identity.h"

#include <algorithm>
#include <map>
#include <system_error>

#include "image_fields.h"
#include "image_offsets.h"
#include "keyed_edits.h"
#include "roster.h"
#include "squelch_levels.h"

namespace zr {

namespace {

// Fields a pager never holds as planned (its firmware) or that follow from the others (the
// checksum): naming them adds nothing to the fields that differ.
bool IsOwnField(const ImageField& field) {
    return field.key != "firmware" && field.key != "checksum" && field.key != "checksum_ok";
}

// A field whose value follows from another field, which is the one to name when both differ.
const std::map<std::string, std::string>& FollowingFields() {
    static const std::map<std::string, std::string> following = [] {
        std::map<std::string, std::string> map{{"band", "frequency"},        {"pllr", "frequency"},
                                                {"plln", "frequency"},        {"spacing_code", "spacing"},
                                                {"squelch_level", "speaker_off"}};
        for (const auto& field : ImageFields())
            if (field.key.ends_with("_code") && FindImageField(field.key.substr(0, field.key.size() - 5)))
                map.emplace(field.key, field.key.substr(0, field.key.size() - 5));
        return map;
    }();
    return following;
}

// The image as the window shows it once loaded, as `show` shows a file.
PagerImage AsShown(const PagerImage& image) {
    EditorSession session = StartupEditorSession();
    session.image = image;
    session.Load();
    return session.image;
}

std::string ShownValue(const PagerImage& shown, const ImageField& field) {
    return FieldValueText(DecodeField(shown, field));
}

// Every own field in which the two images differ, a following field left out when the field it
// follows from differs too.
std::vector<FieldMismatch> DifferingFields(const PagerImage& planned, const PagerImage& pager) {
    std::vector<FieldMismatch> fields;
    for (const auto& field : ImageFields()) {
        if (!IsOwnField(field)) continue;
        const std::string want = ShownValue(planned, field), have = ShownValue(pager, field);
        if (want != have) fields.push_back({field.key, want, have});
    }
    const auto differs = [&fields](const std::string& key) {
        return std::any_of(fields.begin(), fields.end(), [&key](const FieldMismatch& f) { return f.key == key; });
    };
    std::vector<FieldMismatch> named;
    for (const auto& field : fields) {
        const auto source = FollowingFields().find(field.key);
        if (source == FollowingFields().end() || !differs(source->second)) named.push_back(field);
    }
    return named;
}

// How the pager differs from its unit: the fields in which the images as the window shows them
// differ; when none does, the fields of the image sent and the pager's memory as they stand (a
// squelch pair the load repairs shows as planned, but is not what the pager holds); else the bytes,
// named as `diff` names them.
std::vector<FieldMismatch> Mismatches(const PagerImage& plannedShown, const PagerImage& pagerShown,
                                      const PagerImage& sent, const PagerImage& held) {
    auto named = DifferingFields(plannedShown, pagerShown);
    if (named.empty()) named = DifferingFields(sent, held);
    if (named.empty())
        for (const auto& byte : CompareImages(sent, held).bytes)
            if (byte.offset != kFirmwareMajorOffset && byte.offset != kFirmwareMinorOffset)
                named.push_back({"offset_" + std::to_string(byte.offset), std::to_string(byte.first),
                                 std::to_string(byte.second)});
    return named;
}

}  // namespace

PagerImage ImageAsSent(PagerImage image) {
    PrepareImageForWrite(image, BuiltInSquelchLevelTable());
    return image;
}

bool SameAsSent(const PagerImage& sent, const PagerImage& pager) {
    for (std::size_t offset = 0; offset < kImageSize; ++offset)
        if (offset != kFirmwareMajorOffset && offset != kFirmwareMinorOffset && sent[offset] != pager[offset])
            return false;
    return true;
}

FleetMatcher::FleetMatcher(const std::vector<UnitImage>& units) {
    for (const auto& unit : units) {
        sent_.push_back(ImageAsSent(unit.image));
        shown_.push_back(AsShown(sent_.back()));
    }
    for (const auto& field : ImageFields()) {
        if (!IsOwnField(field) || FollowingFields().contains(field.key)) continue;
        const auto varies = std::any_of(shown_.begin(), shown_.end(), [&](const PagerImage& shown) {
            return ShownValue(shown, field) != ShownValue(shown_.front(), field);
        });
        if (varies) ownFields_.push_back(&field);
    }
}

bool FleetMatcher::HoldsMostOwnValues(std::size_t unit, const PagerImage& shown) const {
    std::size_t held = 0;
    for (const ImageField* field : ownFields_)
        if (ShownValue(shown_[unit], *field) == ShownValue(shown, *field)) ++held;
    return 2 * held > ownFields_.size() || ownFields_.empty();
}

PagerIdentity FleetMatcher::Identify(const PagerImage& pager) const {
    for (std::size_t unit = 0; unit < sent_.size(); ++unit)
        if (SameAsSent(sent_[unit], pager)) return {PagerMatch::AsPlanned, unit, {}};
    const PagerImage shown = AsShown(pager);
    PagerIdentity nearest;
    for (std::size_t unit = 0; unit < sent_.size(); ++unit) {
        if (!HoldsMostOwnValues(unit, shown)) continue;
        auto fields = Mismatches(shown_[unit], shown, sent_[unit], pager);
        if (nearest.match == PagerMatch::NotInRoster || fields.size() < nearest.fields.size())
            nearest = {PagerMatch::Differs, unit, std::move(fields)};
    }
    return nearest;
}

std::string MismatchText(const std::vector<FieldMismatch>& fields) {
    std::string text;
    for (const auto& field : fields) {
        if (!text.empty()) text += "; ";
        text += field.key + ": planned " + field.planned + ", pager " + field.pager;
    }
    return text;
}

std::filesystem::path UnusedFilePath(const std::filesystem::path& directory, const std::string& stem,
                                     const std::string& extension) {
    std::error_code error;
    for (std::size_t n = 1;; ++n) {
        const auto path = directory / (stem + (n == 1 ? std::string() : "-" + std::to_string(n)) + extension);
        if (!std::filesystem::exists(std::filesystem::symlink_status(path, error))) return path;
    }
}

std::filesystem::path UnusedTablePath(const std::filesystem::path& directory, const std::string& stem) {
    return UnusedFilePath(directory, stem, ".tbl");
}

std::string NumberedPagerName(std::size_t number) {
    std::string digits = std::to_string(number);
    if (digits.size() < 3) digits.insert(0, 3 - digits.size(), '0');
    return "pager-" + digits;
}

RosterOfFleet MakeRosterOfFleet(const std::vector<KeptPager>& pagers, const std::optional<EditorSession>& base) {
    const EditorSession baseSession = base ? *base : StartupEditorSession();
    std::vector<PagerImage> shown;
    for (const auto& pager : pagers) shown.push_back(AsShown(pager.image));
    std::vector<const ImageField*> columns;
    for (const auto& field : ImageFields()) {
        if (!IsEditableKey(field.key)) continue;
        const std::string baseValue = ShownValue(baseSession.image, field);
        const bool differs = std::any_of(shown.begin(), shown.end(), [&](const PagerImage& image) {
            return ShownValue(image, field) != baseValue;
        });
        if (differs || !base) columns.push_back(&field);
    }
    std::vector<std::string> header{std::string(kUnitColumn)};
    for (const ImageField* field : columns) header.push_back(field->key);
    RosterOfFleet result;
    result.csv = CsvLine(header) + "\r\n";
    Roster roster;
    for (std::size_t c = 0; c < columns.size(); ++c) {
        roster.keys.push_back(columns[c]->key);
        roster.keyColumns.push_back(c + 2);
    }
    for (std::size_t p = 0; p < pagers.size(); ++p) {
        RosterUnit unit{pagers[p].name, p + 2, {}};
        // A value the base holds already is left empty: entering it again is no edit the pager saw.
        for (const ImageField* field : columns) {
            const std::string value = ShownValue(shown[p], *field);
            unit.values.push_back(value == ShownValue(baseSession.image, *field) ? std::string() : value);
        }
        std::vector<std::string> row{unit.name};
        row.insert(row.end(), unit.values.begin(), unit.values.end());
        result.csv += CsvLine(row) + "\r\n";
        // The row is proven: written over the base, it must send the very image the pager holds.
        const UnitImage built = BuildUnitImage(baseSession, roster, unit, ToneEntryMode::Standard);
        const PagerImage sent = ImageAsSent(built.image);
        if (!built.refusals.empty())
            result.problems.push_back(unit.name + ": the roster cannot carry its " + built.refusals.front().key + " (" +
                                      built.refusals.front().value + ")");
        else if (!SameAsSent(sent, pagers[p].image)) {
            const auto fields = Mismatches(AsShown(sent), shown[p], sent, pagers[p].image);
            result.problems.push_back(unit.name + ": written over the base, its row would not give back its image" +
                                      (fields.empty() ? std::string() : " (" + MismatchText(fields) + ")"));
        }
    }
    return result;
}

}  // namespace zr
