#include "cli/console.h"

#include <cstdio>
#include <cstdlib>

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>

#include <fcntl.h>
#include <io.h>
#else
#include <unistd.h>
#endif

namespace skarn::cli {

#ifdef _WIN32

namespace {

std::string toUtf8(const wchar_t* wide) {
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1) return {};
    std::string text(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, text.data(), n, nullptr, nullptr);
    text.pop_back();  // the NUL
    return text;
}

UINT previousOutputCodePage = 0;

void restoreOutputCodePage() {
    if (previousOutputCodePage != 0) ::SetConsoleOutputCP(previousOutputCodePage);
}

bool consoleMode(DWORD& mode) {
    return ::GetConsoleMode(::GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

}  // namespace

Utf8Arguments::Utf8Arguments(int argc, char** argv) {
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (wide != nullptr) {
        for (int i = 0; i < count; ++i) words_.push_back(toUtf8(wide[i]));
        ::LocalFree(wide);
    } else {
        words_.assign(argv, argv + argc);
    }
    for (std::string& word : words_) pointers_.push_back(word.data());
    pointers_.push_back(nullptr);
}

void setUpStandardStreams() {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    const UINT previous = ::GetConsoleOutputCP();
    if (previous != 0 && previous != CP_UTF8 && ::SetConsoleOutputCP(CP_UTF8)) {
        previousOutputCodePage = previous;
        std::atexit(restoreOutputCodePage);
    }
    // Windows 10 and later draw the escape sequences when asked to.
    DWORD mode = 0;
    if (consoleMode(mode))
        ::SetConsoleMode(::GetStdHandle(STD_ERROR_HANDLE), mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
}

bool standardErrorIsTerminal() {
    DWORD mode = 0;
    return _isatty(_fileno(stderr)) != 0 && consoleMode(mode);
}

bool terminalErasesLines() {
    DWORD mode = 0;
    return consoleMode(mode) && (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

#else

Utf8Arguments::Utf8Arguments(int argc, char** argv) : words_(argv, argv + argc) {
    for (std::string& word : words_) pointers_.push_back(word.data());
    pointers_.push_back(nullptr);
}

void setUpStandardStreams() {}

bool standardErrorIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

bool terminalErasesLines() { return true; }

#endif

}  // namespace skarn::cli
