// The vector frame's points, 4 at once: AVX2 with FMA (built with -mavx2 -mfma; run only where
// the processor has them, vector_frame.cpp).
#define LUMORA_VECTOR_LANES 4
#define LUMORA_VECTOR_ENTRY RowsAvx2
#define LUMORA_VECTOR_GRID_ENTRY GridRowsAvx2
#include "engine/vector_rows.h"
