#pragma once
// Text from users and foreign files on its way out: whether it is valid UTF-8, the same text
// with what is not replaced, and a form that shows control characters instead of obeying them.

#include <string>
#include <string_view>

namespace lamivex::numbers {

// Whether text is valid UTF-8 (no overlong forms, surrogates or values above U+10FFFF).
[[nodiscard]] bool isValidUtf8(std::string_view text);

// Whether text holds a control character: U+0000..U+001F (NUL, tab, newline, escape), DEL or
// U+0080..U+009F. Such a character in a name would break the lines of a report or steer a
// terminal.
[[nodiscard]] bool hasControlCharacter(std::string_view text);

// text with every byte that does not begin a valid UTF-8 sequence replaced by U+FFFD.
[[nodiscard]] std::string withReplacementCharacters(std::string_view text);

// text with control characters written out as escapes (a newline as \\n, a tab as \\t,
// ESC as \\x1b, DEL as \\x7f) and a backslash doubled, so that a message stays one line
// and cannot steer a terminal.
[[nodiscard]] std::string visiblyEscaped(std::string_view text);

}  // namespace lamivex::numbers
