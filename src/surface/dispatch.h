// The single function that applies a message to the root widget.
#pragma once

#include <cstdint>

#include "model/message.h"
#include "surface/pagora.h"

namespace pagora::surface {

void dispatch(Pagora& app, Message message);

// Copies for the print service: limited to 1..99, rounded to the nearest
// whole number with halves to even; not a number gives 1.
std::uint16_t round_copies(double value);

}  // namespace pagora::surface
