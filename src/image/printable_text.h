// Text that came from outside (a file name, a roster cell, a unit name) echoed in a message: its
// control bytes shown as escapes, so that a terminal or a log shows what the input holds and is
// never driven by it.
#pragma once

#include <string>
#include <string_view>

namespace zr {

// Tab, newline and carriage return as \t \n \r, a backslash doubled, the other control bytes
// (and DEL) as \xHH; everything else, UTF-8 included, as it is.
std::string EscapeControlBytes(std::string_view text);

}  // namespace zr
