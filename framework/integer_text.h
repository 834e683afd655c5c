// Reading a number box's text as a decimal integer. Portable, so that the
// rule is tested natively too.
#pragma once

#include <cstdint>
#include <string>

// True and the value when `text` is one decimal int32, optionally signed and
// surrounded by blanks. "12abc", "", "1 2" and values beyond int32 are not
// integers (a plain strtol, or wine's GetDlgItemInt, would take "12abc" as
// 12).
bool parseIntegerText(const std::string& text, int32_t& value);
