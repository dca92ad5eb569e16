#include "image_fields.h"

#include <array>

#include "encodings.h"
#include "field_lists.h"
#include "image_offsets.h"
#include "number_text.h"

namespace zr {

namespace {

void AddCallFields(std::vector<ImageField>& fields) {
    for (std::size_t n = 1; n <= 4; ++n) {
        const std::string call = "call" + std::to_string(n) + ".";
        const std::size_t step = 4 * (n - 1);
        const std::size_t alert = kCallAlertOffset + 2 * (n - 1);
        fields.push_back({call + "on", kCallEnablesOffset, 1, FieldEncoding::Bit, static_cast<unsigned>(n - 1)});
        fields.push_back({call + "tone1", 192 + step, 2, FieldEncoding::Tone});
        fields.push_back({call + "tone2", 194 + step, 2, FieldEncoding::Tone});
        fields.push_back({call + "tone1_code", 16 + step, 2, FieldEncoding::Hex});
        fields.push_back({call + "tone2_code", 18 + step, 2, FieldEncoding::Hex});
        fields.push_back({call + "priority", alert, 1, FieldEncoding::Bit, 7});
        fields.push_back({call + "alert_type", alert, 1, FieldEncoding::AlertType});
        fields.push_back({call + "alert_time", alert + 1, 1, FieldEncoding::HalfSeconds});
    }
    for (std::size_t g = 1; g <= 2; ++g) {
        const std::string group = "group" + std::to_string(g) + ".";
        const std::size_t alert = kGroupAlertOffset + 2 * (g - 1);
        fields.push_back({group + "on", kGroupEnablesOffset, 1, FieldEncoding::Bit, static_cast<unsigned>(g - 1)});
        fields.push_back({group + "tone", 224 + 2 * (g - 1), 2, FieldEncoding::Tone});
        fields.push_back({group + "tone_code", 87 + 2 * (g - 1), 2, FieldEncoding::Hex});
        fields.push_back({group + "priority", alert, 1, FieldEncoding::Bit, 7});
        fields.push_back({group + "alert_type", alert, 1, FieldEncoding::AlertType});
        fields.push_back({group + "alert_time", alert + 1, 1, FieldEncoding::HalfSeconds});
    }
}

std::vector<ImageField> BuildFieldTable() {
    using E = FieldEncoding;
    std::vector<ImageField> fields = {
        {"frequency", kFirstDigitOffset, 7, E::FrequencyDigits},
        {"band", kFirstDigitOffset, 1, E::Band},
        {"spacing", kSpacingCodeOffset, 1, E::SpacingItem},
        {"spacing_code", kSpacingCodeOffset, 1, E::Integer},
        {"pllr", kPllrOffset, 4, E::Hex},
        {"plln", kPllnOffset, 4, E::Hex},
        {"firmware", 1, 2, E::Firmware},
        {"tag", kTagOffset, kTagSize, E::Tag},
        {"checksum", kChecksumOffset, 2, E::Hex},
        {"checksum_ok", 0, 0, E::ChecksumOk},
    };
    AddCallFields(fields);
    const std::vector<ImageField> settings = {
        {"decoder_bandwidth", kDecoderBandwidthOffset, 1, E::ListIndex, 0, FieldList::DecoderBandwidth},
        {"battery_save", 58, 1, E::Integer},
        {"ad_delay", 59, 1, E::Integer},
        {"tone1_limit", 50, 2, E::Integer},
        {"tone1_duration", 52, 2, E::Integer},
        {"tone2_limit", 54, 2, E::Integer},
        {"tone2_duration", 56, 2, E::Integer},
        {"group_call_duration", 73, 2, E::Integer},
        {"rf_delay", 75, 1, E::Integer},
        {"noise_limit", 77, 1, E::Integer},
        {"gap_max", 78, 1, E::Integer},
        {"carrier_off_delay", 83, 1, E::Integer},
        {"nrssi", 64, 1, E::Volts},
        {"speaker_off", kSpeakerOffOffset, 1, E::Volts},
        {"speaker_on", kSpeakerOnOffset, 1, E::Volts},
        {"reset_delay", 68, 1, E::HalfSeconds},
        {"auto_monitor", 65, 1, E::HalfSeconds},
        {"audio_lock", 66, 1, E::HalfSeconds},
        {"decoder_reset", 80, 1, E::HalfSeconds},
        {"standby_delay", 82, 1, E::HalfSeconds},
        {"save_voice", kOptionsOffset, 1, E::Bit, 0},
        {"audio_lock_on", kOptionsOffset, 1, E::Bit, 2},
        {"fix_alert", kOptionsOffset, 1, E::Bit, 3},
        {"disable_power_off", kOptionsOffset, 1, E::Bit, 4},
        {"disable_vibration", kOptionsOffset, 1, E::Bit, 5},
        {"power_save_disable", kOptionsOffset, 1, E::Bit, 6},
        {"privacy", kOptionsOffset, 1, E::Bit, 7},
        {"full_time_auto_monitor", kOptions2Offset, 1, E::Bit, 2},
        {"priority_max_volume", kOptions2Offset, 1, E::Bit, 3},
        {"squelch_record", kOptions2Offset, 1, E::Bit, 5},
        {"narrowband", kNarrowbandOffset, 1, E::NonZero},
        {"push_to_listen", kOptionsOffset, 1, E::PushToListen},
        {"reset_control", kResetControlOffset, 1, E::ResetControl},
        {"reminder", kReminderOffset, 1, E::Reminder},
        {"record_sections", kRecordSectionsOffset, 1, E::ListIndex, 0, FieldList::RecordSections},
        {"low_battery_reminder", kLowBatteryReminderOffset, 1, E::ListCode, 0, FieldList::LowBatteryReminder},
        {"low_battery", kLowBatteryOffset, 1, E::ListCode, 0, FieldList::LowBattery},
        {"squelch_level", kSpeakerOffOffset, 1, E::SquelchLevel},
    };
    fields.insert(fields.end(), settings.begin(), settings.end());
    return fields;
}

FieldValue Text(std::optional<std::string_view> text) {
    if (!text) return std::monostate{};
    return std::string(*text);
}

FieldValue DecodeListIndex(FieldList list, std::size_t index) {
    switch (list) {
        case FieldList::DecoderBandwidth: return Text(ItemAt(kDecoderBandwidthItems, index));
        case FieldList::RecordSections: return Text(ItemAt(kRecordSectionItems, index));
        default: return std::monostate{};
    }
}

FieldValue DecodeListCode(FieldList list, std::uint8_t code) {
    switch (list) {
        case FieldList::LowBatteryReminder: {
            const auto index = IndexOfCode(kLowBatteryReminderCodes, code);
            return index ? Text(kLowBatteryReminderItems[*index]) : FieldValue{};
        }
        case FieldList::LowBattery: {
            const auto index = IndexOfCode(kLowBatteryCodes, code);
            return index ? Text(kLowBatteryItems[*index]) : FieldValue{};
        }
        default: return std::monostate{};
    }
}

FieldValue DecodeSpacing(const PagerImage& image) {
    const std::uint8_t code = image[10];
    if (image[3] == 1) {
        if (code >= kFirstAutoSpacingCode && code < kFirstAutoSpacingCode + kAutoStepList.size())
            return Text(kVhfSpacingItems[2]);
        return code < 2 ? Text(kVhfSpacingItems[code]) : FieldValue{};
    }
    return Text(ItemAt(kUhfSpacingItems, code));
}

FieldValue DecodeFrequency(const PagerImage& image) {
    std::int64_t value = 0;
    for (std::size_t offset = 3; offset <= 9; ++offset) value = value * 10 + image[offset];
    return value;
}

std::string EscapedTag(std::string_view tag) {
    std::string text;
    for (char c : tag) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F && c != '\\') {
            text += c;
        } else {
            text += "\\x" + FormatHex(byte, 2);
        }
    }
    return text;
}

