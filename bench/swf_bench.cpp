// Google Benchmark: the cost of reading a wink and of drawing one of its frames.
#include <benchmark/benchmark.h>

#include "swf_parser.h"
#include "swf_player.h"
#include "swf_raster.h"
#include "wink_art.h"

namespace {

void BM_RenderWinkFrame(benchmark::State& state, const swf::WinkInfo& info) {
  const std::vector<uint8_t> bytes = swf::makeWink(info.name);
  swf::ParseResult parsed = swf::parseMovie(bytes);
  if (!parsed.ok()) {
    state.SkipWithError("wink does not parse");
    return;
  }
  swf::Player player(parsed.movie);
  player.gotoFrame(info.previewFrame);
  swf::FrameBuffer fb;
  fb.resize(300, 300);
  for (auto _ : state) {
    swf::renderFrame(parsed.movie, player.displayList(), fb);
    benchmark::DoNotOptimize(fb.pixels.data());
  }
}

void BM_ParseWink(benchmark::State& state, const swf::WinkInfo& info) {
  const std::vector<uint8_t> bytes = swf::makeWink(info.name);
  for (auto _ : state) {
    swf::ParseResult parsed = swf::parseMovie(bytes);
    benchmark::DoNotOptimize(parsed.movie.frames.data());
  }
}

const int registered = [] {
  for (const swf::WinkInfo& info : swf::winkCatalog()) {
    benchmark::RegisterBenchmark(("RenderFrame300/" + info.name).c_str(), BM_RenderWinkFrame, info)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("Parse/" + info.name).c_str(), BM_ParseWink, info)
        ->Unit(benchmark::kMicrosecond);
  }
  return 0;
}();

}  // namespace

BENCHMARK_MAIN();
