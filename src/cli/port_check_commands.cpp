// Commands that look for the programming board and say what stands in the way: scan and doctor.
#include <CLI/CLI.hpp>

#include <algorithm>
#include <iostream>
#include <memory>

#include "cli_common.h"
#include "device_operations.h"
#include "port_report.h"
#include "terminal_view.h"

namespace zr::cli {

namespace {

void AddScanCommand(CLI::App& app, int& status) {
    auto* command = app.add_subcommand(
        "scan", std::string("The window's start-up check: every listed port at once (") + kPortListVariable +
                    " replaces the list); prints the first whose board answers");
    auto traceFile = std::make_shared<std::string>();
    AddTraceOption(*command, *traceFile);
    command->callback([&status, traceFile] {
        const auto port = CommandPort(*traceFile);
        if (!port) {
            status = kExitFailure;
            return;
        }
        TerminalView view;
        const PortNameTable ports = EnumerateSerialPorts();
        const auto found = StartupBoardCheck(*port, ports, view);
        port->Close();
        if (!found) {
            status = kExitFailure;
            return;
        }
        std::cout << "board found on " << ports[*found] << " (item " << *found << " of the port list)" << std::endl;
        status = kExitSuccess;
    });
}

// What a running grabber does to a programming cable, and how to keep it away.
std::string GrabberAdvice(const PortHolder& grabber) {
    if (grabber.command == "ModemManager")
        return "it opens new serial adapters to look for a modem and may hold the port for seconds; stop it while "
               "programming: sudo systemctl stop ModemManager";
    return "it takes some USB serial adapters for a braille display; remove it if no braille display is used: "
           "sudo apt remove brltty";
}

std::string DeviceLine(const SerialDevice& device) {
    std::string text = device.kind;
    if (!device.usbId.empty()) text += " " + device.usbId;
    for (const auto* part : {&device.maker, &device.product})
        if (!part->empty()) text += " " + *part;
    if (!device.driver.empty()) text += ", driver " + device.driver;
    return text;
}

std::string Holders(const std::vector<PortHolder>& holders) {
    std::string text;
    for (const auto& holder : holders) text += (text.empty() ? "" : ", ") + DescribeHolder(holder);
    return text;
}

void PrintText(const Checkup& checkup) {
    for (const PortReport& port : checkup.ports) {
        std::cout << "Port " << port.port << (port.device != port.port ? " (" + port.device + ")" : "") << "\n";
        std::cout << "  device:   " << DeviceLine(port.kind) << "\n";
        if (port.exists)
            std::cout << "  access:   " << port.mode << " " << port.owner << ":" << port.group << "; this user "
                      << (port.canOpen ? "can" : "cannot") << " open it\n";
        std::cout << "  held by:  " << (port.holders.empty() ? "no other program" : Holders(port.holders)) << "\n";
        if (port.unopened) std::cout << "  opening:  " << port.unopened->Text() << "\n";
        std::cout << "  board:    ";
        if (port.boardAnswers)
            std::cout << "answers, interface version " << (port.interfaceVersion.empty() ? "unknown" : port.interfaceVersion);
        else
            std::cout << (port.unopened ? "not asked: the port did not open" : "does not answer");
        std::cout << "\n  pager:    ";
        if (port.pagerAnswers)
            std::cout << "answers, firmware " << port.firmware << ", model \"" << port.model << "\"";
        else
            std::cout << (port.boardAnswers ? "does not answer" : "not asked: no board");
        std::cout << "\n";
    }
    if (checkup.ports.empty()) std::cout << "No port is listed.\n";
    std::cout << "Programs that grab serial adapters: " << (checkup.grabbers.empty() ? "none running" : "") << "\n";
    for (const auto& grabber : checkup.grabbers)
        std::cout << "  " << DescribeHolder(grabber) << ": " << GrabberAdvice(grabber) << "\n";
    const auto reachable = std::ranges::find_if(
        checkup.ports, [](const PortReport& p) { return p.boardAnswers && p.pagerAnswers; });
    if (reachable != checkup.ports.end())
        std::cout << "Result: a board and a pager answer on " << reachable->port << ".\n";
    else
        std::cout << "Result: no pager answers on any port.\n";
}

std::string JsonHolders(const std::vector<PortHolder>& holders) {
    std::string text = "[";
    for (const auto& holder : holders) {
        if (text.size() > 1) text += ", ";
        text += "{\"pid\": " + std::to_string(holder.pid) + ", \"command\": " + JsonString(holder.command) +
                ", \"user\": " + JsonString(holder.user) + "}";
    }
    return text + "]";
}

std::string JsonFailure(const std::optional<PortFailure>& failure) {
    if (!failure) return "null";
    static constexpr const char* kKinds[] = {"permission", "held", "missing", "other"};
    return "{\"kind\": " + JsonString(kKinds[static_cast<int>(failure->kind)]) +
           ", \"reason\": " + JsonString(failure->reason) + ", \"fix\": " + JsonString(failure->fix) + "}";
}

void PrintJson(const Checkup& checkup) {
    const auto boolean = [](bool value) { return value ? "true" : "false"; };
    std::cout << "{\n  \"ports\": [";
    for (std::size_t i = 0; i < checkup.ports.size(); ++i) {
        const PortReport& p = checkup.ports[i];
        std::cout << (i ? "," : "") << "\n    {\"port\": " << JsonString(p.port) << ", \"device\": " << JsonString(p.device)
                  << ", \"exists\": " << boolean(p.exists) << ", \"kind\": " << JsonString(p.kind.kind)
                  << ", \"usb_id\": " << JsonString(p.kind.usbId) << ", \"maker\": " << JsonString(p.kind.maker)
                  << ", \"product\": " << JsonString(p.kind.product) << ", \"driver\": " << JsonString(p.kind.driver)
                  << ", \"owner\": " << JsonString(p.owner) << ", \"group\": " << JsonString(p.group)
                  << ", \"mode\": " << JsonString(p.mode) << ", \"can_open\": " << boolean(p.canOpen)
                  << ", \"held_by\": " << JsonHolders(p.holders) << ", \"open_error\": " << JsonFailure(p.unopened)
                  << ", \"board\": {\"answers\": " << boolean(p.boardAnswers)
                  << ", \"interface_version\": " << JsonString(p.interfaceVersion) << "}"
                  << ", \"pager\": {\"answers\": " << boolean(p.pagerAnswers) << ", \"firmware\": " << JsonString(p.firmware)
                  << ", \"model\": " << JsonString(p.model) << "}}";
    }
    std::cout << "\n  ],\n  \"grabbers\": " << JsonHolders(checkup.grabbers)
              << ",\n  \"pager_reachable\": " << boolean(checkup.PagerReachable()) << "\n}\n";
}

void AddDoctorCommand(CLI::App& app, int& status) {
    struct Options {
        std::vector<std::string> ports;
        std::string trace;
        bool json = false;
    };
    auto options = std::make_shared<Options>();
    auto* command = app.add_subcommand(
        "doctor", "Check every listed port: the device, who may open it, who holds it, the board and the pager "
                  "behind it; exit 0 when a board and a pager answer on some port");
    command->add_option("-p,--port", options->ports, "Check these ports instead of the listed ones");
    command->add_flag("--json", options->json, "Print the check-up as JSON");
    AddTraceOption(*command, options->trace);
    command->callback([&status, options] {
        if (options->json) SendMessagesToStandardError();
        const auto port = CommandPort(options->trace);
        if (!port) {
            status = kExitFailure;
            return;
        }
        const Checkup checkup = ExaminePorts(*port, options->ports.empty() ? EnumerateSerialPorts() : options->ports);
        options->json ? PrintJson(checkup) : PrintText(checkup);
        status = checkup.PagerReachable() ? kExitSuccess : kExitFailure;
    });
}

}  // namespace

void AddPortCheckCommands(CLI::App& app, int& status) {
    AddScanCommand(app, status);
    AddDoctorCommand(app, status);
}

}  // namespace zr::cli
