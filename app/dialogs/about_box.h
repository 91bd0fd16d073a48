// The About box text.
#pragma once

#include <string>

namespace tarnwick {

inline constexpr char ApplicationTitle[] = "Tarnwick";

// Three lines joined by "\r\n": maker, product variant, version.
std::string AboutText(bool internalMode);

} // namespace tarnwick
