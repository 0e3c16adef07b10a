// The expression evaluator: precedence climbing over one small operator
// table, all arithmetic in 16 bits.
#pragma once

#include <cstdint>
#include <string>

#include "pass1/SourceSymbols.h"

enum class ValueStatus {
    Known,   // Value holds the result
    Unknown, // it uses a symbol that is undefined or has no value yet (see Name)
    Failed,  // Message says what is wrong
};

struct ExpressionValue {
    ValueStatus Status;
    std::uint16_t Value;
    std::string Name;    // the first symbol without a value, for Unknown
    std::string Message; // for Failed
};

// Evaluates text with here as the value of $.
ExpressionValue EvaluateExpression(const std::string& text, const SourceSymbols& symbols, std::uint16_t here);

// True when text is one name (blanks around it allowed); gives it upper case.
bool IsSingleName(const std::string& text, std::string& name);

// True when text is one quoted string and nothing else; gives its characters.
bool IsSingleString(const std::string& text, std::string& characters);

// True when the word is an operator of expressions (AND, HIGH, ...).
bool IsOperatorWord(const std::string& upperName);