FieldValue DecodeFirmware(const PagerImage& image) { return FirmwareVersionText(image[kFirmwareMajorOffset], image[kFirmwareMinorOffset]); }

std::int64_t IntegerAt(const PagerImage& image, const ImageField& field) {
    return field.width == 2 ? GetWord16(image, field.offset) : image[field.offset];
}

}  // namespace

const std::vector<ImageField>& ImageFields() {
    static const std::vector<ImageField> fields = BuildFieldTable();
    return fields;
}

FieldValue DecodeField(const PagerImage& image, const ImageField& field) {
    using E = FieldEncoding;
    switch (field.encoding) {
        case E::FrequencyDigits: return DecodeFrequency(image);
        case E::Band: return Text(kBandItems[image[3] == 1 ? 0 : 1]);
        case E::SpacingItem: return DecodeSpacing(image);
        case E::Integer: return IntegerAt(image, field);
        case E::Hex: {
            std::uint32_t value = 0;
            for (std::size_t i = 0; i < field.width; ++i) value = value << 8 | image[field.offset + i];
            return FormatHex(value, static_cast<int>(2 * field.width));
        }
        case E::Tone: return ToneText(GetWord16(image, field.offset));
        case E::Volts: return LevelByteToVolts(image[field.offset]);
        case E::HalfSeconds: return HalfSecondsText(image[field.offset]);
        case E::Bit: return GetImageBits(image, field.offset, field.shift, 1) == 1;
        case E::NonZero: return image[field.offset] != 0;
        case E::AlertType: return Text(ItemAt(kAlertTypeItems, image[field.offset] & 0x7F));
        case E::ListIndex: return DecodeListIndex(field.list, image[field.offset]);
        case E::ListCode: return DecodeListCode(field.list, image[field.offset]);
        case E::Reminder: return Text(kReminderItems[ReminderItemForByte(image[field.offset])]);
        case E::ResetControl: {
            const auto item = SelectResetControlItem(image[field.offset]);
            return item ? Text(kResetControlNames[*item]) : FieldValue{};
        }
        case E::PushToListen: {
            if (GetImageBits(image, 69, 1, 1) == 0) return Text(kPushToListenItems[0]);
            return Text(kPushToListenItems[GetImageBits(image, 81, 4, 1) == 1 ? 2 : 1]);
        }
        case E::Firmware: return DecodeFirmware(image);
        case E::Tag: return EscapedTag(TagText(image));
        case E::ChecksumOk: return HasValidChecksum(image);
        case E::SquelchLevel: {
            const auto level = FindSquelchLevel(kBuiltInSquelchLevels, image[field.offset]);
            return level ? Text(kSquelchLevelItems[*level]) : FieldValue{};
        }
    }
    return std::monostate{};
}

