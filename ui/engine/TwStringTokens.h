#pragma once
// "%str<id>%" tokens in layout texts, replaced by strings of the string table.

#include <functional>
#include <string>

// Replaces every token in turn; a number that is not greater than 0 or a
// token without its closing "%" ends the substitution (the rest stays as it
// is). An id the lookup does not know is replaced by nothing.
std::wstring SubstituteStringTokens(std::wstring text,
                                    const std::function<const wchar_t*(int id)>& lookup);

// The same with the process's string table.
std::wstring SubstituteStringTokens(std::wstring text);
