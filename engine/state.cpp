// The engine state's planes, the start values of the animation and the grid size.
#include <cmath>
#include <cstdlib>
#include <new>

#include "engine/domain.h"
#include "engine/engine.h"
#include "engine/fpu_guard.h"

namespace lumora {

Plane::Plane(int rows, int columns)
    : values_(static_cast<long double*>(std::calloc(
          static_cast<size_t>(rows) * static_cast<size_t>(columns), sizeof(long double)))),
      columns_(columns) {
    if (!values_) throw std::bad_alloc();
}

Plane::~Plane() { std::free(values_); }

EngineState::EngineState() : Render(std::make_unique<Renderer>()) {}

EngineState::EngineState(int planeRows, int planeColumns)
    : PlaneX(planeRows, planeColumns), PlaneY(planeRows, planeColumns),
      PlaneZ(planeRows, planeColumns), Render(std::make_unique<Renderer>()) {}

void SeedAnimation(EngineState& state) {
    ExtendedPrecisionScope precision;  // k/300 and the like are rounded to 64 bits, not 53
    state.RotationRate1 = static_cast<long double>(Random(10)) * 0.0001L + 0.0001L;
    state.RotationRate2 = static_cast<long double>(Random(11)) * 0.0001L + 0.0001L;
    state.RotationRate3 = static_cast<long double>(Random(12)) * 0.0001L + 0.0001L;
    // Steps of 1/300, 1/500 and 1/800; every range ends just below 6.28.
    state.RotationAngle1 = static_cast<long double>(Random(1884)) / 300.0L;
    state.RotationAngle2 = static_cast<long double>(Random(3140)) / 500.0L;
    state.RotationAngle3 = static_cast<long double>(Random(5024)) / 800.0L;
}

void SetGridSize(EngineState& state, int width, int height) {
    state.GridWidth = width < 0 ? 0 : (width > MaxGridColumns ? MaxGridColumns : width);
    state.GridHeight = height < 0 ? 0 : (height > MaxGridRows ? MaxGridRows : height);
    state.FieldWidth = state.FieldHeight = state.FieldColumn = state.FieldRow = 0;
}

long double RoundHalfEven(long double x) {
    long double whole = std::floor(x);
    const long double fraction = x - whole;  // exact: whole and x share their leading bits
    if (fraction > 0.5L || (fraction == 0.5L && std::fmod(whole, 2.0L) != 0.0L)) whole += 1.0L;
    return whole;
}

int GridQuotient(int size, int divisor) {
    if (size <= 0) return 0;
    if (divisor < 1) divisor = 1;
    int quotient = size / divisor;
    const int remainder = size % divisor;
    // Compared as remainder against divisor - remainder, so that nothing overflows.
    if (remainder > divisor - remainder || (remainder == divisor - remainder && quotient % 2 != 0))
        ++quotient;
    return quotient;
}

void SizeGridToWindow(EngineState& state, int divisor) {
    SetGridSize(state, GridQuotient(state.WindowWidth, divisor),
                GridQuotient(state.WindowHeight, divisor));
}

}  // namespace lumora
