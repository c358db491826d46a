#include "FontNames.h"

#include <array>
#include <string_view>

namespace zukaro::draw {
namespace {

struct FaceMapping {
    std::string_view windowsName;
    std::string_view installed;
};

constexpr std::string_view kMincho = "IPAMincho";
constexpr std::string_view kPMincho = "IPAPMincho";
constexpr std::string_view kGothic = "IPAGothic";
constexpr std::string_view kPGothic = "IPAPGothic";

// Both spellings occur in saved layouts: the Japanese face name (full-width ＭＳ, an
// ordinary blank) and the English one.
constexpr std::array<FaceMapping, 16> kFaces{{
    {"ＭＳ 明朝", kMincho},
    {"MS Mincho", kMincho},
    {"ＭＳ Ｐ明朝", kPMincho},
    {"MS PMincho", kPMincho},
    {"ＭＳ ゴシック", kGothic},
    {"MS Gothic", kGothic},
    {"ＭＳ Ｐゴシック", kPGothic},
    {"MS PGothic", kPGothic},
    {"MS UI Gothic", kPGothic},
    {"メイリオ", kPGothic},
    {"Meiryo", kPGothic},
    {"Meiryo UI", kPGothic},
    {"ＭＳ 明朝 (本文)", kMincho},
    {"HG明朝E", kMincho},
    {"HGｺﾞｼｯｸE", kGothic},
    {"HG丸ｺﾞｼｯｸM-PRO", kPGothic},
}};

}  // namespace

std::string installedFace(const std::string& chosenName) {
    for (const FaceMapping& face : kFaces) {
        if (face.windowsName == chosenName) {
            return std::string(face.installed);
        }
    }
    return chosenName;
}

}  // namespace zukaro::draw
