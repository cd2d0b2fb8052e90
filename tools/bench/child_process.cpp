// runSelf: this program's own file run again through runProgram, its output split into
// lines.
#include "child_process.h"

#include "program_run.h"

namespace {

void splitLines(const std::string& text, std::vector<std::string>& lines) {
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
}

}  // namespace

int runSelf(const std::vector<std::string>& args, std::vector<std::string>& lines) {
    std::string output;
    const int status = runProgram(ownProgramPath(), args, output);
    splitLines(output, lines);
    return status;
}
