#pragma once

// The hot loops are written once. On x86-64 each entry marked QV_KERNEL is
// built twice from its one body, for the plain x86-64 that the build targets
// and for AVX2 (which brings POPCNT), and the loader picks the clone that
// this processor runs; the templates it inlines are compiled for the
// clone's instruction set, vector types included. Elsewhere the body is
// built once, for the target.
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define QV_KERNEL __attribute__((target_clones("avx2", "default")))
#else
#define QV_KERNEL
#endif
