#pragma once

#include <string>
#include <vector>

namespace skarn::cli {

// The command line's words as UTF-8. On Windows they are taken from the
// wide (UTF-16) command line, since the `argv` of `main` holds them in the
// ANSI code page, which cannot hold every name; elsewhere they are `argv`
// as it is.
class Utf8Arguments {
public:
    Utf8Arguments(int argc, char** argv);
    Utf8Arguments(const Utf8Arguments&) = delete;
    Utf8Arguments& operator=(const Utf8Arguments&) = delete;

    int argc() const { return static_cast<int>(pointers_.size()) - 1; }
    // NUL-terminated, as `main`'s; valid while this object lives.
    char** argv() { return pointers_.data(); }

private:
    std::vector<std::string> words_;
    std::vector<char*> pointers_;
};

// Makes the standard streams behave as on Linux: on Windows, standard output
// and standard error in binary mode (a line ends with LF, not CR LF) and the
// console showing UTF-8 (set back when the program ends). Nothing elsewhere.
void setUpStandardStreams();

// Whether standard error is a terminal that a progress line can redraw
// (on Windows: a console, never a file, a pipe or the NUL device).
bool standardErrorIsTerminal();

// Whether that terminal takes the escape sequence that erases the rest of a
// line ("\033[K"); old Windows consoles do not.
bool terminalErasesLines();

}  // namespace skarn::cli
