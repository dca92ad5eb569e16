// The image's fields described once, as a table: the key a field is known by, where it lies, how it
// is encoded. Showing an image and comparing two images are both driven by this table.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "pager_image.h"

namespace zr {

enum class FieldEncoding {
    FrequencyDigits,  // seven digits, one per byte, in units of 100 Hz
    Band,             // first frequency digit: 1 = 135-174 MHz, else 400-499 MHz
    SpacingItem,      // channel spacing code read against the band
    Integer,          // one byte (width 1) or a big-endian 16-bit word (width 2), in decimal
    Hex,              // big-endian word as upper-case hexadecimal, two digits per byte
    Tone,             // 16-bit word in tenths of a hertz, "%04.1f"
    Volts,            // level byte, two decimals
    HalfSeconds,      // byte holding twice the seconds, one decimal
    Bit,              // one bit of a byte
    NonZero,          // a byte that is a switch when not 0
    AlertType,        // alert byte AND 0x7F as an item "0".."8"
    ListIndex,        // a byte that is the index of a list item
    ListCode,         // a byte that is one of the list's codes
    Reminder,         // reminder interval as the window selects its item
    ResetControl,     // reset control code as its list entry
    PushToListen,     // bit 1 of offset 69 with bit 4 of offset 81
    Firmware,         // version bytes at offsets 1 and 2, "%0.2f"
    Tag,              // model/version tag text
    ChecksumOk,       // whether the stored checksum matches the sum
    SquelchLevel,     // the level whose Speaker OFF value matches
};

enum class FieldList { None, DecoderBandwidth, RecordSections, LowBatteryReminder, LowBattery };

struct ImageField {
    std::string key;
    std::size_t offset = 0;
    std::size_t width = 0;  // bytes the field covers; 0 for a field derived from the whole image
    FieldEncoding encoding = FieldEncoding::Integer;
    unsigned shift = 0;     // bit number for FieldEncoding::Bit
    FieldList list = FieldList::None;
};

// Every field, in the order `show` lists them.
const std::vector<ImageField>& ImageFields();

// A decoded value: null when the bytes select no list item.
using FieldValue = std::variant<std::monostate, bool, std::int64_t, std::string>;

FieldValue DecodeField(const PagerImage& image, const ImageField& field);

// What a field holds, the same whatever the image: a number (some shown as text with fixed
// decimals, "669.9"), a text (an item of a list, a tag, hexadecimal words) or a switch.
enum class FieldType { Number, Text, Switch };
FieldType TypeOfField(const ImageField& field);

// The field known by `key`, or nothing.
const ImageField* FindImageField(std::string_view key);
// The value as text: "null", "true"/"false", the number, or the text itself.
std::string FieldValueText(const FieldValue& value);

struct FieldDifference {
    std::string key;
    FieldValue first;
    FieldValue second;
};
struct ByteDifference {
    std::size_t offset;
    std::uint8_t first;
    std::uint8_t second;
};
struct ImageDifferences {
    std::vector<FieldDifference> fields;
    // Bytes that differ without making any field differ: carried bytes and bits, and values that
    // decode alike (two codes that both select no item).
    std::vector<ByteDifference> bytes;
    bool empty() const { return fields.empty() && bytes.empty(); }
};

ImageDifferences CompareImages(const PagerImage& first, const PagerImage& second);

}  // namespace zr
