#include "sim/json_line.h"

#include <chrono>
#include <cstdio>
#include <iostream>

namespace kvqsim {

std::string JsonString(std::string_view bytes) {
    std::string out = "\"";
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b == '"' || b == '\\') {
            out.push_back('\\');
            out.push_back(c);
        } else if (b < 0x20 || b >= 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", b);
            out += escape;
        } else {
            out.push_back(c);
        }
    }
    return out + "\"";
}

void JsonLine::Key(std::string_view key) {
    if (body_.size() > 1)
        body_.push_back(',');
    body_ += JsonString(key);
    body_.push_back(':');
}

JsonLine& JsonLine::Add(std::string_view key, std::string_view text) {
    Key(key);
    body_ += JsonString(text);
    return *this;
}

JsonLine& JsonLine::Add(std::string_view key, long long number) {
    Key(key);
    body_ += std::to_string(number);
    return *this;
}

JsonLine& JsonLine::Add(std::string_view key, bool value) {
    Key(key);
    body_ += value ? "true" : "false";
    return *this;
}

JsonLine& JsonLine::AddRaw(std::string_view key, std::string_view json) {
    Key(key);
    body_ += json;
    return *this;
}

void Emit(const std::string& line) {
    static const auto start = std::chrono::steady_clock::now();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - start)
                        .count();
    std::cout << line.substr(0, line.size() - 1) << ",\"ms\":" << ms << "}\n";
}

} // namespace kvqsim
