// libFuzzer target over SectionFile: the reading operations in any order, the
// count of the lines an edit would take for an entry (what the window asks
// before it writes a character), and the four edits, some of them with a
// failing or crashing file operation, on a data file made of the input.
//
// Input layout: the operations are taken from the end of the input (a seed
// file can carry them in a trailing comment line, see scripts/fuzz-seeds),
// the rest is the file.
//
// Checked on every input, besides the sanitizers: a word or quoted text read
// is never over 29 bytes; an edit that returns false leaves the file byte for
// byte as it was; an edit that returns true leaves exactly the one change,
// with every line ending in CR LF, and no temporary file behind; whatever
// fails or stops midway, the file is the old one or a correct new one; a
// ReadOnly file is never changed; a named edit that meets no failure
// succeeds exactly when editableEntryLines counts a line for its entry, and
// that count is never below the count of numbered lines.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "data/records.h"
#include "data/section_file.h"
#include "tests/support/faulty_file_system.h"

namespace {

using skarn::SectionFile;
using skarn::testing::FaultyFileSystem;
using skarn::testing::FileOp;

void check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "violated: %s\n", what);
        std::abort();
    }
}

const std::filesystem::path& workDir() {
    static const std::filesystem::path dir = [] {
        std::random_device random;
        std::filesystem::path p;
        do {
            p = std::filesystem::temp_directory_path() / ("skarn-fuzz-" + std::to_string(random()));
        } while (!std::filesystem::create_directory(p));
        return p;
    }();
    return dir;
}

std::string readBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

const std::string_view kSections[] = {"YourChars",   "OppChars",     "Shields",
                                      "FencingWeapons", "MaceWeapons", "SwordWeapons",
                                      "Wrestling",   "",             "A",
                                      "Numbers"};

enum Kind { List, LookupInt, LookupText, Steps, Replace, InsertAfter, InsertFirst, Remove, EntryLines, kKinds };

struct Op {
    int kind;
    std::size_t section;
    std::size_t name;
    int field;
    std::int32_t values[7];
    std::size_t shield;
    std::size_t weapon;
    int fault;  // 0: none; n: the n-th file operation of the edit fails
    bool crash;  // the failing operation throws instead
    std::uint8_t steps[6];
};

struct Crash {};

