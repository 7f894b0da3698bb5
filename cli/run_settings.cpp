#include "cli/run_settings.h"

#include <cmath>
#include <cstdio>
#include <ctime>
#include <string>

#include "cli/output.h"

namespace skarn::cli {

namespace {

// Runs expected to last longer than this are announced on stderr.
constexpr double kAnnounceSeconds = 10.0;
// The most fights of a run with a target error, unless --fights says.
constexpr std::int64_t kTargetFightCap = 10'000'000;

std::string durationText(double seconds) {
    const auto whole = static_cast<long long>(std::ceil(seconds));
    if (whole >= 3600)
        return std::to_string(whole / 3600) + " h " + std::to_string(whole % 3600 / 60) + " min";
    if (whole >= 60) return std::to_string(whole / 60) + " min " + std::to_string(whole % 60) + " s";
    return std::to_string(whole) + " s";
}

std::uint32_t seedOf(const Arguments& args) {
    // The generator's state is 32 bits; the time is taken modulo 2^32.
    return args.seed ? *args.seed : static_cast<std::uint32_t>(std::time(nullptr));
}

}  // namespace

std::int64_t fightsOf(const Arguments& args, std::int64_t usual) {
    if (args.fights) return *args.fights;
    return args.targetError ? kTargetFightCap : usual;
}

analysis::RunSettings settingsOf(const Arguments& args, std::int64_t fights, Progress& progress) {
    analysis::RunSettings settings;
    settings.mode = args.mode;
    settings.seed = seedOf(args);
    settings.fights = fights;
    settings.threads = args.threads;
    settings.targetError = args.targetError;
    settings.targetResult = args.targetResult;
    settings.progress = progress.callback();
    settings.fewerThreads = [](int made, int wanted) {
        // Once per command, though it may run several analyses.
        static bool warned = false;
        if (warned) return;
        warned = true;
        printWarnings({"the system made only " + std::to_string(made) + " of the " +
                       std::to_string(wanted) + " threads asked for; fighting on " +
                       (made == 0 ? std::string("one") : std::to_string(made)) +
                       " (the figures are the same)"});
    };
    return settings;
}

bool checkExpectedTime(const Arguments& args, const std::vector<analysis::Variant>& variants,
                       std::int64_t fights, int threads) {
    const double seconds = analysis::expectedSeconds(variants, args.mode, fights, threads);
    if (args.maxSeconds && seconds > *args.maxSeconds) {
        // A tenth of a second at least, else six digits: never "about 0.0 s".
        const std::string about =
            seconds >= 0.05 ? report::fixedText(seconds, 1) : report::shortText(seconds);
        printError("refusing to start: the run would take about " + about +
                   " s, more than --max-seconds " + report::shortText(*args.maxSeconds));
        return false;
    }
    if (seconds > kAnnounceSeconds) {
        std::fprintf(stderr, "skarn-cli: this will take %sabout %s (%lld fights%s)\n",
                     args.targetError ? "up to " : "", durationText(seconds).c_str(),
                     static_cast<long long>(fights * static_cast<std::int64_t>(variants.size())),
                     variants.size() > 1 ? " in all" : "");
    }
    return true;
}

std::optional<report::Target> targetOf(const Arguments& args, std::int64_t maxFights) {
    if (!args.targetError) return std::nullopt;
    return report::Target{args.targetResult.value_or(analysis::mainResult(args.mode)),
                          *args.targetError, maxFights};
}

Json targetJson(const report::Target& target, bool reached) {
    Json json = Json::object();
    json["result"] = analysis::resultKey(target.result);
    json["error"] = number(target.error);
    json["reached"] = reached;
    json["maxFights"] = target.maxFights;
    return json;
}

}  // namespace skarn::cli
