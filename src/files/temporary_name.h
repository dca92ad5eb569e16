// The name of a save's temporary file beside its target, alike on every system:
// ".zr250pro-<process>-<letters>.tmp", short, so that a target whose name is near the system's limit
// still has room for its temporary file beside it.
#pragma once

#include <optional>
#include <string>

namespace zr::files {

// A new name for a temporary file of the process `process`.
std::string TemporaryFileName(unsigned long process);

// The process that made a temporary file of this name; nothing for any other name.
std::optional<unsigned long> TemporaryFileProcess(const std::string& fileName);

}  // namespace zr::files
