// Splitting statement lines into tokens: separators, words, strings, comments,
// the limits of the token array, and the DB and DW tests.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "lexer/Tokenizer.h"

namespace {

typedef std::vector<std::string> Lines;

struct Tokenized {
    int Count;
    Lines Tokens; // the slots below the count
    Lines Log;
};

Tokenized TokenizeLine(const std::string& line, GuardedTokens& tokens)
{
    LogCapture log;
    int count = Tokenize(line.c_str(), tokens.Slots);
    Tokenized result{count, {}, log.Lines()};
    for (int i = 0; i < count && i < _MaxTokens; i++)
        result.Tokens.push_back(tokens.Slots[i]);
    return result;
}

Tokenized TokenizeLine(const std::string& line)
{
    GuardedTokens tokens;
    Tokenized result = TokenizeLine(line, tokens);
    EXPECT_TRUE(tokens.GuardIntact());
    return result;
}

// One line, its tokens and the whole trace it leaves in the run log.
struct LineCase {
    const char* Name;
    std::string Line;
    Lines Tokens;
    Lines Log;
};

class TokenizeLines : public ::testing::TestWithParam<LineCase> { };

TEST_P(TokenizeLines, GiveTheirTokensAndTrace)
{
    const LineCase& c = GetParam();
    Tokenized result = TokenizeLine(c.Line);
    EXPECT_EQ(result.Count, static_cast<int>(c.Tokens.size()));
    EXPECT_EQ(result.Tokens, c.Tokens);
    EXPECT_EQ(result.Log, c.Log);
}

INSTANTIATE_TEST_SUITE_P(Tokenizer, TokenizeLines,
    ::testing::Values(LineCase{"EmptyLine", "", {}, {"Tokenizing "}},
        LineCase{"OnlySeparators", " \t,, \t,", {}, {"Tokenizing  \t,, \t,"}},
        LineCase{"WholeLineRemark", "; whole-line remark", {},
            {"Tokenizing ; whole-line remark", "Remaining Part is Comment"}},
        LineCase{"RemarkAfterBlanks", "   \t; note", {}, {"Tokenizing    \t; note", "Remaining Part is Comment"}},
        LineCase{"LowerCaseStatementWithRemark", "0010 mvi a, 3ah ; load A", {"0010", "MVI", "A", "3AH"},
            {"Tokenizing 0010 mvi a, 3ah ; load A", "Found Token 0010", "Found Token MVI", "Found Token A",
                "Found Token 3AH", "Remaining Part is Comment"}},
        LineCase{"SemicolonInsideAWord", "MOV A,B;X", {"MOV", "A", "B;X"},
            {"Tokenizing MOV A,B;X", "Found Token MOV", "Found Token A", "Found Token B;X"}},
        LineCase{"RunsOfSeparators", "A,,  ,B", {"A", "B"}, {"Tokenizing A,,  ,B", "Found Token A", "Found Token B"}},
        LineCase{"DollarStartsAComment", "MVI A,$10", {"MVI", "A"},
            {"Tokenizing MVI A,$10", "Found Token MVI", "Found Token A", "Remaining Part is Comment"}},
        LineCase{"QuotedBlankAndComma", "DB 'A B',3", {"DB", "'A B", "3"},
            {"Tokenizing DB 'A B',3", "Found Token DB", "Found Token 'A B", "Found Token 3"}},
        LineCase{"UnclosedString", "DB 'AB", {"DB", "'AB"},
            {"Tokenizing DB 'AB", "Found Token DB", "*****ERROR: String Token without Matching Closure",
                "Found Token 'AB"}},
        LineCase{"LoneQuoteAtTheEnd", "DB '", {"DB", "'"},
            {"Tokenizing DB '", "Found Token DB", "*****ERROR: String Token without Matching Closure",
                "Found Token '"}},
        LineCase{"EmptyQuotesKeepTheOpeningQuote", "DB '',\"\"", {"DB", "'", "\""},
            {"Tokenizing DB '',\"\"", "Found Token DB", "Found Token '", "Found Token \""}},
        LineCase{"CommentRightAfterAString", "DB 'x';rest 'y", {"DB", "'x"},
            {"Tokenizing DB 'x';rest 'y", "Found Token DB", "Found Token 'x", "Remaining Part is Comment"}},
        LineCase{"StringHoldsTheOtherQuoteAndCommentCharacters", "DB \"it's; #x\",y", {"DB", "\"it's; #x", "Y"},
            {"Tokenizing DB \"it's; #x\",y", "Found Token DB", "Found Token \"it's; #x", "Found Token Y"}},
        LineCase{"StringDirectlyAfterAWord", "AB'cd' e", {"AB'CD'", "E"},
            {"Tokenizing AB'cd' e", "Found Token AB'CD'", "Found Token E"}},
        LineCase{"StringFollowedByAWordWithoutSeparator", "'ab'cd", {"'ab", "CD"},
            {"Tokenizing 'ab'cd", "Found Token 'ab", "Found Token CD"}},
        LineCase{"CarriageReturnStaysInTheLastWord", "0 NOP\r", {"0", "NOP\r"},
            {"Tokenizing 0 NOP\r", "Found Token 0", "Found Token NOP\r"}},
        LineCase{"OtherControlCharactersAreWordCharacters", "A\vB\fC\x01", {"A\vB\fC\x01"},
            {"Tokenizing A\vB\fC\x01", "Found Token A\vB\fC\x01"}}),
    [](const ::testing::TestParamInfo<LineCase>& info) { return std::string(info.param.Name); });

TEST(Tokenizer, EveryCommentCharacterStartsACommentWhereATokenWouldBegin)
{
    for (char c : std::string(";#$!~`%*")) {
        std::string line = std::string("0 NOP ") + c + "x y";
        Tokenized result = TokenizeLine(line);
        EXPECT_EQ(result.Tokens, (Lines{"0", "NOP"})) << c;
        EXPECT_EQ(result.Log.back(), "Remaining Part is Comment") << c;
        Tokenized inside = TokenizeLine(std::string("NOP") + c + "x");
        EXPECT_EQ(inside.Tokens, Lines{std::string("NOP") + c + "X"}) << "inside a word " << c;
    }
}

TEST(Tokenizer, CaseIsFoldedOnlyOutsideQuotes)
{
    Tokenized result = TokenizeLine("lbl: db 'mixed Case',\"low\",zz9_q 'a");
    EXPECT_EQ(result.Tokens, (Lines{"LBL:", "DB", "'mixed Case", "\"low", "ZZ9_Q", "'a"}));
}

TEST(Tokenizer, BytesAbove127PassUnchanged)
{
    Tokenized result = TokenizeLine("\xe9t\xe9 '\xe0\xff' \xb5");
    EXPECT_EQ(result.Tokens, (Lines{"\xe9T\xe9", "'\xe0\xff", "\xb5"}));
}

TEST(Tokenizer, SlotsBeyondTheCountKeepTheEarlierLine)
{
    GuardedTokens tokens;
    EXPECT_EQ(TokenizeLine("10 LXI H,2050H extra", tokens).Count, 5);
    Tokenized shorter = TokenizeLine("12 xchg", tokens);
    EXPECT_EQ(shorter.Count, 2);
    EXPECT_STREQ(tokens.Slots[0], "12");
    EXPECT_STREQ(tokens.Slots[1], "XCHG");
    EXPECT_STREQ(tokens.Slots[2], "H");
    EXPECT_STREQ(tokens.Slots[3], "2050H");
    EXPECT_STREQ(tokens.Slots[4], "EXTRA");
    EXPECT_STREQ(tokens.Slots[5], "STALE");
    EXPECT_EQ(TokenizeLine("; nothing", tokens).Count, 0);
    EXPECT_STREQ(tokens.Slots[0], "12");
}

std::string NumberedWords(int from, int to)
{
    std::string line;
    for (int i = from; i <= to; i++)
        line += "T" + std::to_string(i) + " ";
    return line;
}

TEST(Tokenizer, SixteenTokensAtMost)
{
    Tokenized sixteen = TokenizeLine(NumberedWords(1, 16));
    EXPECT_EQ(sixteen.Count, 16);
    EXPECT_EQ(sixteen.Log.back(), "Found Token T16");
    EXPECT_EQ(TokenizeLine(NumberedWords(1, 16) + "; T17 T18").Log.back(), "Remaining Part is Comment");

    const char* overflow = "*****ERROR: More than 16 Tokens, the rest of the line is ignored";
    for (const std::string& extra : {std::string("T17 T18"), std::string("'quoted string'")}) {
        GuardedTokens tokens;
        Tokenized result = TokenizeLine(NumberedWords(1, 16) + extra, tokens);
        EXPECT_EQ(result.Count, 16);
        EXPECT_TRUE(tokens.GuardIntact());
        EXPECT_STREQ(tokens.Slots[15], "T16");
        ASSERT_EQ(result.Log.size(), 18u);
        EXPECT_EQ(result.Log[16], "Found Token T16");
        EXPECT_EQ(result.Log[17], overflow);
    }
}

TEST(Tokenizer, LongestLineOfOneCharacterTokensStaysInTheArray)
{
    std::string line;
    for (int i = 0; i < 255; i++)
        line += "A,";
    GuardedTokens tokens;
    Tokenized result = TokenizeLine(line, tokens);
    EXPECT_EQ(result.Count, 16);
    EXPECT_TRUE(tokens.GuardIntact());
}

TEST(Tokenizer, WordOfSixtyThreeCharactersIsKeptWhole)
{
    std::string word(63, 'W');
    Tokenized result = TokenizeLine(word + " X");
    EXPECT_EQ(result.Tokens, (Lines{word, "X"}));
    EXPECT_EQ(result.Log.size(), 3u);
}

TEST(Tokenizer, LongerWordIsCutToSixtyThreeCharacters)
{
    GuardedTokens tokens;
    std::string word = std::string(63, 'a') + "bcdef";
    Tokenized result = TokenizeLine("0 " + word + ",next", tokens);
    std::string kept(63, 'A');
    EXPECT_EQ(result.Tokens, (Lines{"0", kept, "NEXT"}));
    EXPECT_EQ(result.Log,
        (Lines{"Tokenizing 0 " + word + ",next", "Found Token 0",
            "*****ERROR: Token longer than 63 characters, cut to 63", "Found Token " + kept, "Found Token NEXT"}));
    EXPECT_STREQ(tokens.Slots[3], "STALE");
}

TEST(Tokenizer, LongStringTokenIsCutAndSkippedToItsClosingQuote)
{
    std::string body = "'" + std::string(70, 's') + " ;, more'";
    Tokenized result = TokenizeLine("DB " + body + " x");
    std::string kept = "'" + std::string(62, 's');
    EXPECT_EQ(result.Tokens, (Lines{"DB", kept, "X"}));
    ASSERT_EQ(result.Log.size(), 5u);
    EXPECT_EQ(result.Log[2], "*****ERROR: Token longer than 63 characters, cut to 63");
    EXPECT_EQ(result.Log[3], "Found Token " + kept);
}

TEST(Tokenizer, LongUnclosedStringReportsBothFaultsBeforeItsToken)
{
    std::string text = "\"" + std::string(100, 'q');
    Tokenized result = TokenizeLine(text);
    std::string kept = text.substr(0, 63);
    EXPECT_EQ(result.Tokens, Lines{kept});
    EXPECT_EQ(result.Log,
        (Lines{"Tokenizing " + text, "*****ERROR: String Token without Matching Closure",
            "*****ERROR: Token longer than 63 characters, cut to 63", "Found Token " + kept}));
}

TEST(TokenizerIsComment, BlankRestOrCommentCharacterAfterBlanksAndTabs)
{
    EXPECT_EQ(IsComment(""), 1);
    EXPECT_EQ(IsComment(" \t \t"), 1);
    EXPECT_EQ(IsComment(" \t;MOV"), 1);
    for (char c : std::string(";#$!~`%*"))
        EXPECT_EQ(IsComment(std::string(1, c).c_str()), 1) << c;
    EXPECT_EQ(IsComment("MOV ;x"), 0);
    EXPECT_EQ(IsComment("  A"), 0);
    EXPECT_EQ(IsComment("'"), 0);
    EXPECT_EQ(IsComment(",;"), 0) << "a comma is not skipped";
    EXPECT_EQ(IsComment("\n"), 0);
    EXPECT_EQ(IsComment("&"), 0);
    EXPECT_EQ(IsComment("\xbb"), 0);
}

TEST(TokenizerDirectives, MatchOnlyTheWholeUpperCaseName)
{
    EXPECT_EQ(IsDB("DB"), 1);
    EXPECT_EQ(IsDW("DW"), 1);
    for (const char* other : {"DW", "D", "DBX", "db", "Db", "", "DB ", " DB", "DB:", "'DB"})
        EXPECT_EQ(IsDB(other), 0) << other;
    for (const char* other : {"DB", "D", "DWX", "dw", "dW", "", "DW ", " DW", "DW2", "\"DW"})
        EXPECT_EQ(IsDW(other), 0) << other;
}

} // namespace