std::vector<std::string> oldLines(std::string_view text) {
    std::vector<std::string> lines;
    while (!text.empty()) {
        const std::size_t lf = text.find('\n');
        std::string_view line = text.substr(0, lf);
        text.remove_prefix(lf == std::string_view::npos ? text.size() : lf + 1);
        if (lf != std::string_view::npos && !line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.emplace_back(line);
    }
    return lines;
}

// The lines of a file the edits wrote: every line ends with CR LF and no LF
// stands alone.
bool newLines(std::string_view text, std::vector<std::string>& lines) {
    lines.clear();
    while (!text.empty()) {
        const std::size_t end = text.find("\r\n");
        if (end == std::string_view::npos) return false;
        const std::string_view line = text.substr(0, end);
        if (line.find('\n') != std::string_view::npos) return false;
        lines.emplace_back(line);
        text.remove_prefix(end + 2);
    }
    return true;
}

// Whether `after` is `before` with exactly the change of the edit.
bool isTheEdit(const std::string& before, const std::string& after, int kind, bool emptyEntry,
               const std::string& line) {
    const std::vector<std::string> old = oldLines(before);
    std::vector<std::string> now;
    if (!newLines(after, now)) return false;
    std::size_t prefix = 0;
    while (prefix < old.size() && prefix < now.size() && old[prefix] == now[prefix]) ++prefix;
    std::size_t suffix = 0;
    while (suffix < std::min(old.size(), now.size()) - prefix &&
           old[old.size() - 1 - suffix] == now[now.size() - 1 - suffix]) {
        ++suffix;
    }
    const std::vector<std::string> removed(old.begin() + static_cast<std::ptrdiff_t>(prefix),
                                           old.end() - static_cast<std::ptrdiff_t>(suffix));
    std::vector<std::string> added(now.begin() + static_cast<std::ptrdiff_t>(prefix),
                                   now.end() - static_cast<std::ptrdiff_t>(suffix));
    switch (kind) {
    case InsertAfter:
        return removed.empty() && added == std::vector<std::string>{line};
    case InsertFirst:
        // The inserted pair may align as either rotation.
        return removed.empty() && added.size() == 2 &&
               ((added[0].empty() && added[1] == line) || (added[0] == line && added[1].empty()));
    case Replace:
        if (emptyEntry) return removed.empty() && added == std::vector<std::string>{line};
        return removed.size() == added.size() && added.size() <= 1 &&
               (added.empty() || added[0] == line);
    case Remove:
        if (emptyEntry) return removed.empty() && added.empty();
        return removed.size() == 1 && added.empty();
    }
    return false;
}

// The temporary files of edits in the work folder.
std::vector<std::filesystem::path> temporaryFiles() {
    std::vector<std::filesystem::path> found;
    for (const auto& entry : std::filesystem::directory_iterator(workDir())) {
        if (entry.path().filename() != "charfile.cfg") found.push_back(entry.path());
    }
    return found;
}

void runSteps(SectionFile& file, const Op& op, const std::vector<std::string>& names) {
    std::string text;
    std::int32_t value = 0;
    file.openSection(kSections[op.section]);
    for (std::uint8_t step : op.steps) {
        const std::string& name = names[step % names.size()];
        const int field = (step & 0x80) ? std::numeric_limits<int>::max() : op.field;
        switch (step % 8) {
        case 0:
            file.nextEntry(text);
            check(text.size() <= 29, "nextEntry text within 29 bytes");
            break;
        case 1: file.skipLine(); break;
        case 2: file.readInt(value); break;
        case 3: file.findEntry(name); break;
        case 4:
            file.readTextField(field, text);
            check(text.size() <= 29, "readTextField text within 29 bytes");
            break;
        case 5: file.readIntField(field, value); break;
        case 6: file.rewind(); break;
        case 7: file.openSection(kSections[step % std::size(kSections)]); break;
        }
    }
}

void runEdit(SectionFile& file, FaultyFileSystem& files, const Op& op, const std::vector<std::string>& names,
             bool readOnly) {
    const std::filesystem::path path = file.fileName();
    const std::string& entry = names[op.name % names.size()];
    const std::string_view section = kSections[op.section];
    const std::string line = skarn::FormatCharacterLine(
        entry, op.values[0], op.values[1], op.values[2], op.values[3], op.values[4], op.values[5],
        op.values[6], names[op.shield % names.size()], names[op.weapon % names.size()]);
    const std::string before = readBytes(path);
    const SectionFile::EntryLines lines = file.editableEntryLines(section, entry);

    int calls = 0;
    bool fired = false;
    if (op.fault > 0) {
        files.setHook([&](FileOp) {
            if (++calls != op.fault) return false;
            fired = true;
            if (op.crash) throw Crash{};
            return true;
        });
    }
    bool result = false;
    bool crashed = false;
    try {
        switch (op.kind) {
        case Replace: result = file.replaceEntry(section, entry, line); break;
        case InsertAfter: result = file.insertAfter(section, entry, line); break;
        case InsertFirst: result = file.insertFirst(section, line); break;
        case Remove: result = file.removeEntry(section, entry); break;
        }
    } catch (const Crash&) {
        crashed = true;
    }
    files.setHook(nullptr);

    const std::string after = readBytes(path);
    const bool emptyEntry = entry.empty() || op.kind == InsertFirst;
    if (readOnly) {
        check(!result && after == before, "a ReadOnly file is never changed");
    } else if (crashed) {
        check(after == before || isTheEdit(before, after, op.kind, emptyEntry, line),
              "after a crash the file is the old one or the new one");
    } else if (!result) {
        check(after == before, "a failed edit leaves the file as it was");
    } else {
        check(isTheEdit(before, after, op.kind, emptyEntry, line), "an edit makes exactly its change");
        // Unless removing one was made to fail, an edit removes the
        // left-overs of those cut short before.
        if (!fired) check(temporaryFiles().empty(), "a successful edit leaves no temporary file");
    }
    const bool named = op.kind != InsertFirst && !entry.empty();
    const bool lineOk = line.find_first_of("\r\n") == std::string::npos;
    if (!readOnly && !fired && named && lineOk) {
        check(result == (lines.count > 0), "a named edit succeeds exactly on a counted line");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const bool readOnly = in.ConsumeIntegralInRange(0, 7) == 0;
    std::vector<Op> ops(in.ConsumeIntegralInRange<std::size_t>(1, 6));
    for (Op& op : ops) {
        op.kind = in.ConsumeIntegralInRange(0, kKinds - 1);
        op.section = in.ConsumeIntegralInRange<std::size_t>(0, std::size(kSections) - 1);
        op.name = in.ConsumeIntegral<std::uint8_t>();
        op.field = in.ConsumeIntegralInRange(-1, 14);
        for (std::int32_t& v : op.values) v = in.ConsumeIntegral<std::int32_t>();
        op.shield = in.ConsumeIntegral<std::uint8_t>();
        op.weapon = in.ConsumeIntegral<std::uint8_t>();
        op.fault = in.ConsumeIntegralInRange(0, 20);
        op.crash = in.ConsumeBool();
        for (std::uint8_t& s : op.steps) s = in.ConsumeIntegral<std::uint8_t>();
    }
    const std::string content = in.ConsumeRemainingBytesAsString();

    const std::filesystem::path path = workDir() / "charfile.cfg";
    std::error_code ec;
    for (const std::filesystem::path& temp : temporaryFiles()) std::filesystem::remove(temp, ec);
    writeBytes(path, content);

    FaultyFileSystem files;
    SectionFile file(path.string(), files, readOnly ? SectionFile::Mode::ReadOnly : SectionFile::Mode::ReadWrite);

    // The names to look up and edit: a few fixed ones, and those the file lists.
    std::vector<std::string> names = {"", "Bob", "- none -", "Kite Shield", "Bare"};
    for (std::string_view section : kSections) {
        if (!file.openSection(section)) continue;
        std::string name;
        for (int i = 0; i < 64 && file.nextEntry(name); ++i) {
            check(name.size() <= 29, "a listed name within 29 bytes");
            names.push_back(name);
            file.skipLine();
        }
    }

    for (const Op& op : ops) {
        const std::string& name = names[op.name % names.size()];
        const std::string_view section = kSections[op.section];
        std::int32_t value = 0;
        std::string text;
        switch (op.kind) {
        case List:
            if (file.openSection(section)) {
                while (file.nextEntry(text)) {
                    check(text.size() <= 29, "a listed name within 29 bytes");
                    file.skipLine();
                }
            }
            break;
        case LookupInt: file.lookupInt(section, name, op.field, value); break;
        case LookupText:
            file.lookupText(section, name, op.field, text);
            check(text.size() <= 29, "a text field within 29 bytes");
            break;
        case Steps: runSteps(file, op, names); break;
        case EntryLines: {
            const std::string before = readBytes(path);
            const SectionFile::EntryLines lines = file.editableEntryLines(section, name);
            check(lines.numbered >= 0 && lines.numbered <= lines.count, "numbered lines are counted lines");
            check(!name.empty() || lines.count == 0, "an empty name counts no line");
            check(readBytes(path) == before, "counting changes nothing");
            break;
        }
        default: runEdit(file, files, op, names, readOnly); break;
        }
    }
    return 0;
}
