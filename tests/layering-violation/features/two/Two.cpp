#include "Base.h"
#include "One.h"
