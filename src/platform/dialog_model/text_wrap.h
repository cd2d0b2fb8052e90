#pragma once
// Text broken into lines that fit a width, as a static text control shows it.
#include <functional>
#include <string_view>
#include <vector>

// The lines of text within maxWidth, as measure gives the width of a piece: a line break
// ends a line, a line that is too wide breaks after its last blank that fits (the blanks
// at the break are dropped), and a word wider than a whole line breaks between
// characters (never inside a UTF-8 sequence). Every line holds at least one character,
// so a width too small for anything gives one character a line.
std::vector<std::string_view> wrapText(std::string_view text, int maxWidth,
                                       const std::function<int(std::string_view)>& measure);
