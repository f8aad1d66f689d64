#include "app/Fonts.h"

#include <QFile>
#include <QFontDatabase>
#include <QFontMetricsF>

namespace {
constexpr const char* kFace = "Tahoma";
constexpr const char* kFaceFile = "/usr/share/wine/fonts/tahoma.ttf";  // Debian's fonts-wine
}  // namespace

QString ProgramFaceFamily() {
    static const QString family = [] {
        if (QFontDatabase::families().contains(kFace)) {
            return QString(kFace);
        }
        if (QFile::exists(kFaceFile)) {
            const int id = QFontDatabase::addApplicationFont(kFaceFile);
            const QStringList loaded = QFontDatabase::applicationFontFamilies(id);
            if (!loaded.isEmpty()) {
                return loaded.first();
            }
        }
        return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    }();
    return family;
}

QFont FontForCellHeight(const QString& family, int cellHeight, int weight) {
    QFont font(family);
    font.setWeight(static_cast<QFont::Weight>(weight));
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    // The largest em whose line (ascent plus descent, as the face is rendered at that size)
    // fits the cell.
    int em = std::max(1, cellHeight);
    for (; em > 1; --em) {
        font.setPixelSize(em);
        const QFontMetricsF metrics(font);
        if (metrics.ascent() + metrics.descent() <= cellHeight + 0.5) {
            break;
        }
    }
    font.setPixelSize(em);
    return font;
}

FontTable CreateFontTable() {
    const QString family = ProgramFaceFamily();
    auto make = [&](int cellHeight, int escapement, int weight) {
        return ProgramFont{FontForCellHeight(family, cellHeight, weight), cellHeight, escapement,
                           weight};
    };
    FontTable fonts;
    fonts.LabelFont = make(14, 2400, 200);
    fonts.UiFont = make(14, 0, 100);
    fonts.TitleFont = make(20, 0, 100);
    fonts.AltLabelFont = make(14, 300, 200);
    return fonts;
}
