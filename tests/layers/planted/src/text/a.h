#pragma once
// Planted: the lowest layer reaching up.
#include "base/b.h"
