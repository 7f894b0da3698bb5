#include "app/program_objects.h"

#include <cstdio>
#include <cstdlib>

namespace skarn {
namespace {

ProgramObjects* current = nullptr;

[[noreturn]] void misuse(const char* what) {
    std::fprintf(stderr, "skarn: %s\n", what);
    std::abort();
}

}  // namespace

ProgramObjects::ProgramObjects()
    : charFile("charfile.cfg", lockNotice), equiFile("equifile.cfg", lockNotice) {
    if (current != nullptr) misuse("a second set of program objects");
    current = this;
}

ProgramObjects::~ProgramObjects() { current = nullptr; }

ProgramObjects& programObjects() {
    if (current == nullptr) misuse("the program objects are used before they exist");
    return *current;
}

}  // namespace skarn
