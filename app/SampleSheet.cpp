#include "SampleSheet.h"

#include <array>

#include "BuiltInValues.h"
#include "DrawTarget.h"

namespace zukaro {
namespace {

struct SampleLabel {
    const char16_t* jan;
    const char16_t* maker;
    const char16_t* product;
    const char16_t* spec;
    const char16_t* lot;
    const char16_t* price;
};

// Made-up makers and products; the codes use the Japanese 45/49 prefixes. Maker names stay
// within 6 characters and product names within 13, the limits of the entry fields.
constexpr std::array<SampleLabel, 12> kLabels{{
    {u"4901234567894", u"山田食品", u"国産丸大豆しょうゆ", u"1L", u"A-0412", u"398"},
    {u"49123456", u"北海乳業", u"のむヨーグルト", u"500ml", u"B-1107", u"178"},
    {u"4512345678906", u"さくら製菓", u"いちご大福", u"6個入", u"C-0301", u"480"},
    {u"4900000123456", u"青空飲料", u"緑茶", u"2L", u"D-2201", u"198"},
    {u"4571200003017", u"山田食品", u"本みりん", u"500ml", u"A-0415", u"358"},
    {u"4539012345671", u"みなと水産", u"さば味噌煮缶", u"190g", u"E-0930", u"248"},
    {u"4902222333347", u"北海乳業", u"無塩バター", u"200g", u"B-1121", u"598"},
    {u"4567890123456", u"さくら製菓", u"塩せんべい", u"12枚", u"C-0318", u"298"},
    {u"4912345000019", u"田中製麺", u"手延べそうめん", u"250g×3", u"F-0601", u"680"},
    {u"4587654321096", u"青空飲料", u"炭酸水レモン", u"500ml", u"D-2214", u"98"},
    {u"4901111222236", u"みなと水産", u"焼きのり", u"全形10枚", u"E-1002", u"450"},
    {u"4545454545456", u"田中製麺", u"十割そば", u"200g", u"F-0615", u"398"},
}};

}  // namespace

SheetState sampleSheet() {
    SheetState sheet;
    applyDefaultPattern(sheet);
    sheet.sheetX = kStartUpOrigin.x;
    sheet.sheetY = kStartUpOrigin.y;
    // The outline bars in a quiet blue.
    sheet.layout.縁取 = true;
    sheet.layout.borderColor = draw::rgb(0x2a, 0x6f, 0xb8);
    // Price and 円 nudged right, clear of the spec and lot, as a shop would set them, and
    // fitted as a new user's layout fits them.
    sheet.layout.priceX = 5;
    sheet.layout.yenX = 3;
    sheet.layout.fitPrice = true;
    int n = 1;
    for (const SampleLabel& label : kLabels) {
        sheet.setLabel(n++, {QString::fromUtf16(label.jan), QString::fromUtf16(label.maker),
                             QString::fromUtf16(label.product), QString::fromUtf16(label.spec),
                             QString::fromUtf16(label.lot), QString::fromUtf16(label.price)});
    }
    return sheet;
}

}  // namespace zukaro
