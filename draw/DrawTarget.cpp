#include "DrawTarget.h"

#include "Units.h"

namespace zukaro::draw {

UnitSize twipsPerUnit(ScaleMode mode) {
    switch (mode) {
        case ScaleMode::Twips:
            return {1.0, 1.0};
        case ScaleMode::Points:
            return {20.0, 20.0};
        case ScaleMode::Characters:
            return {120.0, 240.0};
        case ScaleMode::Inches:
            return {kTwipsPerInch, kTwipsPerInch};
        case ScaleMode::Millimeters:
            return {kTwipsPerMm, kTwipsPerMm};
        case ScaleMode::Centimeters:
            return {10 * kTwipsPerMm, 10 * kTwipsPerMm};
        case ScaleMode::Pixels:
        case ScaleMode::User:
            break;
    }
    return {};
}

}  // namespace zukaro::draw
