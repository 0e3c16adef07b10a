// Splitting a statement line into tokens, and the tests for DB and DW.
#pragma once

constexpr int _MaxTokens = 16;
constexpr int _MaxTokenLength = 64; // 63 characters and the terminator

// The characters that start a comment where a token would begin.
extern const char _CommentStarts[];

// Fills tokens from slot 0 on and returns how many it stored; slots at and
// beyond the count keep what an earlier line left in them.
int Tokenize(const char* line, char tokens[_MaxTokens][_MaxTokenLength]);

int IsComment(const char* text);
int IsDB(const char* token);
int IsDW(const char* token);
