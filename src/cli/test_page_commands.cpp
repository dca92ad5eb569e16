// zr250pro-cli page, roster page and listen: test pages made from a pager's calls, saved or played,
// and recordings decoded into the pages they hold and the units those would alert.
#include <CLI/CLI.hpp>

#include <cstdio>
#include <iostream>
#include <memory>
#include <sstream>

#include "cli_common.h"

#ifdef ZR250PRO_HAVE_AUDIO
#include <algorithm>
#include <filesystem>

#include "fleet_load.h"
#include "page_decoder.h"
#include "page_match.h"
#include "printable_text.h"
#include "sound_file.h"
#include "test_page.h"
#include "tone_entry.h"
#ifdef ZR250PRO_HAVE_PLAYBACK
#include "page_player.h"
#endif
#endif

namespace zr::cli {
namespace {

#ifdef ZR250PRO_HAVE_AUDIO

struct PageOptions {
    std::vector<unsigned> calls;
    std::vector<unsigned> groups;
    PageTiming timing;
    std::string output;
    bool play = false;
    bool force = false;
};

void AddSignalOptions(CLI::App& command, PageOptions& options) {
    command.add_option("--tone1-seconds", options.timing.tone1Seconds, "Length of tone 1 of a call (default 1)");
    command.add_option("--tone2-seconds", options.timing.tone2Seconds, "Length of tone 2 of a call (default 3)");
    command.add_option("--group-seconds", options.timing.groupSeconds, "Length of a group call's tone (default 8)");
    command.add_option("--gap-seconds", options.timing.gapSeconds, "Silence between tone 1 and tone 2 (default 0)");
    command.add_option("--pause-seconds", options.timing.pauseSeconds, "Silence between stacked pages (default 1)");
    command.add_option("--level-dbfs", options.timing.levelDbfs, "Peak level of the tones (default -6)");
    command.add_option("--rate", options.timing.rate, "Samples per second (default 48000)");
    command.add_option("-o,--output", options.output, "Save as 16-bit mono WAV, or FLAC when FILE ends in .flac");
    command.add_flag("--play", options.play, "Play on the default sound output; returns when played");
    command.add_flag("--force", options.force, "Page a call that is switched off all the same");
}

std::string Tenths(std::uint16_t tenths) {
    char text[16];
    std::snprintf(text, sizeof text, "%.1f", tenths / 10.0);
    return text;
}

std::string PageText(const Page& page) {
    return page.name + " (" + Tenths(page.tone1Tenths) + (page.tone2Tenths ? "/" + Tenths(*page.tone2Tenths) : "") + " Hz)";
}

// The pages made, saved and played as asked; the exit status.
int SendPages(const std::vector<Page>& pages, const PageOptions& options) {
    if (const auto complaint = CheckPageTiming(options.timing)) {
        PrintDiagnostic(*complaint);
        return kExitUsage;
    }
    if (options.output.empty() && !options.play) {
        PrintDiagnostic("say where the page goes: -o FILE, --play, or both");
        return kExitUsage;
    }
    for (const Page& page : pages)
        if (!page.switchedOn && !options.force) {
            PrintDiagnostic(PageText(page) + " is switched off, so the pager would not alert; --force pages it all the same");
            return kExitFailure;
        }
    const std::vector<float> samples = MakePageSignal(pages, options.timing);
    if (!options.output.empty()) {
        if (const auto failure = WriteSoundFile(options.output, samples, options.timing.rate)) {
            PrintDiagnostic("cannot save " + options.output + ": " + *failure);
            return kExitFailure;
        }
    }
    if (options.play) {
#ifdef ZR250PRO_HAVE_PLAYBACK
        if (const auto failure = PlayAndWait(samples, options.timing.rate)) {
            PrintDiagnostic("cannot play: " + *failure);
            return kExitFailure;
        }
#else
        PrintDiagnostic("--play is not available in this build (it has no sound output)");
        return kExitFailure;
#endif
    }
    for (const Page& page : pages) std::cout << "paged " << PageText(page) << std::endl;
    return kExitSuccess;
}

std::vector<Page> PagesOfImage(const PagerImage& image, const std::vector<unsigned>& calls, const std::vector<unsigned>& groups) {
    std::vector<Page> pages;
    for (unsigned call : calls) pages.push_back(PageOfCall(image, call));
    for (unsigned group : groups) pages.push_back(PageOfGroupCall(image, group));
    return pages;
}

void AddPageCommand(CLI::App& app, int& status) {
    auto options = std::make_shared<PageOptions>();
    auto file = std::make_shared<std::string>();
    auto* command = app.add_subcommand(
        "page", "Make a test page from a table file's calls: saved as a sound file, played, or both");
    command->add_option("FILE", *file, "Table file whose tones are paged")->required();
    command->add_option("--call", options->calls, "Call 1..4 (repeatable: stacked in order)")->check(CLI::Range(1, 4));
    command->add_option("--group", options->groups, "Group call 1..2 (repeatable, after the calls)")->check(CLI::Range(1, 2));
    AddSignalOptions(*command, *options);
    command->callback([&status, options, file] {
        if (options->calls.empty() && options->groups.empty()) {
            PrintDiagnostic("name the pages: --call N or --group G");
            status = kExitUsage;
            return;
        }
        const auto image = ReadImageAsStored(*file);
        status = image ? SendPages(PagesOfImage(*image, options->calls, options->groups), *options) : kExitFailure;
    });
}

struct RosterPageOptions {
    PageOptions page;
    std::string base, roster;
    std::vector<std::string> units;
    bool userMode = false;
};

int RunRosterPage(const RosterPageOptions& options) {
    const auto loaded = LoadFleet(options.base, options.roster, options.userMode ? ToneEntryMode::User : ToneEntryMode::Standard);
    if (const auto* exit = std::get_if<int>(&loaded)) return *exit;
    const CheckedFleet& fleet = std::get<CheckedFleet>(loaded);
    const std::vector<unsigned> calls = options.page.calls.empty() && options.page.groups.empty() ? std::vector<unsigned>{1}
                                                                                                   : options.page.calls;
    std::vector<Page> pages;
    for (const std::string& name : options.units) {
        const auto unit = std::find_if(fleet.units.begin(), fleet.units.end(), [&](const UnitImage& u) { return u.name == name; });
        if (unit == fleet.units.end()) {
            PrintDiagnostic("no unit " + EscapeControlBytes(name) + " in " + options.roster);
            return kExitUsage;
        }
        for (Page page : PagesOfImage(unit->image, calls, options.page.groups)) {
            page.name = name + " " + page.name;
            pages.push_back(page);
        }
    }
    return SendPages(pages, options.page);
}

void AddRosterPageCommand(CLI::App& app, int& status) {
    auto* roster = app.get_subcommand("roster");
    auto options = std::make_shared<RosterPageOptions>();
    auto* command = roster->add_subcommand("page", "Page units of a fleet by name: their call 1, or the calls named");
    command->add_option("BASE", options->base, "Base table file, taken as Open takes it")->required();
    command->add_option("ROSTER", options->roster, "Roster: CSV with a unit column and set's keys as columns")->required();
    command->add_option("UNIT", options->units, "Units to page, in order")->required();
    command->add_flag("--user-mode", options->userMode, "Take tones in User Mode instead of Standard Mode");
    command->add_option("--call", options->page.calls, "Call 1..4 of each unit (repeatable; default 1)")->check(CLI::Range(1, 4));
    command->add_option("--group", options->page.groups, "Group call 1..2 of each unit (repeatable)")->check(CLI::Range(1, 2));
    AddSignalOptions(*command, options->page);
    command->callback([&status, options] { status = RunRosterPage(*options); });
}

struct ListenOptions {
    std::string recording;
    std::vector<std::string> roster;  // BASE ROSTER
    std::vector<std::string> tables;
    bool userMode = false;
    bool json = false;
};

std::string Fixed(double value, int decimals) {
    std::ostringstream text;
    text.setf(std::ios::fixed);
    text.precision(decimals);
    text << value;
    return text.str();
}

// Lengths to a tenth: the decoder places a tone's ends to about 20 ms.
std::string ToneText(const HeardTone& tone) { return Fixed(tone.hz, 1) + " Hz " + Fixed(tone.seconds, 1) + " s"; }

std::string ToneJson(const HeardTone& tone) {
    return "{\"hz\": " + Fixed(tone.hz, 2) + ", \"start\": " + Fixed(tone.startSeconds, 3) +
           ", \"seconds\": " + Fixed(tone.seconds, 3) + "}";
}

std::string MatchJson(const PageMatch& match) {
    return "{\"unit\": " + JsonString(match.unit) + ", \"call\": " + JsonString(match.call) +
           ", \"offset_percent\": " + Fixed(match.offsetPercent, 3) + ", \"bandwidth_percent\": " +
           Fixed(match.bandwidthPercent, 1) + (match.alerts ? "" : ", \"missed_by_percent\": " + Fixed(match.MissedByPercent(), 3)) + "}";
}

void PrintPageJson(const HeardPage& page, const std::vector<PageMatch>& matches, bool first) {
    std::string alerts, nearly;
    for (const PageMatch& match : matches) {
        std::string& list = match.alerts ? alerts : nearly;
        list += (list.empty() ? "" : ", ") + MatchJson(match);
    }
    std::cout << (first ? "\n    " : ",\n    ") << "{\"start\": " << Fixed(page.tone1.startSeconds, 3) << ", \"kind\": \""
              << (page.IsGroup() ? "group" : "call") << "\", \"tones\": [" << ToneJson(page.tone1)
              << (page.tone2 ? ", " + ToneJson(*page.tone2) : "") << "], \"alerts\": [" << alerts << "], \"nearly\": ["
              << nearly << "]}";
}

void PrintPageText(const HeardPage& page, const std::vector<PageMatch>& matches) {
    std::cout << (page.IsGroup() ? "group call" : "call") << " at " << Fixed(page.tone1.startSeconds, 2) << " s: "
              << ToneText(page.tone1) << (page.tone2 ? ", " + ToneText(*page.tone2) : "") << std::endl;
    for (const PageMatch& match : matches) {
        if (match.alerts)
            std::cout << "  alerts " << match.unit << " (" << match.call << ", " << Fixed(match.offsetPercent, 2)
                      << " % off, bandwidth " << Fixed(match.bandwidthPercent, 1) << " %)" << std::endl;
        else
            std::cout << "  nearly " << match.unit << " (" << match.call << ", " << Fixed(match.offsetPercent, 2)
                      << " % off: " << Fixed(match.MissedByPercent(), 2) << " % outside its bandwidth of "
                      << Fixed(match.bandwidthPercent, 1) << " %)" << std::endl;
    }
}

int RunListen(const ListenOptions& options) {
    std::vector<NamedImage> units;
    if (options.roster.size() == 2) {
        const auto loaded = LoadFleet(options.roster[0], options.roster[1], options.userMode ? ToneEntryMode::User : ToneEntryMode::Standard);
        if (const auto* exit = std::get_if<int>(&loaded)) return *exit;
        for (const UnitImage& unit : std::get<CheckedFleet>(loaded).units) units.push_back({unit.name, unit.image});
    }
    for (const std::string& table : options.tables) {
        const auto image = ReadImageAsStored(table);
        if (!image) return kExitFailure;
        units.push_back({std::filesystem::path(table).stem().string(), *image});
    }
    if (options.json) std::cout << "{\"pages\": [" << std::flush;
    bool first = true;
    const auto decoded = DecodeSoundFile(options.recording, [&](const HeardPage& page) {
        const auto matches = MatchPage(page, units);
        if (options.json) PrintPageJson(page, matches, first);
        else PrintPageText(page, matches);
        first = false;
    });
    if (const auto* failure = std::get_if<std::string>(&decoded)) {
        if (options.json) std::cout << "]}" << std::endl;
        PrintDiagnostic("cannot decode " + options.recording + ": " + *failure);
        return kExitFailure;
    }
    const DecodedRecording& recording = std::get<DecodedRecording>(decoded);
    if (options.json) {
        std::cout << (first ? "" : "\n") << "], \"seconds\": " << Fixed(recording.seconds, 3) << ", \"rate\": " << recording.rate
                  << ", \"channels\": " << recording.channels << "}" << std::endl;
    } else {
        std::cout << recording.pages.size() << (recording.pages.size() == 1 ? " page in " : " pages in ")
                  << Fixed(recording.seconds, 2) << " s of sound" << (recording.channels > 1 ? " (first channel)" : "")
                  << std::endl;
    }
    return kExitSuccess;
}

void AddListenCommand(CLI::App& app, int& status) {
    auto options = std::make_shared<ListenOptions>();
    auto* command = app.add_subcommand(
        "listen", "Decode a recording (WAV, FLAC, anything libsndfile reads; first channel): every page with its "
                  "start, tones and lengths, and the units each would alert");
    command->add_option("REC", options->recording, "The recording")->required();
    command->add_option("--roster", options->roster, "BASE ROSTER: the fleet whose units are judged")->expected(2);
    command->add_option("--table", options->tables, "A unit's table file, named by its file name (repeatable)");
    command->add_flag("--user-mode", options->userMode, "Take the roster's tones in User Mode");
    command->add_flag("--json", options->json, "JSON for tools");
    command->callback([&status, options] { status = RunListen(*options); });
}

#else

void AddUnavailable(CLI::App& app, const std::string& name, const std::string& what, int& status) {
    auto* command = app.add_subcommand(name, what + " (not available in this build)");
    command->allow_extras();
    const std::string shown = app.get_parent() ? app.get_name() + " " + name : name;
    command->callback([&status, shown] {
        PrintDiagnostic(shown + " is not available in this build: it has no sound file library");
        status = kExitFailure;
    });
}

#endif

}  // namespace

void AddTestPageCommands(CLI::App& app, int& status) {
#ifdef ZR250PRO_HAVE_AUDIO
    AddPageCommand(app, status);
    AddRosterPageCommand(app, status);
    AddListenCommand(app, status);
#else
    AddUnavailable(app, "page", "Make a test page from a table file's calls", status);
    AddUnavailable(*app.get_subcommand("roster"), "page", "Page units of a fleet by name", status);
    AddUnavailable(app, "listen", "Decode a recording into pages", status);
#endif
}

}  // namespace zr::cli
