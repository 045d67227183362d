// Tolvane::Exception beside std::runtime_error: construction, what() first and later, copies.
#include "common/RatioReporter.h"

#include <Tolvane/Exception.h>

#include <benchmark/benchmark.h>

#include <stdexcept>
#include <string>

namespace {

// Longer than the short-string buffer, as real messages are.
const std::string sc_Message = "Cannot load DLL 'libexample-plugin.so'.";
const std::wstring sc_WideMessage = L"Cannot load DLL 'libexample-plugin.so'.";

template <typename Error, typename Message>
void Construct(benchmark::State& state, const Message* message)
{
    for (auto _ : state)
    {
        Error error(*message);
        benchmark::DoNotOptimize(error);
    }
}

// Construction and the first what(): the conversion of a wide message happens here.
template <typename Error, typename Message>
void ConstructAndWhat(benchmark::State& state, const Message* message)
{
    for (auto _ : state)
    {
        Error error(*message);
        benchmark::DoNotOptimize(error.what());
    }
}

template <typename Error, typename Message>
void LaterWhat(benchmark::State& state, const Message* message)
{
    const Error error(*message);
    benchmark::DoNotOptimize(error.what());
    for (auto _ : state)
    {
        benchmark::DoNotOptimize(error.what());
    }
}

template <typename Error, typename Message>
void Copy(benchmark::State& state, const Message* message)
{
    const Error error(*message);
    benchmark::DoNotOptimize(error.what());
    for (auto _ : state)
    {
        Error copy(error);
        benchmark::DoNotOptimize(copy);
    }
}

template <typename Message>
void RegisterRows(const std::string& form, const Message* message)
{
    using Tolvane::Exception;
    using Peer = std::runtime_error;
    const std::string peer = "runtime_error";
    const auto name = [&](const char* row, const std::string& subject) {
        return "exception/" + std::string(row) + "-" + form + "/" + subject;
    };
    benchmark::RegisterBenchmark(name("construct", "tolvane").c_str(),
                                 Construct<Exception, Message>, message);
    benchmark::RegisterBenchmark(name("construct", peer).c_str(), Construct<Peer, std::string>,
                                 &sc_Message);
    benchmark::RegisterBenchmark(name("construct+first-what", "tolvane").c_str(),
                                 ConstructAndWhat<Exception, Message>, message);
    benchmark::RegisterBenchmark(name("construct+first-what", peer).c_str(),
                                 ConstructAndWhat<Peer, std::string>, &sc_Message);
    benchmark::RegisterBenchmark(name("later-what", "tolvane").c_str(),
                                 LaterWhat<Exception, Message>, message);
    benchmark::RegisterBenchmark(name("later-what", peer).c_str(), LaterWhat<Peer, std::string>,
                                 &sc_Message);
    benchmark::RegisterBenchmark(name("copy", "tolvane").c_str(), Copy<Exception, Message>,
                                 message);
    benchmark::RegisterBenchmark(name("copy", peer).c_str(), Copy<Peer, std::string>, &sc_Message);
}

} // namespace

int main(int argc, char** argv)
{
    // The peer always gets the narrow message: std::runtime_error has no wide form.
    RegisterRows("narrow", &sc_Message);
    RegisterRows("wide", &sc_WideMessage);
    return Tolvane::Bench::RunBenchmarks(argc, argv);
}
