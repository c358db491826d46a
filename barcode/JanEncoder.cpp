#include "JanEncoder.h"

#include <array>
#include <cctype>
#include <cmath>
#include <string_view>

#include "HalfEven.h"
#include "Units.h"

namespace zukaro::Module1 {
namespace {

// EAN-13 number sets A (odd parity) and B (even parity), as in ISO/IEC 15420 table 1 /
// the GS1 EAN/UPC symbol tables; set C is set A with modules inverted.
constexpr std::array<std::string_view, 10> kDigitPatterns{
    "0001101-0100111", "0011001-0110011", "0010011-0011011", "0111101-0100001", "0100011-0011101",
    "0110001-0111001", "0101111-0000101", "0111011-0010001", "0110111-0001001", "0001011-0010111"};

// Leading-digit parity of the left half (ISO/IEC 15420 table 3), two hexadecimal digits per
// leading digit 0..9; a 1 bit means even parity (set B).
constexpr std::string_view kParityHex = "000B0D0E13191C15161A";

constexpr std::string_view kQuietZone = "00000000";
constexpr std::string_view kStart = "0202";
constexpr std::string_view kCentre = "03030";
constexpr std::string_view kEnd = "4040";

int digitValue(char c) {
    return c >= '0' && c <= '9' ? c - '0' : 0;
}

bool allDigits(const std::string& code) {
    for (char c : code) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

std::string leftCode(int digit) {
    return janDigitPatterns(digit).substr(0, 7);
}
std::string evenCode(int digit) {
    return janDigitPatterns(digit).substr(8, 7);
}

struct Twips {
    double x = 0.0, y = 0.0;
};

// Twips per unit of the modes the painter knows, millimetres by the bar grid's own rule.
bool knownUnit(draw::ScaleMode mode, Twips& out) {
    switch (mode) {
        case draw::ScaleMode::Twips:
            out = {1.0, 1.0};
            return true;
        case draw::ScaleMode::Points:
            out = {20.0, 20.0};
            return true;
        case draw::ScaleMode::Characters:
            out = {120.0, 240.0};
            return true;
        case draw::ScaleMode::Millimeters:
            out = {draw::kBarGridTwipsPerMm, draw::kBarGridTwipsPerMm};
            return true;
        case draw::ScaleMode::Centimeters:
            out = {10 * draw::kBarGridTwipsPerMm, 10 * draw::kBarGridTwipsPerMm};
            return true;
        default:
            return false;
    }
}

std::string modulePattern(const std::string& fullCode) {
    std::string pattern;
    pattern.reserve(113);
    pattern += kQuietZone;
    pattern += kStart;
    if (fullCode.size() == 8) {
        for (std::size_t i = 0; i < 4; ++i) {
            pattern += leftCode(digitValue(fullCode[i]));
        }
        pattern += kCentre;
        for (std::size_t i = 4; i < 8; ++i) {
            pattern += invertModules(leftCode(digitValue(fullCode[i])));
        }
    } else {
        const std::string parity = janParityPattern(digitValue(fullCode[0]));
        for (std::size_t i = 1; i < 7; ++i) {
            const int d = digitValue(fullCode[i]);
            pattern += parity[i - 1] == 'E' ? evenCode(d) : leftCode(d);
        }
        pattern += kCentre;
        for (std::size_t i = 7; i < 13; ++i) {
            pattern += invertModules(leftCode(digitValue(fullCode[i])));
        }
    }
    pattern += kEnd;
    pattern += kQuietZone;
    return pattern;
}

draw::WinColor moduleColor(char module) {
    return module == '0' ? draw::kWhite : draw::kBlack;
}

}  // namespace

std::string janDigitPatterns(int digit) {
    return std::string(kDigitPatterns[digit >= 1 && digit <= 9 ? digit : 0]);
}

std::string invertModules(const std::string& modules) {
    std::string out = modules;
    for (char& c : out) {
        if (c == '0') {
            c = '1';
        } else if (c == '1') {
            c = '0';
        }
    }
    return out;
}

std::string hexToParityLetters(const std::string& hex) {
    std::string letters;
    letters.reserve(hex.size() * 4);
    for (char raw : hex) {
        const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(raw)));
        int value = 0;
        if (c >= '0' && c <= '9') {
            value = c - '0';
        } else if (c >= 'A' && c <= 'F') {
            value = c - 'A' + 10;
        }
        for (int bit = 3; bit >= 0; --bit) {
            letters += (value >> bit) & 1 ? 'E' : 'O';
        }
    }
    return letters;
}

