// Throughput of the unpacking path the setup runs for every member: the zip
// layer reading a member out of an in-memory archive, and the whole-buffer
// Lzma86 decode. Inputs are made here, so the numbers are repeatable.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

#include "PackageWriter.h"
#include "package/Lzma86.h"
#include "package/ZipArchive.h"

namespace {

// Code-like bytes: x86 call opcodes with nearby targets, mixed with text, so
// that the branch filter and the match finder both have work to do.
std::vector<uint8_t> ProgramLikeBytes(size_t size) {
  std::mt19937 rng(12345);
  std::vector<uint8_t> out;
  out.reserve(size);
  const char* text = "Korvo mail disk client module; ";
  while (out.size() < size) {
    switch (rng() % 3) {
      case 0: {
        out.push_back(0xE8);
        uint32_t rel = rng() % 4096;
        for (int i = 0; i < 4; ++i) out.push_back(uint8_t(rel >> (8 * i)));
        break;
      }
      case 1:
        for (const char* p = text; *p; ++p) out.push_back(uint8_t(*p));
        break;
      default:
        out.push_back(uint8_t(rng()));
    }
  }
  out.resize(size);
  return out;
}

void BM_Lzma86Decode(benchmark::State& state) {
  std::vector<uint8_t> plain = ProgramLikeBytes(size_t(state.range(0)));
  std::vector<uint8_t> packed;
  if (!EncodeLzma86(plain.data(), plain.size(), &packed)) {
    state.SkipWithError("encoding failed");
    return;
  }
  std::vector<uint8_t> out;
  for (auto _ : state) {
    if (Lzma86DecodeBuffer(packed.data(), packed.size(), &out) != LZMA86_OK) {
      state.SkipWithError("decoding failed");
      return;
    }
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * state.range(0));
}
BENCHMARK(BM_Lzma86Decode)->Arg(1 << 20)->Arg(8 << 20)->Unit(benchmark::kMillisecond);

void BM_ZipMemberToMemory(benchmark::State& state) {
  const bool deflated = state.range(1) != 0;
  std::vector<uint8_t> member = ProgramLikeBytes(size_t(state.range(0)));
  ZipBuilder builder;
  std::vector<uint8_t> archive;
  if (!builder.Add("x64_member.dll", member, deflated) || !builder.Finish(&archive)) {
    state.SkipWithError("archive could not be built");
    return;
  }
  HZIP zip = nullptr;
  if (OpenZipMemory(archive.data(), archive.size(), &zip) != ZR_OK) {
    state.SkipWithError("archive could not be opened");
    return;
  }
  std::vector<uint8_t> out(member.size());
  for (auto _ : state) {
    if (UnzipMemberToMemory(zip, 0, out.data(), out.size()) != ZR_OK) {
      state.SkipWithError("extraction failed");
      break;
    }
    benchmark::DoNotOptimize(out.data());
  }
  CloseZip(zip);
  state.SetBytesProcessed(int64_t(state.iterations()) * state.range(0));
}
BENCHMARK(BM_ZipMemberToMemory)->Args({4 << 20, 0})->Args({4 << 20, 1})->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
