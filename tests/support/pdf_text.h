// The text of a PDF as pdftotext reads it, one string per page.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace zr::testing {

inline std::vector<std::string> PdfPages(const std::filesystem::path& pdf) {
    std::string text;
    if (FILE* pipe = ::popen(("pdftotext -layout '" + pdf.string() + "' - 2>/dev/null").c_str(), "r")) {
        char buffer[4096];
        std::size_t got;
        while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, got);
        ::pclose(pipe);
    }
    std::vector<std::string> pages(1);
    for (const char c : text) {
        if (c == '\f') pages.emplace_back();
        else pages.back() += c;
    }
    if (pages.back().empty()) pages.pop_back();
    return pages;
}

// Runs of blanks made one, so that a value is found whatever the columns' spacing.
inline std::string Squeezed(const std::string& text) {
    std::string out;
    for (const char c : text)
        if (!(c == ' ' && !out.empty() && out.back() == ' ')) out += c;
    return out;
}

}  // namespace zr::testing
