#include "printable_text.h"

#include <cstdio>

namespace zr {

std::string EscapeControlBytes(std::string_view text) {
    std::string shown;
    shown.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
            case '\t': shown += "\\t"; continue;
            case '\n': shown += "\\n"; continue;
            case '\r': shown += "\\r"; continue;
            case '\\': shown += "\\\\"; continue;
            default: break;
        }
        if (byte < 0x20 || byte == 0x7f) {
            char escape[5];
            std::snprintf(escape, sizeof escape, "\\x%02x", byte);
            shown += escape;
        } else {
            shown += c;
        }
    }
    return shown;
}

}  // namespace zr
