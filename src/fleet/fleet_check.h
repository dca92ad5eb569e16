// Every unit's image built from the base image and the roster, and the fleet's tone plan checked,
// without touching a port. `roster check` prints this; `roster write` and the window's fleet dialog
// refuse to write a fleet whose images cannot be built.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "editor_load.h"
#include "message.h"
#include "pager_image.h"
#include "roster.h"
#include "tone_entry.h"
#include "tone_plan.h"

namespace zr {

// The base table file as the window holds it after File > Open: the file over the start-up image,
// then the same load as the window's, with the messages that load showed.
struct OpenedBase {
    EditorSession session;
    EditorAnswer load;
};

// The base opened; the message Open shows when it cannot be read.
std::variant<OpenedBase, Message> OpenBaseTable(const std::filesystem::path& path);

// One cell the unit's field refused: the window's messages, or the complaint about a value the
// field cannot take at all (no such item, not true/false). The value and the complaint are kept as
// every report shows them, their control bytes escaped.
struct CellRefusal {
    std::string key;
    std::string value;
    std::size_t line = 0;
    std::size_t column = 0;
    std::vector<Message> messages;
    std::string complaint;
};

struct UnitImage {
    std::string name;
    std::size_t line = 0;
    PagerImage image;
    // The tone spacing threshold in force after the unit's cells (a decoder_bandwidth cell narrows it).
    std::uint8_t spacingTenths = 15;
    std::vector<CellRefusal> refusals;
};

// Each unit's cells applied in column order to the base image, as `set` applies its edits; a
// refused cell leaves the image as the field left it and the next cells still apply, so every
// refusal of the roster is found in one pass.
UnitImage BuildUnitImage(const EditorSession& base, const Roster& roster, const RosterUnit& unit, ToneEntryMode mode);
std::vector<UnitImage> BuildUnitImages(const EditorSession& base, const Roster& roster, ToneEntryMode mode);

struct CheckedFleet {
    EditorAnswer baseLoad;  // the load of the base, whose messages Open showed
    std::vector<UnitImage> units;
    std::vector<PlanProblem> problems;

    bool HasRefusedCells() const;
    // Every unit's image is as the roster says, and the tone plan is clean or accepted as it is.
    bool ReadyToWrite(bool acceptTonePlan) const { return !HasRefusedCells() && (acceptTonePlan || problems.empty()); }
};

// The roster read (it is read first), the base opened, every unit built and the tone plan checked.
// A roster that is no clean table gives where it goes wrong; a base that cannot be read, Open's
// message.
std::variant<CheckedFleet, TableError, Message> CheckFleet(const std::filesystem::path& base,
                                                          const std::filesystem::path& roster, ToneEntryMode mode);

// The tones of a unit's call as the roster dialog shows them: "349.0/600.9", or "off".
std::string CallTonesText(const PagerImage& image, unsigned call);
std::string GroupToneText(const PagerImage& image, unsigned group);

}  // namespace zr
