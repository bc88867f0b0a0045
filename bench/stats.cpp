// The clock and the statistics of the samples.
#include <stdlib.h>
#include <string.h>

#include "bench.h"

namespace bench {

namespace {

LONGLONG g_frequency = 1;

int CompareDoubles(const void* a, const void* b) {
  double x = *static_cast<const double*>(a), y = *static_cast<const double*>(b);
  return x < y ? -1 : x > y ? 1 : 0;
}

}  // namespace

void StartClock() {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  g_frequency = frequency.QuadPart;
}

LONGLONG Qpc() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}

LONGLONG QpcFrequency() { return g_frequency; }

double Micro(LONGLONG ticks) { return static_cast<double>(ticks) * 1e6 / static_cast<double>(g_frequency); }

void Add(Samples* samples, double value) {
  if (samples->n < kMaxSamples) samples->v[samples->n++] = value;
}

double Quantile(const Samples* samples, double q) {
  if (samples->n == 0) return 0;
  double sorted[kMaxSamples];
  memcpy(sorted, samples->v, samples->n * sizeof(double));
  qsort(sorted, samples->n, sizeof(double), CompareDoubles);
  double at = q * (samples->n - 1);
  int low = static_cast<int>(at);
  if (low >= samples->n - 1) return sorted[samples->n - 1];
  return sorted[low] + (at - low) * (sorted[low + 1] - sorted[low]);
}

double Median(const Samples* samples) { return Quantile(samples, 0.5); }

}  // namespace bench
