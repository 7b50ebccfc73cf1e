#pragma once

#include "forwardingwaits.h"

// The window's timed delays pace a person reading the status bar; on the command line they
// end at once. Every other wait is the real one.
class QuickWaits : public ForwardingWaits {
public:
    using ForwardingWaits::ForwardingWaits;

    bool Delay(float) override { return !Stopped(); }
};
