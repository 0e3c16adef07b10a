// Number literals of the source language: the base from the suffix letter,
// every digit checked against that base.
#pragma once

#include <cstdint>
#include <string>

enum class NumberStatus {
    Valid,
    NotANumber, // does not start with a digit
    BadDigit,   // a digit outside the base, or a stray letter
    TooLarge,   // above FFFFH
};

// Reads one number token (a leading digit, digits, an optional base letter).
NumberStatus ReadSourceNumber(const std::string& text, std::uint16_t& value);
