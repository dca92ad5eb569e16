// zr250pro-sim: a programming board with a pager behind it, on a pseudo-terminal.
#include <CLI/CLI.hpp>

#include <csignal>
#include <fstream>
#include <iostream>

#include "pager_simulator.h"
#include "table_files.h"

namespace {

const zr::sim::PagerSimulator* running = nullptr;

extern "C" void StopOnSignal(int) {
    if (running) running->Stop();
}

extern "C" void SwapOnSignal(int) {
    if (running) running->SwapPager();
}

CLI::Validator VersionText() {
    return CLI::Validator(
        [](std::string& text) {
            return zr::sim::ParseVersionPair(text) ? std::string() : "expected MAJOR.MINOR, each 0..255: " + text;
        },
        "MAJOR.MINOR");
}

bool WriteRequestLog(const std::string& path, const std::vector<zr::sim::RequestRecord>& requests) {
    std::ofstream file(path);
    for (const auto& request : requests)
        file << unsigned{request.command} << ' ' << static_cast<char>(request.letter) << ' ' << request.address << ' '
             << request.count << '\n';
    return static_cast<bool>(file.flush());
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"A ZR250Pro programming board with a pager behind it, on a pseudo-terminal. It prints its port, "
                 "answers until it is interrupted (Ctrl+C or SIGTERM), and survives the program closing and "
                 "reopening the port. With --pagers, SIGUSR1 swaps the pager for the next one.",
                 "zr250pro-sim"};
    app.set_version_flag("--version", std::string("zr250pro-sim ") + ZR250PRO_VERSION);
    zr::sim::SimulatorOptions options;
    std::string table, firmware = "5.10", board = "2.15", tag, dump, log;
    unsigned byteGapMs = 0;
    app.add_option("--link", options.link, "Make a symbolic link to the port here (removed at the end)");
    app.add_option("--table", table,
                   "Start the pager's memory from this table file (default: what the window's Write of its start-up "
                   "image leaves)")
        ->check(CLI::ExistingFile);
    app.add_option("--firmware", firmware, "The pager's firmware version, major.minor")
        ->check(VersionText())
        ->capture_default_str();
    auto* tagOption = app.add_option("--tag", tag, "The pager's model/version tag (\"\" for an empty tag)");
    app.add_option("--board-version", board, "The interface board's version, major.minor")
        ->check(VersionText())
        ->capture_default_str();
    app.add_option("--pace", options.pace, "Line speed in baud (9600 is the real line); 0 answers at once")
        ->capture_default_str();
    app.add_option("--dump", dump, "Write the pager's memory to this table file at the end");
    app.add_option("--log", log,
                   "Write every request received to this file at the end, one a line: command, letter, address, "
                   "count (\"51 S 8 8\" is the write of the second piece)");
    auto* fleet = app.add_option_group("Fleet", "Several pagers behind the board, one connected at a time");
    unsigned swapGapMs = 500;
    fleet->add_option("--pagers", options.pagers, "This many pagers, each starting with the same memory")
        ->check(CLI::Range(1u, 1000u))
        ->capture_default_str();
    fleet->add_option("--swap-gap", swapGapMs, "A swap leaves the board without a pager for this many ms")
        ->capture_default_str();
    fleet->add_flag("--auto-swap", options.autoSwap, "Swap once the connected pager is written whole and read back");
    fleet->add_flag("--swap-after-read", options.swapAfterRead, "Swap once the connected pager has been read whole");
    fleet->add_option("--control", options.control,
                      "Make a FIFO here taking commands, one a line: swap, remove, insert, insert N, swap-after-read");
    auto* faults = app.add_option_group("Faults", "Misbehave like a real line; N counts requests (or writes) from 1");
    faults->add_flag("--silent", options.silent, "No board: never answer");
    faults->add_option("--byte-gap", byteGapMs, "Send each reply byte this many ms after the previous one");
    faults->add_option("--bad-checksum", options.badChecksumAt, "Wrong reply checksum on request N");
    faults->add_option("--nak-write", options.negativeAcknowledgeAt, "Negative acknowledge on write N");
    faults->add_option("--drop", options.dropAt, "No reply to request N");
    faults->add_option("--hang-up", options.hangUpAt, "Hang the line up at request N, then end");
    faults->add_option("--garbage", options.garbageAt, "Noise bytes before the reply to request N");
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        const int status = app.exit(error);
        return status == 0 ? 0 : 2;  // a usage error, as zr250pro-cli reports it
    }

    if (!table.empty() && !zr::ReadTableBytes(table, options.memory)) {
        std::cerr << "zr250pro-sim: cannot read " << table << "\n";
        return 1;
    }
    std::tie(options.firmwareMajor, options.firmwareMinor) = *zr::sim::ParseVersionPair(firmware);
    std::tie(options.boardMajor, options.boardMinor) = *zr::sim::ParseVersionPair(board);
    if (*tagOption) options.tag = tag;
    options.byteGap = std::chrono::milliseconds(byteGapMs);
    options.swapGap = std::chrono::milliseconds(swapGapMs);

    try {
        zr::sim::PagerSimulator simulator(options);
        running = &simulator;
        std::signal(SIGINT, StopOnSignal);
        std::signal(SIGTERM, StopOnSignal);
        std::signal(SIGHUP, StopOnSignal);
        std::signal(SIGUSR1, SwapOnSignal);
        std::cout << "zr250pro-sim: port " << simulator.PortPath();
        if (!options.link.empty()) std::cout << " (link " << options.link.string() << ")";
        std::cout << std::endl;
        simulator.Run();
        running = nullptr;
        if (!dump.empty()) {
            if (const auto failure = zr::SaveTableFileAs(dump, simulator.Memory())) {
                std::cerr << "zr250pro-sim: cannot write " << dump << ": " << failure->reason << "\n";
                return 1;
            }
        }
        if (!log.empty() && !WriteRequestLog(log, simulator.Requests())) {
            std::cerr << "zr250pro-sim: cannot write " << log << "\n";
            return 1;
        }
    } catch (const std::exception& error) {
        std::cerr << "zr250pro-sim: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
