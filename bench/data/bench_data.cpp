// The data files at scale: a charfile.cfg of 10,000 characters (5,000 per
// side). Loading one character into the window is nine lookups (integer
// fields 1 to 7, text fields 9 and 10), each a scan from the top of the file;
// the bar is 50 ms. Saving one is a replaceEntry, which rewrites the whole
// file through the temporary file and flushes it to the disk; the bar is
// 100 ms. The worst case is the last character of the last section.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>

#include <benchmark/benchmark.h>

#include "data/platform_file_system.h"
#include "data/records.h"
#include "data/section_file.h"

namespace skarn {
namespace {

constexpr int kPerSide = 5000;

std::string characterName(int i) {
    std::string name = "Fighter Number ";
    name += std::to_string(i);
    return name;
}

// A temporary directory holding the 10,000-character file, made once.
class BigCharFile {
public:
    BigCharFile() {
        std::random_device random;
        do {
            std::string name = "skarn-bench-";
            name += std::to_string(random());
            dir_ = std::filesystem::temp_directory_path() / name;
        } while (!std::filesystem::create_directory(dir_));
        path_ = (dir_ / "charfile.cfg").string();
        std::string text;
        for (std::string_view section : {kYourChars, kOppChars}) {
            text += '[';
            text += section;
            text += "]\r\n";
            for (int i = 0; i < kPerSide; ++i) {
                text += FormatCharacterLine(characterName(i), 100 + i % 300, 90, 100, i % 4, 30,
                                            100, 80, i % 3 ? "Kite Shield" : "- none -",
                                            "Maul of the Deep Forge") +
                        "\r\n";
            }
        }
        std::ofstream(path_, std::ios::binary) << text;
        bytes_ = text.size();
    }
    ~BigCharFile() {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    const std::string& path() const { return path_; }
    std::size_t bytes() const { return bytes_; }

private:
    std::filesystem::path dir_;
    std::string path_;
    std::size_t bytes_ = 0;
};

BigCharFile& bigFile() {
    static BigCharFile file;
    return file;
}

// What selecting a character does: integer fields 1 to 7, then the shield
// and the weapon names.
bool loadCharacter(SectionFile& file, std::string_view section, const std::string& name) {
    std::int32_t values[7];
    for (int n = 1; n <= 7; ++n) {
        if (!file.lookupInt(section, name, n, values[n - 1])) return false;
    }
    std::string shield, weapon;
    return file.lookupText(section, name, CharacterRecord::shieldName, shield) &&
           file.lookupText(section, name, CharacterRecord::weaponName, weapon);
}

void BM_LoadCharacter(benchmark::State& state, std::string_view section, int index) {
    PlatformFileSystem files;
    SectionFile file(bigFile().path(), files, SectionFile::Mode::ReadOnly);
    const std::string name = characterName(index);
    for (auto _ : state) {
        if (!loadCharacter(file, section, name)) state.SkipWithError("character not found");
    }
    std::string label = "bar 50 ms; file of ";
    label += std::to_string(bigFile().bytes() / 1024);
    label += " KiB";
    state.SetLabel(label);
}

void BM_ListSection(benchmark::State& state) {
    PlatformFileSystem files;
    SectionFile file(bigFile().path(), files, SectionFile::Mode::ReadOnly);
    std::string name;
    for (auto _ : state) {
        int count = 0;
        if (file.openSection(kOppChars)) {
            while (file.nextEntry(name)) {
                ++count;
                file.skipLine();
            }
        }
        if (count != kPerSide) state.SkipWithError("wrong listing");
    }
}

void BM_ReplaceEntry(benchmark::State& state, int index) {
    PlatformFileSystem files;
    SectionFile file(bigFile().path(), files);
    const std::string name = characterName(index);
    int round = 0;
    for (auto _ : state) {
        const std::string line = FormatCharacterLine(name, 100 + round++ % 2, 90, 100, 2, 30, 100,
                                                     80, "Kite Shield", "Maul of the Deep Forge");
        if (!file.replaceEntry(kOppChars, name, line)) state.SkipWithError("replace failed");
    }
    state.SetLabel("bar 100 ms");
}

BENCHMARK_CAPTURE(BM_LoadCharacter, first_of_first_section, kYourChars, 0)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LoadCharacter, last_of_last_section, kOppChars, kPerSide - 1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListSection)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReplaceEntry, middle_of_last_section, kPerSide / 2)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReplaceEntry, last_of_last_section, kPerSide - 1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace skarn

BENCHMARK_MAIN();
