#pragma once

#include <cstddef>
#include <string_view>

// A number typed into a settings window's field, read the way those windows read them (at most
// 19 characters, the leading number as C's atoi takes it, 0 when there is none) and held to a
// range. The message is the fixed English text that refuses a number outside the range.
//
// Thread contract: constants and pure functions, any thread.
namespace orvel {

struct NumberField {
    static constexpr std::size_t kReadBytes = 19;

    int minimum = 0;
    int maximum = 0;
    std::string_view message;

    static int parse(std::string_view text);
    bool accepts(int value) const { return value >= minimum && value <= maximum; }
    // The message for a text whose number is out of range; empty when it is accepted.
    std::string_view check(std::string_view text) const {
        return accepts(parse(text)) ? std::string_view() : message;
    }
};

}  // namespace orvel
