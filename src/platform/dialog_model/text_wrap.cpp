#include "platform/dialog_model/text_wrap.h"

namespace {

bool isContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// The end of the character that starts at i.
std::size_t nextCharacter(std::string_view text, std::size_t i) {
    ++i;
    while (i < text.size() && isContinuationByte(text[i])) ++i;
    return i;
}

void wrapParagraph(std::string_view paragraph, int maxWidth, const std::function<int(std::string_view)>& measure,
                   std::vector<std::string_view>& lines) {
    if (paragraph.empty()) {
        lines.push_back(paragraph);
        return;
    }
    while (!paragraph.empty()) {
        if (measure(paragraph) <= maxWidth) {
            lines.push_back(paragraph);
            return;
        }
        // The longest prefix that fits, one character at least.
        std::size_t fits = nextCharacter(paragraph, 0);
        for (std::size_t next = nextCharacter(paragraph, fits); fits < paragraph.size();
             next = nextCharacter(paragraph, next)) {
            if (measure(paragraph.substr(0, next)) > maxWidth) break;
            fits = next;
            if (next >= paragraph.size()) break;
        }
        // Back to a blank inside it, when there is one after some text.
        std::size_t end = fits;
        if (fits < paragraph.size() && paragraph[fits] != ' ') {
            const std::size_t blank = paragraph.substr(0, fits).find_last_of(' ');
            if (blank != std::string_view::npos && blank > 0) end = blank;
        }
        std::string_view line = paragraph.substr(0, end);
        while (!line.empty() && line.back() == ' ') line.remove_suffix(1);
        if (line.empty()) line = paragraph.substr(0, end);
        lines.push_back(line);
        paragraph.remove_prefix(end);
        while (!paragraph.empty() && paragraph.front() == ' ') paragraph.remove_prefix(1);
    }
}

}  // namespace

std::vector<std::string_view> wrapText(std::string_view text, int maxWidth,
                                       const std::function<int(std::string_view)>& measure) {
    std::vector<std::string_view> lines;
    for (;;) {
        const std::size_t newline = text.find('\n');
        wrapParagraph(text.substr(0, newline), maxWidth, measure, lines);
        if (newline == std::string_view::npos) break;
        text.remove_prefix(newline + 1);
    }
    return lines;
}
