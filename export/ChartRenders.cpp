#include "export/SaveChartImage.h"

const ChartRenders& ProgramChartRenders() {
    static const ChartRenders renders{&RenderViewChart, &RenderConstellationsChart,
                                      &RenderPerihelionChart, &RenderTravelChart,
                                      &RenderYearsChart};
    return renders;
}
