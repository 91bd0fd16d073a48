// One JSON object on one line, written field by field.
#pragma once

#include <string>
#include <string_view>

namespace kvqsim {

class JsonLine {
public:
    JsonLine& Add(std::string_view key, std::string_view text);
    JsonLine& Add(std::string_view key, const char* text) {
        return Add(key, std::string_view(text));
    }
    JsonLine& Add(std::string_view key, long long number);
    JsonLine& Add(std::string_view key, int number) {
        return Add(key, static_cast<long long>(number));
    }
    JsonLine& Add(std::string_view key, bool value);
    // A value that is already JSON (an object or an array).
    JsonLine& AddRaw(std::string_view key, std::string_view json);
    std::string Text() const { return body_ + "}"; }

private:
    void Key(std::string_view key);
    std::string body_ = "{";
};

// Bytes as a JSON string: each byte one character, so Latin-1 text survives.
std::string JsonString(std::string_view bytes);

// One event on standard output, with the milliseconds since the first one was written.
void Emit(const std::string& line);

} // namespace kvqsim
