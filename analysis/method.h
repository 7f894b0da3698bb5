#pragma once

// Plain values: any thread may use them.
namespace skarn::analysis {

// How an analysis was answered: worked out exactly from the laws of the
// swings (no interval, no seed), or by sampling fights (with intervals).
enum class Method { Exact, Sampled };

// "exact" or "sampled": the word in JSON and in text.
inline const char* methodKey(Method method) {
    return method == Method::Exact ? "exact" : "sampled";
}

}  // namespace skarn::analysis
