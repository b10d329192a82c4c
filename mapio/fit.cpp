#include "mapio/fit.h"

#include <algorithm>

constexpr double kFitMargin = 10.0;

Fit fitBox(double minX, double minY, double maxX, double maxY)
{
    const double width = maxX - minX;
    const double height = maxY - minY;
    Fit fit;
    if (width > 0.0 || height > 0.0) {
        const double across = width > 0.0 ? (kFitWidth - 2 * kFitMargin) / width : 1e300;
        const double down = height > 0.0 ? (kFitHeight - 2 * kFitMargin) / height : 1e300;
        fit.scale = std::min(across, down);
    }
    fit.offsetX = (kFitWidth - width * fit.scale) / 2.0 - minX * fit.scale;
    fit.offsetY = (kFitHeight - height * fit.scale) / 2.0 - minY * fit.scale;
    return fit;
}
