#pragma once
// Reads a JSON result written by --format json back into a uses graph, for the diff.
#include "analysis/UnitGraph.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace ut::report {

/// A result that cannot be read, or is not a result; the message names the file.
class EResultError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

/// The units, their sizes and their uses entries of status "unit", and with `notFound` the
/// names of "notFound". Throws EResultError.
UnitGraph ReadResultGraph(const std::string& fileName,
                          std::vector<std::string>* notFound = nullptr);

} // namespace ut::report
