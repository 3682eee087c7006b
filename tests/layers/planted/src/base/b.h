#pragma once
#include "text/a.h"
