// The expression evaluator: precedence climbing over one small operator
// table, all arithmetic in 16 bits.
#include "pass1/Expression.h"

#include <cstring>

#include "pass1/Messages.h"
#include "pass1/Numbers.h"
#include "pass1/SourceLine.h"
#include "symbols/NumericLiteral.h"

namespace {

typedef std::uint16_t Word;

// Levels from the loosest binding to the tightest.
const int OrLevel = 1;
const int AndLevel = 2;
const int NotLevel = 3;
const int RelationLevel = 4;
const int AddLevel = 5;
const int MultiplyLevel = 6;
const int UnaryLevel = 7;

// Deeper nesting than this is refused before it can exhaust the stack.
const int MaxDepth = 600;

struct Operator {
    const char* Name;
    int Level;
    bool Unary;
    Word (*Apply)(Word left, Word right); // a unary operator gets its operand as right
};

Word Or(Word a, Word b)
{
    return static_cast<Word>(a | b);
}
Word Xor(Word a, Word b)
{
    return static_cast<Word>(a ^ b);
}
Word And(Word a, Word b)
{
    return static_cast<Word>(a & b);
}
Word Not(Word, Word b)
{
    return static_cast<Word>(~b);
}
Word Add(Word a, Word b)
{
    return static_cast<Word>(a + b);
}
Word Subtract(Word a, Word b)
{
    return static_cast<Word>(a - b);
}
Word Multiply(Word a, Word b)
{
    return static_cast<Word>(static_cast<std::uint32_t>(a) * b);
}
Word Divide(Word a, Word b)
{
    return static_cast<Word>(a / b);
}
Word Modulo(Word a, Word b)
{
    return static_cast<Word>(a % b);
}
Word ShiftLeft(Word a, Word b)
{
    return b >= 16 ? 0 : static_cast<Word>(static_cast<std::uint32_t>(a) << b);
}
Word ShiftRight(Word a, Word b)
{
    return b >= 16 ? 0 : static_cast<Word>(a >> b);
}
// Comparisons are unsigned; true is all ones, so that NOT, AND and OR combine them.
Word Truth(bool holds)
{
    return holds ? 0xFFFFu : 0u;
}
Word Equal(Word a, Word b)
{
    return Truth(a == b);
}
Word NotEqual(Word a, Word b)
{
    return Truth(a != b);
}
Word Less(Word a, Word b)
{
    return Truth(a < b);
}
Word LessOrEqual(Word a, Word b)
{
    return Truth(a <= b);
}
Word Greater(Word a, Word b)
{
    return Truth(a > b);
}
Word GreaterOrEqual(Word a, Word b)
{
    return Truth(a >= b);
}
Word Negate(Word, Word b)
{
    return static_cast<Word>(0u - b);
}
Word Plus(Word, Word b)
{
    return b;
}
Word High(Word, Word b)
{
    return static_cast<Word>(b >> 8);
}
Word Low(Word, Word b)
{
    return static_cast<Word>(b & 0xFFu);
}

// Intel's words, and beside each the C spelling the cross assemblers use; a
// C operator takes the level of its Intel counterpart (<< is SHL), and ~ is
// a prefix operator like unary minus.
const Operator Operators[] = {
    {"OR", OrLevel, false, Or},
    {"|", OrLevel, false, Or},
    {"XOR", OrLevel, false, Xor},
    {"^", OrLevel, false, Xor},
    {"AND", AndLevel, false, And},
    {"&", AndLevel, false, And},
    {"NOT", NotLevel, true, Not},
    {"EQ", RelationLevel, false, Equal},
    {"=", RelationLevel, false, Equal},
    {"==", RelationLevel, false, Equal},
    {"NE", RelationLevel, false, NotEqual},
    {"!=", RelationLevel, false, NotEqual},
    {"<>", RelationLevel, false, NotEqual},
    {"LT", RelationLevel, false, Less},
    {"<", RelationLevel, false, Less},
    {"LE", RelationLevel, false, LessOrEqual},
    {"<=", RelationLevel, false, LessOrEqual},
    {"GT", RelationLevel, false, Greater},
    {">", RelationLevel, false, Greater},
    {"GE", RelationLevel, false, GreaterOrEqual},
    {">=", RelationLevel, false, GreaterOrEqual},
    {"+", AddLevel, false, Add},
    {"-", AddLevel, false, Subtract},
    {"*", MultiplyLevel, false, Multiply},
    {"/", MultiplyLevel, false, Divide},
    {"MOD", MultiplyLevel, false, Modulo},
    {"%", MultiplyLevel, false, Modulo},
    {"SHL", MultiplyLevel, false, ShiftLeft},
    {"<<", MultiplyLevel, false, ShiftLeft},
    {"SHR", MultiplyLevel, false, ShiftRight},
    {">>", MultiplyLevel, false, ShiftRight},
    {"-", UnaryLevel, true, Negate},
    {"+", UnaryLevel, true, Plus},
    {"~", UnaryLevel, true, Not},
    {"HIGH", UnaryLevel, true, High},
    {"LOW", UnaryLevel, true, Low},
};

// The operator characters, two-character operators first.
const char* const OperatorSymbols[] = {
    "<<", ">>", "<=", ">=", "<>", "==", "!=", "+", "-", "*", "/", "(", ")", "|", "&", "^", "~", "%", "<", ">", "="};

enum class TokenKind { End, Number, Name, Here, String, Symbol, Bad };

struct Token {
    TokenKind Kind;
    std::string Text; // upper case for names; the characters for strings
};

struct Parser {
    const std::string& Text;
    std::size_t Pos;
    const SourceSymbols& Symbols;
    Word Here;
    Token Next;
    int Depth;
    bool Failed;
    int UnknownCount; // symbols read so far that have no value
    std::string Name;
    std::string Message;
};

void Fail(Parser& parser, const std::string& message)
{
    if (!parser.Failed) {
        parser.Failed = true;
        parser.Message = message;
    }
}

std::string Describe(const Token& token)
{
    switch (token.Kind) {
    case TokenKind::End:
        return "the end of the expression";
    case TokenKind::String:
        return "a string";
    default:
        return "'" + Printable(token.Text) + "'";
    }
}

void ReadToken(Parser& parser)
{
    const std::string& text = parser.Text;
    std::size_t pos = parser.Pos;
    while (pos < text.size() && IsBlank(text[pos]))
        pos++;
    Token& token = parser.Next;
    token.Text.clear();
    if (pos >= text.size()) {
        token.Kind = TokenKind::End;
    } else if (IsNameStart(text[pos]) || (text[pos] >= '0' && text[pos] <= '9')) {
        std::size_t start = pos;
        pos = ScanWord(text, start);
        token.Kind = IsNameStart(text[start]) ? TokenKind::Name : TokenKind::Number;
        token.Text = NormalWord(text.substr(start, pos - start));
    } else if (text[pos] == '\'' || text[pos] == '"') {
        std::size_t end = ScanQuoted(text, pos, &token.Text);
        if (end == std::string::npos) {
            token.Kind = TokenKind::Bad;
            Fail(parser, UnterminatedStringMessage());
            pos = text.size();
        } else {
            token.Kind = TokenKind::String;
            pos = end;
        }
    } else if (text[pos] == '$' && pos + 1 < text.size() && HexDigitValue(text[pos + 1]) >= 0) {
        // $1F: a hexadecimal number; a "$" alone is the address.
        std::size_t end = ScanWord(text, pos + 1);
        token.Kind = TokenKind::Number;
        token.Text = "$" + NormalWord(text.substr(pos + 1, end - pos - 1));
        pos = end;
    } else if (text[pos] == '$') {
        token.Kind = TokenKind::Here;
        token.Text = "$";
        pos++;
    } else {
        token.Kind = TokenKind::Bad;
        token.Text = text.substr(pos, 1);
        for (const char* symbol : OperatorSymbols) {
            if (text.compare(pos, std::strlen(symbol), symbol) == 0) {
                token.Kind = TokenKind::Symbol;
                token.Text = symbol;
                break;
            }
        }
        pos += token.Text.size();
    }
    parser.Pos = pos;
}

// A "%" where a value begins starts a binary number (%1010); the token read
// was the operator, so the digits after it are read here.
void ReadBinaryAfterPercent(Parser& parser)
{
    const std::string& text = parser.Text;
    if (parser.Pos >= text.size() || !IsNameChar(text[parser.Pos]))
        return;
    std::size_t end = ScanWord(text, parser.Pos);
    parser.Next.Kind = TokenKind::Number;
    parser.Next.Text = "%" + NormalWord(text.substr(parser.Pos, end - parser.Pos));
    parser.Pos = end;
}

// The operator of the given kind and level that the next token names, or null.
const Operator* NextOperator(const Parser& parser, int level, bool unary)
{
    if (parser.Next.Kind != TokenKind::Name && parser.Next.Kind != TokenKind::Symbol)
        return nullptr;
    for (const Operator& op : Operators) {
        if (op.Level == level && op.Unary == unary && parser.Next.Text == op.Name)
            return &op;
    }
    return nullptr;
}

Word ParseLevel(Parser& parser, int level);

Word ParseCharacterConstant(Parser& parser)
{
    const std::string& characters = parser.Next.Text;
    if (characters.empty() || characters.size() > 2) {
        Fail(parser, CharacterConstantMessage());
        return 0;
    }
    Word value = 0;
    for (char c : characters)
        value = static_cast<Word>(value << 8 | static_cast<unsigned char>(c));
    return value;
}

Word ParseSymbol(Parser& parser)
{
    const SourceSymbol* symbol = FindSourceSymbol(parser.Symbols, parser.Next.Text);
    if (symbol != nullptr && symbol->Known)
        return symbol->Value;
    if (parser.UnknownCount++ == 0)
        parser.Name = parser.Next.Text;
    return 0;
}

Word ParsePrimary(Parser& parser)
{
    Token& token = parser.Next;
    Word value = 0;
    if (token.Kind == TokenKind::Symbol && token.Text == "%")
        ReadBinaryAfterPercent(parser);
    switch (token.Kind) {
    case TokenKind::Number:
        switch (ReadSourceNumber(token.Text, value)) {
        case NumberStatus::Valid:
            break;
        case NumberStatus::TooLarge:
            Fail(parser, NumberTooLargeMessage(token.Text));
            break;
        default:
            Fail(parser, MalformedNumberMessage(token.Text));
            break;
        }
        break;
    case TokenKind::Here:
        value = parser.Here;
        break;
    case TokenKind::String:
        value = ParseCharacterConstant(parser);
        break;
    case TokenKind::Name:
        if (IsOperatorWord(token.Text)) {
            Fail(parser, ExpressionSyntaxMessage("a value is missing before " + Describe(token)));
            return 0;
        }
        value = ParseSymbol(parser);
        break;
    case TokenKind::Symbol:
        if (token.Text == "(") {
            ReadToken(parser);
            value = ParseLevel(parser, OrLevel);
            if (parser.Failed)
                return 0;
            if (parser.Next.Kind != TokenKind::Symbol || parser.Next.Text != ")") {
                Fail(parser, ExpressionSyntaxMessage("')' expected, found " + Describe(parser.Next)));
                return 0;
            }
            break;
        }
        Fail(parser, ExpressionSyntaxMessage("a value is missing before " + Describe(token)));
        return 0;
    default:
        Fail(parser, ExpressionSyntaxMessage("a value is missing before " + Describe(token)));
        return 0;
    }
    if (!parser.Failed)
        ReadToken(parser);
    return value;
}

// One level of the table: its prefix operators, or its operands joined by
// its binary operators, each operand one level tighter.
Word ParseLevel(Parser& parser, int level)
{
    if (parser.Failed)
        return 0;
    if (++parser.Depth > MaxDepth) {
        Fail(parser, ExpressionSyntaxMessage("nested too deeply"));
        return 0;
    }
    Word value = 0;
    if (const Operator* prefix = NextOperator(parser, level, true)) {
        ReadToken(parser);
        value = prefix->Apply(0, ParseLevel(parser, level));
    } else if (level == UnaryLevel) {
        value = ParsePrimary(parser);
    } else {
        value = ParseLevel(parser, level + 1);
        while (!parser.Failed) {
            const Operator* binary = NextOperator(parser, level, false);
            if (binary == nullptr)
                break;
            ReadToken(parser);
            int unknownBefore = parser.UnknownCount;
            Word right = ParseLevel(parser, level + 1);
            if ((binary->Apply == Divide || binary->Apply == Modulo) && right == 0) {
                // A divisor that waits for a later symbol is no division by zero yet.
                if (parser.UnknownCount == unknownBefore)
                    Fail(parser, DivisionByZeroMessage());
                value = 0;
                continue;
            }
            value = binary->Apply(value, right);
        }
    }
    parser.Depth--;
    return value;
}

} // namespace

