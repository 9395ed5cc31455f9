#pragma once
// One value of the monitor drawn over the last minute, broken where a reply was missing.
#include "line/drivemonitor.h"

#include <QChartView>
#include <vector>

class QLineSeries;
class QValueAxis;

class MonitorCurve : public QChartView {
    Q_OBJECT
  public:
    static constexpr double WindowSeconds = 60;
    static constexpr double GrowFromSeconds = 10;

    MonitorCurve(MonitorRead read, const QColor& color, QWidget* parent = nullptr);
    void setCaption(const QString& caption);
    // Draws the samples of the last minute before the newest one. Samples further apart than
    // `gapSeconds` (the monitor was stopped or paused) are not joined.
    void plot(const std::deque<MonitorSample>& samples, double gapSeconds);
    // Points drawn, over all pieces (for tests).
    int pointCount() const;

  private:
    QLineSeries* piece(size_t index);

    MonitorRead read_;
    QColor color_;
    QValueAxis* x_;
    QValueAxis* y_;
    std::vector<QLineSeries*> pieces_;
};
