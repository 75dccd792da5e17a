// The printf conversions a message text carries, and the ones its callers fill.
#pragma once
#include <string>

namespace ovtext {

// Reads the conversions of `text` as a printf format, one letter each in
// order: 'd' for an integer (d, i, u, x, X) and 's' for a string. Flags, a
// width and a precision are allowed; "%%" is a literal percent. Returns false
// for anything else (length modifiers, '*', %n, a lone '%' at the end ...),
// which no caller could fill safely.
bool ConversionSignature(const std::string& text, std::string* signature);

// The conversions that the callers of message `number` fill, in order;
// "" for a message shown as it is.
const char* ExpectedSignature(int number);

}  // namespace ovtext
