#pragma once

#include <string>

namespace zukaro::draw {

// The Windows Japanese faces that layouts name ("ＭＳ 明朝", "MS PGothic", ...) do not exist
// here. This maps them once onto the IPA fonts: fixed-pitch faces to fixed-pitch ones
// (the product name is centred with spaces, which needs equal widths), proportional to
// proportional. Any other name comes back unchanged. The layout keeps the name the user
// chose; only drawing uses the mapped face.
std::string installedFace(const std::string& chosenName);

}  // namespace zukaro::draw
