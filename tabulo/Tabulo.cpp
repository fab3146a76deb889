#include "Tabulo.h"

int nTabulo = 0;

int fnTabulo(void) { return 42; }

CTabulo::CTabulo() noexcept = default;

CTabulo& CTabulo::operator=(const CTabulo&) noexcept { return *this; }