FieldType TypeOfField(const ImageField& field) {
    using E = FieldEncoding;
    switch (field.encoding) {
        case E::FrequencyDigits:
        case E::Integer:
        case E::Tone:
        case E::Volts:
        case E::HalfSeconds:
        case E::Firmware: return FieldType::Number;
        case E::Bit:
        case E::NonZero:
        case E::ChecksumOk: return FieldType::Switch;
        default: return FieldType::Text;
    }
}

const ImageField* FindImageField(std::string_view key) {
    for (const auto& field : ImageFields())
        if (field.key == key) return &field;
    return nullptr;
}

std::string FieldValueText(const FieldValue& value) {
    if (std::holds_alternative<std::monostate>(value)) return "null";
    if (const auto* flag = std::get_if<bool>(&value)) return *flag ? "true" : "false";
    if (const auto* number = std::get_if<std::int64_t>(&value)) return std::to_string(*number);
    return std::get<std::string>(value);
}

ImageDifferences CompareImages(const PagerImage& first, const PagerImage& second) {
    ImageDifferences differences;
    std::array<bool, kImageSize> explained{};
    for (const auto& field : ImageFields()) {
        auto a = DecodeField(first, field);
        auto b = DecodeField(second, field);
        if (a == b) continue;
        for (std::size_t i = 0; i < field.width; ++i) explained[field.offset + i] = true;
        differences.fields.push_back({field.key, std::move(a), std::move(b)});
    }
    for (std::size_t offset = 0; offset < kImageSize; ++offset) {
        if (first[offset] != second[offset] && !explained[offset])
            differences.bytes.push_back({offset, first[offset], second[offset]});
    }
    return differences;
}

}  // namespace zr
