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

/* The software loop's hardest spools, near the bound: a hub far below the
 * line's last place, a radius beyond 64 bits (each step rounded), turns
 * all below single's normal range (as many layers as there can be), and
 * turns a third of which round up to the next power of two. */
template <Model *model>
static void BM_HubBelowLine(benchmark::State &state)
{
	run(state, model, 1, 2 * (MAX_LAYERS - 1), 2e-30, 1, MAX_LAYERS - 1);
}

template <Model *model>
static void BM_RadiusBeyond64Bits(benchmark::State &state)
{
	run(state, model, 1, 0x1p25, 0x1p25 - 2, 0x1.0c6f7ep-22, 0x1p22 / 0x1.0c6f7ep0);
}

template <Model *model>
static void BM_SubnormalTurns(benchmark::State &state)
{
	run(state, model, 1, 0x1.45f2d4p-128, 0, 0x1p-149, 0x1.45f2d4p20);
}

template <Model *model>
static void BM_TurnsRoundedUp(benchmark::State &state)
{
	run(state, model, 1, 0x1.45f2d6p-2, 0x1.45f2d4p-2, 0x1.1p-48, 0x1p22 / 1.0625);
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
#define HARDEST(model, prefix) \
	BENCHMARK_TEMPLATE(BM_HubBelowLine, model)->Name(prefix "/HubBelowLine")->Unit(benchmark::kMillisecond); \
	BENCHMARK_TEMPLATE(BM_RadiusBeyond64Bits, model)->Name(prefix "/RadiusBeyond64Bits")->Unit(benchmark::kMillisecond); \
	BENCHMARK_TEMPLATE(BM_SubnormalTurns, model)->Name(prefix "/SubnormalTurns")->Unit(benchmark::kMillisecond); \
	BENCHMARK_TEMPLATE(BM_TurnsRoundedUp, model)->Name(prefix "/TurnsRoundedUp")->Unit(benchmark::kMillisecond)
HARDEST(Spool_Capacity, "BuiltIn");
HARDEST(Spool_Capacity_Software, "Software");
BENCHMARK_TEMPLATE(BM_TypicalSpool, Spool_Capacity_Software)->Name("Software/TypicalSpool");
BENCHMARK_TEMPLATE(BM_MillionLayers, Spool_Capacity_Software)->Name("Software/MillionLayers")->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_AtBound, Spool_Capacity_Software)->Name("Software/AtBound")->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
