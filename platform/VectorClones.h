#pragma once

// Hot pixel loops are built twice, for the x86-64 baseline and for AVX2; the
// loader picks the one the processor runs.
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__) && defined(__linux__)
#define TAMSEL_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define TAMSEL_VECTOR_CLONES
#endif

// Loops whose speed rests on byte shuffles and paired 16-bit multiplies, which
// no compiler finds by itself, are written for AVX2 by hand; TAMSEL_AVX2 marks
// such a function, and HasAvx2() says at run time whether it may be called.
// Avx2KernelsOff() lets the tests hold the kernels to the portable loops.
#if (defined(__GNUC__) || defined(__clang__)) && defined(__x86_64__)
#define TAMSEL_AVX2_KERNELS 1
#define TAMSEL_AVX2 __attribute__((target("avx2")))
namespace tamsel {
inline bool& Avx2KernelsOff()
{
    static bool off = false;
    return off;
}
inline bool HasAvx2()
{
    static const bool has = __builtin_cpu_supports("avx2");
    return has && !Avx2KernelsOff();
}
}  // namespace tamsel
#else
#define TAMSEL_AVX2_KERNELS 0
#endif
