// The vector frame's points, 8 at once: AVX-512 F, DQ and VL with FMA (built with those flags;
// run only where the processor and the system have them, vector_frame.cpp).
#define LUMORA_VECTOR_LANES 8
#define LUMORA_VECTOR_ENTRY RowsAvx512
#define LUMORA_VECTOR_GRID_ENTRY GridRowsAvx512
#include "engine/vector_rows.h"
