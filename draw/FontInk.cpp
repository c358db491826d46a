#include "FontInk.h"

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QMutex>
#include <QPainterPath>
#include <QTransform>
#include <algorithm>

#include "FontNames.h"
#include "Units.h"

namespace zukaro::draw {
namespace {

// Glyphs are measured at 1000 pixels per em and flattened at 200 units per em: curves stay
// within half a unit, 0.04 mm for a 48-pt digit.
constexpr double kMeasureEm = 1000;
constexpr double kFlattenScale = 0.2;
// A bold face made from a regular one is drawn with strokes an em/24 wider (FreeType's
// emboldening), half of it on each side.
constexpr double kBoldSpreadEms = 1.0 / 48;
// Enough distinct glyphs for any shop's sheets; past it the cache starts again.
constexpr qsizetype kMostGlyphs = 50000;

struct Glyph {
    std::shared_ptr<const GlyphOutline> outline;
    double advance = 0;  // ems
};

struct Face {
    QFont font;
    double ascent = 0;           // ems, from the top of the line to the baseline
    double underlineCentre = 0;  // ems below the top of the line
    double underlineWidth = 0;   // ems
    QHash<char32_t, Glyph> glyphs;
};

QMutex& cacheMutex() {
    static QMutex mutex;
    return mutex;
}

QHash<QString, Face>& faces() {
    static QHash<QString, Face> all;
    return all;
}

Face& faceFor(const TextStyle& style) {
    const QString key =
        style.face + QLatin1Char('|') + QChar(u'0' + style.bold) + QChar(u'0' + style.italic);
    auto found = faces().find(key);
    if (found != faces().end()) {
        return *found;
    }
    Face face;
    // The same families as the targets print with (PainterTarget).
    face.font.setFamilies({QString::fromStdString(installedFace(style.face.toStdString())),
                           QStringLiteral("IPAMincho")});
    face.font.setPixelSize(int(kMeasureEm));
    face.font.setBold(style.bold);
    face.font.setItalic(style.italic);
    face.font.setKerning(false);
    face.font.setHintingPreference(QFont::PreferNoHinting);
    const QFontMetricsF metrics(face.font);
    face.ascent = metrics.ascent() / kMeasureEm;
    face.underlineCentre = (metrics.ascent() + metrics.underlinePos()) / kMeasureEm;
    face.underlineWidth = metrics.lineWidth() / kMeasureEm;
    return *faces().insert(key, std::move(face));
}

const Glyph& glyphOf(Face& face, char32_t c) {
    auto found = face.glyphs.find(c);
    if (found != face.glyphs.end()) {
        return *found;
    }
    const QString text = QString::fromUcs4(&c, 1);
    QPainterPath path;
    path.addText(0, face.ascent * kMeasureEm, face.font, text);
    auto outline = std::make_shared<GlyphOutline>();
    const double unitsPerEm = kMeasureEm * kFlattenScale;
    for (const QPolygonF& polygon :
         path.toSubpathPolygons(QTransform::fromScale(kFlattenScale, kFlattenScale))) {
        auto& contour = outline->contours.emplace_back();
        for (const QPointF& p : polygon) {
            const InkPoint point{p.x() / unitsPerEm, p.y() / unitsPerEm};
            contour.push_back(point);
            outline->box = outline->box.united({point.x, point.y, point.x, point.y});
        }
    }
    Glyph glyph{std::move(outline), QFontMetricsF(face.font).horizontalAdvance(text) / kMeasureEm};
    return *face.glyphs.insert(c, std::move(glyph));
}

}  // namespace

Ink textInk(const TextStyle& style, const QString& text) {
    const double em = style.points * kMmPerPoint;
    Ink ink;
    QMutexLocker lock(&cacheMutex());
    if (faces().size() > 64 || std::any_of(faces().begin(), faces().end(), [](const Face& f) {
            return f.glyphs.size() > kMostGlyphs;
        })) {
        faces().clear();
    }
    Face& face = faceFor(style);
    double pen = 0;
    for (const uint c : text.toUcs4()) {
        const Glyph& glyph = glyphOf(face, c);
        ink.addGlyph(glyph.outline, pen, 0, em);
        pen += glyph.advance * em;
    }
    if (style.underline && pen > 0) {
        const double centre = face.underlineCentre * em, half = face.underlineWidth * em / 2;
        ink.addBox({0, centre - half, pen, centre + half});
    }
    if (style.bold) {
        ink.setSpread(kBoldSpreadEms * em);
    }
    return ink;
}

double textAdvance(const TextStyle& style, const QString& text) {
    const double em = style.points * kMmPerPoint;
    QMutexLocker lock(&cacheMutex());
    Face& face = faceFor(style);
    double pen = 0;
    for (const uint c : text.toUcs4()) {
        pen += glyphOf(face, c).advance * em;
    }
    return pen;
}

}  // namespace zukaro::draw