bool IsOperatorWord(const std::string& upperName)
{
    for (const Operator& op : Operators) {
        if (upperName == op.Name)
            return true;
    }
    return false;
}

ExpressionValue EvaluateExpression(const std::string& text, const SourceSymbols& symbols, std::uint16_t here)
{
    Parser parser{text, 0, symbols, here, Token{TokenKind::End, ""}, 0, false, 0, "", ""};
    ReadToken(parser);
    Word value = ParseLevel(parser, OrLevel);
    if (!parser.Failed && parser.Next.Kind != TokenKind::End)
        Fail(parser, ExpressionSyntaxMessage("unexpected " + Describe(parser.Next)));
    if (parser.Failed)
        return ExpressionValue{ValueStatus::Failed, 0, "", parser.Message};
    if (parser.UnknownCount > 0)
        return ExpressionValue{ValueStatus::Unknown, 0, parser.Name, ""};
    return ExpressionValue{ValueStatus::Known, value, "", ""};
}

bool IsSingleName(const std::string& text, std::string& name)
{
    std::string word = Trimmed(text, 0, text.size());
    if (word.empty() || !IsNameStart(word[0]) || ScanWord(word, 0) != word.size())
        return false;
    name = NormalWord(word);
    return true;
}

bool IsSingleString(const std::string& text, std::string& characters)
{
    std::string word = Trimmed(text, 0, text.size());
    if (word.empty() || (word[0] != '\'' && word[0] != '"'))
        return false;
    std::string content;
    if (ScanQuoted(word, 0, &content) != word.size())
        return false;
    characters = content;
    return true;
}
