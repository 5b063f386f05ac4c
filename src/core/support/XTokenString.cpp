#include "core_iface/XTokenString.h"

#include "support/tokenizer.h"

int XTokenString(const char* text, const char* delimiters, CStringArray& tokens, int, int, int, int,
                 int) {
    tokens.RemoveAll();
    for (auto& token :
         corvantile::support::split_tokens(text ? text : "", delimiters ? delimiters : ""))
        tokens.Add(CString(std::move(token)));
    return tokens.GetSize();
}
