#include <benchmark/benchmark.h>

#include "capacity/capacity.h"

/* One spool per case; the counter reports nanoseconds per layer. */
static void run(benchmark::State &state, double sw, double od, double id, double lw, double layers)
{
	double yards = 0;
	for (auto _ : state) {
		benchmark::DoNotOptimize(Spool_Capacity(sw, od, id, lw, &yards));
		benchmark::DoNotOptimize(yards);
	}
	state.counters["layers"] = layers;
	if (layers > 0)
		state.counters["ns_per_layer"] = benchmark::Counter(layers,
			benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

static void BM_TypicalSpool(benchmark::State &state)
{
	run(state, 3.5, 6, 1.5, 0.02, 113);
}

static void BM_MillionLayers(benchmark::State &state)
{
	/* hub radius 0.5, outer radius 1000.5, line 0.001 in */
	run(state, 1, 2001, 1, 0.001, 1e6);
}

static void BM_AtBound(benchmark::State &state)
{
	/* the widest spool the model still computes with a 1 in line */
	run(state, 1, 2 * MAX_LAYERS, 0, 1, MAX_LAYERS);
}

static void BM_RefusedPastBound(benchmark::State &state)
{
	run(state, 1, 2 * MAX_LAYERS + 4, 0, 1, 0);
}

BENCHMARK(BM_TypicalSpool);
BENCHMARK(BM_MillionLayers)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AtBound)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RefusedPastBound);

BENCHMARK_MAIN();
