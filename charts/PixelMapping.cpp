#include "charts/PixelMapping.h"

double ViewVerticalScale(QSize mainClientSize) {
    if (mainClientSize.width() <= 0) {
        mainClientSize = QSize(1920, 1080);
    }
    const double aspect =
        static_cast<double>(mainClientSize.width()) / static_cast<double>(mainClientSize.height());
    return kViewPixelsPerDegree / aspect;
}
