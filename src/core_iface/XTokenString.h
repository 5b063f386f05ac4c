// Splitting a text into tokens, as version numbers are split at their dots.
#pragma once

#include "framework/CArray.h"
#include "framework/CString.h"

// Splits text at every occurrence of any of the delimiter characters and puts all tokens, in
// order, into tokens (which is emptied first); returns their number. Empty tokens are kept
// ("1..2" gives "1", "", "2"); an empty or null text gives none. maxTokens is the number the
// caller expects and does not cut the result short, so "1.2.3.4.5" gives 5 and a caller that
// wants exactly 4 sees the difference. The last four numbers are accepted and not used.
int XTokenString(const char* text, const char* delimiters, CStringArray& tokens, int maxTokens = 4,
                 int = 0, int = 0, int = 0, int = 0);
