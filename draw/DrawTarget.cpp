#include "DrawTarget.h"

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
            return {1440.0, 1440.0};
        case ScaleMode::Millimeters:
            return {1440.0 / 25.4, 1440.0 / 25.4};
        case ScaleMode::Centimeters:
            return {1440.0 / 2.54, 1440.0 / 2.54};
        case ScaleMode::Pixels:
        case ScaleMode::User:
            break;
    }
    return {};
}

}  // namespace zukaro::draw
