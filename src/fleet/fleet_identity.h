// A fleet read back: which unit of a roster each pager is, the units no pager turned out to be,
// and the roster that programs fresh pagers with the images a fleet holds.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "editor_load.h"
#include "fleet_check.h"
#include "image_fields.h"
#include "pager_image.h"

namespace zr {

// The image exactly as a Write sends it: prepared and sealed.
PagerImage ImageAsSent(PagerImage image);

// Equal but for offsets 1 and 2, which every pager fills with its own firmware version.
bool SameAsSent(const PagerImage& sent, const PagerImage& pager);

// A field in which the pager differs from its unit, named and shown as `show` shows it.
struct FieldMismatch {
    std::string key;
    std::string planned;
    std::string pager;
};

enum class PagerMatch { AsPlanned, Differs, NotInRoster };

struct PagerIdentity {
    PagerMatch match = PagerMatch::NotInRoster;
    std::size_t unit = 0;  // the unit (AsPlanned) or the nearest one (Differs)
    std::vector<FieldMismatch> fields;
};

// The units of a roster as their pagers should hold them, each sealed once.
class FleetMatcher {
public:
    explicit FleetMatcher(const std::vector<UnitImage>& units);

    // Which unit the pager's memory is: the unit whose sent image it equals; else the nearest one
    // (fewest differing fields) among the units whose own values (the roster cells that vary from
    // unit to unit) it mostly holds; else none.
    PagerIdentity Identify(const PagerImage& pager) const;

private:
    bool HoldsMostOwnValues(std::size_t unit, const PagerImage& shown) const;

    std::vector<PagerImage> sent_;
    std::vector<PagerImage> shown_;  // as the window shows the sent image
    std::vector<const ImageField*> ownFields_;  // the fields that set the units apart
};

// "call1.tone2: planned 600.9, pager 569.1; ..."
std::string MismatchText(const std::vector<FieldMismatch>& fields);

// A name for a file in `directory` that no file has yet: STEM.EXT, else STEM-2.EXT, STEM-3.EXT...
std::filesystem::path UnusedFilePath(const std::filesystem::path& directory, const std::string& stem,
                                     const std::string& extension);
// STEM.tbl, else STEM-2.tbl, STEM-3.tbl...
std::filesystem::path UnusedTablePath(const std::filesystem::path& directory, const std::string& stem);
// pager-001, pager-002, ...
std::string NumberedPagerName(std::size_t number);

// A pager read, under the name its file and roster row take.
struct KeptPager {
    std::string name;
    PagerImage image;
};

// A roster of the pagers read: one row per pager; a column for every field the window edits whose
// value differs from the base's in any pager, or for every such field without a base (the image
// the window starts with, as `default` writes it, is then the base). A cell holds the pager's value
// where it differs from the base's and is empty where the base holds it already.
struct RosterOfFleet {
    std::string csv;
    // Pagers whose row, written over the base, would not give back their image, with why.
    std::vector<std::string> problems;
};
RosterOfFleet MakeRosterOfFleet(const std::vector<KeptPager>& pagers, const std::optional<EditorSession>& base);

}  // namespace zr
