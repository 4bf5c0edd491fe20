// Errors the core raises for caller mistakes. The bindings translate them to
// Python's TypeError and ValueError; the core itself knows nothing of Python.
#pragma once

#include <stdexcept>
#include <string>

namespace tarnwick {

// An argument or record of the wrong kind (a record that is not a map, a
// coordinate that is not a number).
struct TypeError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// An argument of the right kind with an unusable value.
struct ValueError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

}  // namespace tarnwick
