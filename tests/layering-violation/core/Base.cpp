#include "Base.h"
#include "Shell.h"
