// Compiled into every test program of the Windows build: standard output and
// standard error in binary mode, so that "\n" stays LF as on Linux instead of
// becoming CR LF.

#ifdef _WIN32

#include <cstdio>

#include <fcntl.h>
#include <io.h>

namespace {

[[maybe_unused]] const bool kBinaryOutput = [] {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    return true;
}();

}  // namespace

#endif
