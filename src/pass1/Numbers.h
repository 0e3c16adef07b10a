// Number literals of the source language: the base from the suffix letter
// or a prefix, every digit checked against that base.
#pragma once

#include <cstdint>
#include <string>

enum class NumberStatus {
    Valid,
    NotANumber, // does not start with a digit, $ or %
    BadDigit,   // a digit outside the base, or a stray letter
    TooLarge,   // above FFFFH
};

// Reads one number token: a leading digit, digits and an optional base
// letter (0FFH, 101B, 17Q, 12D), or a base prefix and digits ($1F, 0x1F,
// %1010, 0b1010).
NumberStatus ReadSourceNumber(const std::string& text, std::uint16_t& value);
