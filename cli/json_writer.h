#pragma once
// The command line's JSON writer is the output library's.

#include "output/json_writer.h"

namespace lamivex::cli {

using output::jsonQuoted;
using output::JsonWriter;

}  // namespace lamivex::cli
