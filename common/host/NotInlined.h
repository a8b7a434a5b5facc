#pragma once

// Marks a function the compiler must keep out of line: the rare path of a
// function called millions of times, so that the common path does not pay
// for saving the registers the rare one needs.
#if defined(_MSC_VER)
#define CEDXM_NOT_INLINED __declspec(noinline)
#else
#define CEDXM_NOT_INLINED __attribute__((noinline))
#endif