std::string janParityPattern(int leadingDigit) {
    if (leadingDigit < 0 || leadingDigit > 9) {
        leadingDigit = 0;
    }
    const std::string letters =
        hexToParityLetters(std::string(kParityHex.substr(2 * leadingDigit, 2)));
    return letters.substr(2);
}

std::int16_t janCheckDigit(std::string& code, std::int16_t& checkDigit) {
    const std::size_t n = code.size();
    const bool carries = n == 13 || n == 8;
    const int carried = carries ? digitValue(code.back()) : 0;

    std::string data;
    if (n >= 13) {
        data = code.substr(0, 12);
    } else if (n >= 9) {
        data = std::string(12 - n, '0') + code;
    } else if (n == 8) {
        data = code.substr(0, 7);
    } else {
        data = std::string(7 - n, '0') + code;
    }
    code = data;

    // Seven data digits get five leading zeros, which turns the EAN-13 weights 1,3,1,3...
    // into the EAN-8 weights 3,1,3,1...
    const std::string work = std::string(12 - data.size(), '0') + data;
    int sum = 0;
    for (std::size_t i = 0; i < 12; ++i) {
        sum += digitValue(work[i]) * (i % 2 == 0 ? 1 : 3);
    }
    checkDigit = static_cast<std::int16_t>((10 - sum % 10) % 10);
    return carries && carried != checkDigit ? 1 : 0;
}

std::int16_t drawJanBarcode(draw::DrawTarget& target, std::string code, double x1, double y1,
                            double x2, double y2) {
    // Letters would be read as 0 and print bars of another, valid-looking number.
    if (!allDigits(code)) {
        return 1;
    }
    std::int16_t checkDigit = 0;
    if (const std::int16_t refused = janCheckDigit(code, checkDigit); refused != 0) {
        return refused;
    }
    const std::string fullCode = code + static_cast<char>('0' + checkDigit);
    const std::string pattern = modulePattern(fullCode);
    const int modules = static_cast<int>(pattern.size());

    const draw::ScaleMode saved = target.scaleMode();
    target.setScaleMode(draw::ScaleMode::Pixels);
    const draw::PixelPitch pitch =
        target.isPrinter() ? target.printerTwipsPerPixel() : target.screenTwipsPerPixel();

    Twips unit;
    const bool pixels = saved == draw::ScaleMode::Pixels;
    if (pixels || knownUnit(saved, unit)) {
        long span, left, top, height;
        if (pixels) {
            span = static_cast<long>(std::floor(x2 - x1));
            left = static_cast<long>(std::floor(x1));
            top = static_cast<long>(std::floor(y1));
            height = static_cast<long>(std::floor(y2 - y1));
        } else {
            span = static_cast<long>(std::floor((x2 - x1) * unit.x / pitch.x));
            left = static_cast<long>(std::floor(x1 * unit.x / pitch.x));
            top = static_cast<long>(std::floor(y1 * unit.y / pitch.y));
            height = static_cast<long>(std::floor((y2 - y1) * unit.y / pitch.y));
        }
        const long mw = span / modules;
        if (mw >= 1) {
            for (int i = 0; i < modules; ++i) {
                const double x = static_cast<double>(left + i * mw);
                target.fillBox(x, static_cast<double>(top), x + static_cast<double>(mw - 1),
                               static_cast<double>(top + height), moduleColor(pattern[i]));
            }
            target.setScaleMode(saved);
            return 0;
        }
    }

    // Too narrow for one pixel per module, or units without a fixed size: paint in the
    // target's own units with modules a whole number of hundredths wide.
    target.setScaleMode(saved);
    const double w =
        static_cast<double>(static_cast<long>(roundHalfEven((x2 - x1) * 100.0)) / modules) / 100.0;
    for (int i = 0; i < modules; ++i) {
        const double x = x1 + i * w;
        target.fillBox(x, y1, x + (w - 0.01), y1 + (y2 - y1), moduleColor(pattern[i]));
    }
    return 0;
}

}  // namespace zukaro::Module1
