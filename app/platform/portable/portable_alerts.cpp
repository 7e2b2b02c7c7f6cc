#include "portable_alerts.h"

#include <charconv>
#include <string>

namespace vanto {

namespace {

// One line of input without its line break; false at the end of the input.
bool readLine(std::FILE* in, std::string& line) {
    line.clear();
    int c;
    while ((c = std::fgetc(in)) != EOF) {
        if (c == '\n') return true;
        line.push_back(static_cast<char>(c));
    }
    return !line.empty();
}

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

} // namespace

std::size_t PortableAlerts::run(const Alert& alert) {
    std::fprintf(out_, "%s%s\n", alert.style == Alert::Style::critical ? "(!) " : "",
                 alert.message.c_str());
    if (!alert.informativeText.empty()) std::fprintf(out_, "%s\n", alert.informativeText.c_str());
    const std::size_t count = alert.buttons.size();
    for (std::size_t i = 0; i < count; ++i)
        std::fprintf(out_, "  %zu. %s\n", i + 1, alert.buttons[i].c_str());
    if (count < 2) {
        std::fflush(out_);
        return 0;
    }
    std::string line;
    for (;;) {
        std::fprintf(out_, "[1-%zu]: ", count);
        std::fflush(out_);
        if (!readLine(in_, line)) {
            std::fprintf(out_, "\n");
            return 0;
        }
        const std::string answer = trimmed(line);
        std::size_t chosen = 0;
        const auto [end, error] =
            std::from_chars(answer.data(), answer.data() + answer.size(), chosen);
        if (error == std::errc() && end == answer.data() + answer.size() && chosen >= 1 &&
            chosen <= count)
            return chosen - 1;
    }
}

} // namespace vanto
