#pragma once

#include <string>
#include <string_view>

#include <QString>

namespace skarn {

// The data files hold bytes, not characters. These convert them for display.
// Pure functions: any thread may call them.

// True when `bytes` is well-formed UTF-8.
bool isValidUtf8(std::string_view bytes);

// The text a user sees for `bytes`: UTF-8 when valid, otherwise Latin-1, so
// every byte shows as some character and none is lost. UTF-8 cut inside its
// last letter (a name the reader shortened to its byte limit) shows its
// whole letters and one replacement mark (U+FFFD) for the broken tail.
QString displayText(std::string_view bytes);

// The bytes for text a user typed: UTF-8.
std::string typedBytes(const QString& text);

}  // namespace skarn
