#pragma once
// The Pascal source analysis: the tokenizer (TUnitrace) and the unit record (TUnit, TProject).
#include "scanner/Unit.h"
#include "scanner/UnitraceTokenizer.h"
