#pragma once

#include <string>
#include <string_view>

#include <QString>

namespace skarn {

// The data files hold bytes, not characters. These convert them for display.

// True when `bytes` is well-formed UTF-8.
bool isValidUtf8(std::string_view bytes);

// The text a user sees for `bytes`: UTF-8 when valid, otherwise Latin-1, so
// every byte shows as some character and none is lost.
QString displayText(std::string_view bytes);

// The bytes for text a user typed: UTF-8.
std::string typedBytes(const QString& text);

}  // namespace skarn
