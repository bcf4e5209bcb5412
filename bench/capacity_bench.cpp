#include <benchmark/benchmark.h>

#include "capacity/capacity.h"

typedef int Model(double, double, double, double, double *);

/* One spool per case, on the model as built (native extended where the
 * machine has it) or on the software type; the counter reports nanoseconds
 * per layer. */
static void run(benchmark::State &state, Model *model, double sw, double od, double id, double lw, double layers)
{
	double yards = 0;
	for (auto _ : state) {
		benchmark::DoNotOptimize(model(sw, od, id, lw, &yards));
		benchmark::DoNotOptimize(yards);
	}
	if (model == Spool_Capacity)
		state.SetLabel(X87_Chosen() ? "native x87 long double" : "software extended");
	state.counters["layers"] = layers;
	if (layers > 0)
		state.counters["ns_per_layer"] = benchmark::Counter(layers,
			benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

template <Model *model>
static void BM_TypicalSpool(benchmark::State &state)
{
	run(state, model, 3.5, 6, 1.5, 0.02, 113);
}

template <Model *model>
static void BM_MillionLayers(benchmark::State &state)
{
	/* hub radius 0.5, outer radius 1000.5, line 0.001 in */
	run(state, model, 1, 2001, 1, 0.001, 1e6);
}

template <Model *model>
static void BM_AtBound(benchmark::State &state)
{
	/* the widest spool the model still computes with a 1 in line */
	run(state, model, 1, 2 * MAX_LAYERS, 0, 1, MAX_LAYERS);
}

template <Model *model>
static void BM_RefusedPastBound(benchmark::State &state)
{
	run(state, model, 1, 2 * MAX_LAYERS + 4, 0, 1, 0);
}

BENCHMARK_TEMPLATE(BM_TypicalSpool, Spool_Capacity)->Name("BuiltIn/TypicalSpool");
BENCHMARK_TEMPLATE(BM_MillionLayers, Spool_Capacity)->Name("BuiltIn/MillionLayers")->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_AtBound, Spool_Capacity)->Name("BuiltIn/AtBound")->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_RefusedPastBound, Spool_Capacity)->Name("BuiltIn/RefusedPastBound");
BENCHMARK_TEMPLATE(BM_TypicalSpool, Spool_Capacity_Software)->Name("Software/TypicalSpool");
BENCHMARK_TEMPLATE(BM_MillionLayers, Spool_Capacity_Software)->Name("Software/MillionLayers")->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_AtBound, Spool_Capacity_Software)->Name("Software/AtBound")->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
