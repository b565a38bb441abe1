// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <benchmark/benchmark.h>

#include <exception>

// Registers a benchmark whose exceptions (a media file that could not be
// made, a player fault, a sound server that went away) end that benchmark
// with the error as its result, instead of ending the whole program and
// losing every figure of it. Used as BENCHMARK is:
// GUARDED_BENCHMARK(BM_Load)->DenseRange(0, 4);
inline benchmark::internal::Benchmark* RegisterGuarded(const char* name, void (*body)(benchmark::State&))
{
    return benchmark::RegisterBenchmark(name, [body](benchmark::State& state) {
        try {
            body(state);
        } catch (const std::exception& error) {
            state.SkipWithError(error.what());
        }
    });
}

#define GUARDED_BENCHMARK(function) \
    [[maybe_unused]] static benchmark::internal::Benchmark* const function##Registered = RegisterGuarded(#function, function)
