// The random games now live beside the generated records; the benchmarks
// include this name.
#pragma once

#include "record_gen.h"
