#pragma once

// Raised by anything that ends the import at once and without a message: a field that is
// not hexadecimal, a file that cannot be read or written, a 16-bit count that overflows.
struct RaisedError {};
