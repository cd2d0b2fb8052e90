#pragma once
// The settings file's text, in the private-profile form Windows reads and writes:
//
//   ; a comment
//   [section]
//   key=value
//
// Pure functions on the whole text, for the platforms that have no private-profile calls
// of their own. They read the text as Windows' GetPrivateProfileIntA does:
// - Lines end with LF, CRLF or a lone CR.
// - Section and key names match without regard to ASCII case, and blanks (spaces, tabs,
//   vertical tabs, form feeds and ^Z) around them and around values do not count.
// - A line whose first non-blank is ';' is a comment. One whose first non-blank is '['
//   starts a section; its name runs to the first ']', or to the end of the line when
//   there is none, and the rest of the line is ignored. Any other line is a key only when
//   it holds an '='.
// - Lines before the first section belong to none. Only the first section of a name is
//   looked at, and in it the first key of a name.
// - Nothing is skipped at the start of the text: a UTF-8 byte-order mark is part of the
//   first line, as it is for Windows (Wine skips it).
// Any bytes are accepted, NUL bytes included.
#include <cstdint>
#include <string>
#include <string_view>

// The value of key in section, read as GetPrivateProfileIntA reads it. The key's value
// (blanks trimmed) ends at its first NUL byte, and a pair of matching quotes around it,
// double or single, comes off. What is left gives defaultValue when it is empty, and
// otherwise a number: control characters and spaces are skipped, then an optional sign,
// then the digits: hexadecimal after "0x", octal after "0o", binary after "0b", else
// decimal, up to the first character that is not a digit of that base. They are
// accumulated in unsigned 32-bit arithmetic that wraps (never clamps), over the whole
// value however long (Wine looks at its first 29 characters only; Windows documents no
// limit), and negated for '-'. No digits read as 0. A missing section or key gives
// defaultValue.
std::int32_t profileReadInt(std::string_view text, std::string_view section, std::string_view key,
                            std::int32_t defaultValue);

// The text with key=value set in section; every other byte is kept as it was.
// - An existing key's line is rewritten as key=value (the spelling given here) and keeps
//   its own line ending.
// - A key missing from an existing section goes on a new line right after the section's
//   last key line, or right after its header when it has no keys.
// - A missing section is appended at the end, followed by the key's line.
// New lines end the way the text's first line does (CRLF, LF or a lone CR), with LF when
// it has no ending. A lone CR that a following LF would join into one CRLF is written as
// CRLF, so that the line after keeps its own ending. A last line that had no ending and
// is followed by a new one gets that ending first.
// The names and the value must not hold line breaks, the section no ']', and the key no
// '=' nor a leading ';' or '[' or blank; otherwise the result need not read back.
std::string profileWriteString(std::string_view text, std::string_view section, std::string_view key,
                               std::string_view value);

// True when section, key and value can be written so that the key is found again: no CR
// or LF in any of them, the names non-empty and without blanks at either end, no ']' in
// the section, no '=' in the key and no ';' or '[' at its start.
bool profileNamesWritable(std::string_view section, std::string_view key, std::string_view value);
