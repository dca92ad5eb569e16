#include "numeric_fields.h"

#include "image_offsets.h"

#include <cctype>
#include <cmath>

#include "encodings.h"
#include "field_lists.h"
#include "number_text.h"

namespace zr {

namespace {


bool IsDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

// A whole number that does not fit 64 bits is still a number, only out of every range.
bool IsDigitsOnly(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return false;
    text = text.substr(first, text.find_last_not_of(" \t") - first + 1);
    if (text.front() == '+' || text.front() == '-') text.remove_prefix(1);
    if (text.empty()) return false;
    for (char c : text)
        if (!IsDigit(c)) return false;
    return true;
}

void RefuseOutOfRange(EditorAnswer& answer, const NumericField& field) {
    answer.Refuse(WarningMessage(field.rangeText));
    answer.Focus(std::string(field.control));
}

EditorAnswer WholeNumberExit(PagerImage& image, const NumericField& field, std::string_view text) {
    EditorAnswer answer;
    const auto value = ParseInteger(text);
    if (!value && !IsDigitsOnly(text)) {
        answer.Refuse(NotAWholeNumberMessage(text));
        answer.Focus(std::string(field.control));
        return answer;
    }
    if (field.checkedHighest > 0 && (!value || *value > field.checkedHighest)) {
        answer.Refuse(WarningMessage(field.checkedRangeText));
        answer.Focus(std::string(field.control));
        return answer;
    }
    if (!value || *value < field.lowest || *value > field.highest) {
        RefuseOutOfRange(answer, field);
        return answer;
    }
    if (field.encoding == NumericEncoding::Word) {
        SetWord16(image, field.offset, static_cast<std::uint16_t>(*value));
    } else {
        image[field.offset] = static_cast<std::uint8_t>(*value);
    }
    answer.MarkStored();
    return answer;
}

EditorAnswer LevelExit(PagerImage& image, const NumericField& field, std::string_view text) {
    EditorAnswer answer;
    const auto volts = ParseDecimal(text);
    if (!volts) {
        answer.Refuse(NotANumberMessage(text));
        answer.Focus(std::string(field.control));
        return answer;
    }
    if (*volts < field.lowest || *volts > field.highest) {
        RefuseOutOfRange(answer, field);
        return answer;
    }
    // The byte is that of the text shown, so the field and the image agree on the entry.
    const std::string shown = FormatFixed(*volts + 0.0, 2, 1);
    answer.Text(std::string(field.control), shown);
    image[field.offset] = VoltsToLevelByte(*ParseDecimal(shown));
    answer.MarkStored();
    return answer;
}

// A whole number of seconds passes, and so does an entry that rounds to one decimal as the
// half-second above its whole seconds does (3.5, and 3.46 typed with two decimals).
bool OnHalfSecondStep(double entry) {
    const float value = static_cast<float>(entry);
    const double whole = std::trunc(entry);
    if (whole >= value) return true;
    return std::nearbyint(static_cast<double>(value) / 0.1) == std::nearbyint((whole + 0.5) / 0.1);
}

EditorAnswer HalfSecondsExit(PagerImage& image, const NumericField& field, std::string_view text) {
    EditorAnswer answer;
    const auto seconds = ParseDecimal(text);
    if (!seconds) {
        answer.Refuse(NotANumberMessage(text));
        answer.Focus(std::string(field.control));
        return answer;
    }
    if (*seconds < field.lowest || *seconds > field.highest) {
        RefuseOutOfRange(answer, field);
        return answer;
    }
    if (!OnHalfSecondStep(*seconds)) {
        answer.Refuse(WarningMessage(kHalfSecondStepText));
        answer.Text(std::string(field.control), HalfSecondsText(image[field.offset]));
        return answer;
    }
    // What is stored is what is shown, so 3.46 is kept as the 3.5 s the field then reads.
    const std::string shown = FormatFixed(static_cast<float>(*seconds) + 0.0, 1, 1);
    answer.Text(std::string(field.control), shown);
    image[field.offset] = static_cast<std::uint8_t>(std::lround(*ParseDecimal(shown) * 2));
    answer.MarkStored();
    return answer;
}

bool DecimalKeyPasses(std::string_view text, char key, std::size_t decimals) {
    const auto point = text.find('.');
    if (point == std::string_view::npos) {
        if (key == '.') return !text.empty();
        return IsDigit(key) || key == kBackspaceKey;
    }
    if (key == kBackspaceKey) return true;
    return IsDigit(key) && text.size() - point - 1 < decimals;
}

}  // namespace

const NumericField* FindNumericField(std::string_view key) {
    for (const auto& field : kNumericFields)
        if (field.key == key) return &field;
    return nullptr;
}

std::string NumericFieldText(const PagerImage& image, const NumericField& field) {
    switch (field.encoding) {
        case NumericEncoding::Byte: return std::to_string(image[field.offset]);
        case NumericEncoding::Word: return std::to_string(GetWord16(image, field.offset));
        case NumericEncoding::Level: return LevelByteToVolts(image[field.offset]);
        case NumericEncoding::HalfSeconds: return HalfSecondsText(image[field.offset]);
    }
    return {};
}

EditorAnswer NumericFieldExit(PagerImage& image, const NumericField& field, std::string_view text) {
    if (text.empty()) {
        EditorAnswer answer;
        answer.Text(std::string(field.control), NumericFieldText(image, field));
        if (field.control == "edtSquelch") answer.Focus("edtNull");
        return answer;
    }
    switch (field.encoding) {
        case NumericEncoding::Byte:
        case NumericEncoding::Word: return WholeNumberExit(image, field, text);
        case NumericEncoding::Level: return LevelExit(image, field, text);
        case NumericEncoding::HalfSeconds: return HalfSecondsExit(image, field, text);
    }
    return {};
}

EditorAnswer DecoderBandwidthClick(PagerImage& image, SettingsEditorState& state, std::size_t item) {
    EditorAnswer answer;
    if (item >= kDecoderBandwidthItems.size()) return answer;
    image[kDecoderBandwidthOffset] = static_cast<std::uint8_t>(item);
    // The item's percentage in tenths; rounding keeps "0.3" x 10 from falling to 2.
    state.spacingTenths = static_cast<std::uint8_t>(std::lround(*ParseDecimal(kDecoderBandwidthItems[item]) * 10));
    answer.MarkStored();
    return answer;
}

bool OneDecimalKeyPasses(std::string_view text, char key) { return DecimalKeyPasses(text, key, 1); }

bool TwoDecimalKeyPasses(std::string_view text, char key) { return DecimalKeyPasses(text, key, 2); }

bool IntegerKeyPasses(char key) { return IsDigit(key); }

}  // namespace zr
