#pragma once

// Hot pixel loops are built twice, for the x86-64 baseline and for AVX2; the
// loader picks the one the processor runs.
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__) && defined(__linux__)
#define TAMSEL_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define TAMSEL_VECTOR_CLONES
#endif
