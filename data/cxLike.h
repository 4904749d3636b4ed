// LIKE pattern matching for filter conditions.
//
// The multi-character wildcard matches any run of characters, the empty run included; the
// single-character wildcard matches exactly one character (one whole UTF-8 sequence, never a
// part of one); every other pattern character matches itself byte for byte (case-sensitive).
// The escape character, when not 0, makes the next pattern character literal.
//
// The matcher splits the pattern at its multi-character wildcards and places the pieces
// left to right at their leftmost possible positions, which gives the same answers as
// backtracking without its exponential cost: time is at most text length times pattern
// length, and close to linear for ordinary patterns.
#pragma once

#include <cstddef>

#include "rtl/Types.h"

bool LikeMatchChars(const char* s, std::size_t sLen, const char* p, std::size_t pLen, char multi, char single,
                    char escape);
// The whole text against the whole pattern, without an escape character.
bool LikeMatch(const String& text, const String& pattern, char percent = '%', char underscore = '_');

// Byte length of the UTF-8 character at s[0] (1 for a byte that starts no valid sequence);
// `n` is the number of bytes available (at least 1).
std::size_t Utf8CharLength(const char* s, std::size_t n);
