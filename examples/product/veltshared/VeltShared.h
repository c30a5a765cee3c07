// The sample product's shared library, installed in the System directory.
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

// The integer mean of count values (0 for none).
__declspec(dllimport) int VeltMean(const int* values, int count);

#ifdef __cplusplus
}
#endif
