#include "ui/tools/monitor_curve.h"

#include <QLineSeries>
#include <QValueAxis>
#include <algorithm>

MonitorCurve::MonitorCurve(MonitorRead read, const QColor& color, QWidget* parent)
    : QChartView(parent), read_(read), color_(color) {
    auto* chart = new QChart;
    chart->legend()->hide();
    chart->setMargins(QMargins(4, 4, 4, 4));
    x_ = new QValueAxis(chart);
    x_->setLabelFormat("%.0f s");
    x_->setTickType(QValueAxis::TicksDynamic);
    x_->setTickAnchor(0);
    x_->setRange(0, GrowFromSeconds);
    y_ = new QValueAxis(chart);
    y_->setLabelFormat("%.0f");
    y_->setRange(0, 1);
    chart->addAxis(x_, Qt::AlignBottom);
    chart->addAxis(y_, Qt::AlignLeft);
    setChart(chart);
    setRenderHint(QPainter::Antialiasing);
    setMinimumHeight(170);
}

void MonitorCurve::setCaption(const QString& caption) {
    chart()->setTitle(caption);
}

QLineSeries* MonitorCurve::piece(size_t index) {
    while (pieces_.size() <= index) {
        auto* series = new QLineSeries(chart());
        series->setPen(QPen(color_, 2));
        chart()->addSeries(series);
        series->attachAxis(x_);
        series->attachAxis(y_);
        pieces_.push_back(series);
    }
    return pieces_[index];
}

void MonitorCurve::plot(const std::deque<MonitorSample>& samples, double gapSeconds) {
    const double newest = samples.empty() ? 0 : static_cast<double>(samples.back().ms) / 1000.0;
    const double from = std::max(0.0, newest - WindowSeconds);
    std::vector<QList<QPointF>> runs(1);
    double lo = 0, hi = 0, last = -1e300;
    bool any = false;
    // Walk back only as far as the window reaches.
    auto first = std::lower_bound(samples.begin(), samples.end(), from,
                                  [](const MonitorSample& s, double t) { return s.ms / 1000.0 < t; });
    for (auto it = first; it != samples.end(); ++it) {
        const double t = static_cast<double>(it->ms) / 1000.0;
        const auto& v = it->value[read_];
        if (!v || t - last > gapSeconds) {
            if (!runs.back().isEmpty()) runs.emplace_back();
            if (!v) continue;
        }
        const double y = static_cast<double>(*v);
        lo = any ? std::min(lo, y) : y;
        hi = any ? std::max(hi, y) : y;
        any = true;
        runs.back().append(QPointF(t, y));
        last = t;
    }
    for (size_t k = 0; k < std::max(runs.size(), pieces_.size()); ++k)
        piece(k)->replace(k < runs.size() ? runs[k] : QList<QPointF>());
    // The axis grows with the recording until it spans the whole window, then scrolls.
    const double to = std::max(GrowFromSeconds, newest);
    x_->setTickInterval(to - from <= 2 * GrowFromSeconds ? 2 : 10);
    x_->setRange(from, to);
    if (!any) return;
    const double margin = hi > lo ? (hi - lo) * 0.05 : std::max(1.0, std::abs(hi) * 0.05);
    // A curve that never goes below zero keeps zero as its floor.
    y_->setRange(lo >= 0 ? std::max(0.0, lo - margin) : lo - margin, hi + margin);
    y_->applyNiceNumbers(); // round tick values
}

int MonitorCurve::pointCount() const {
    int n = 0;
    for (const QLineSeries* s : pieces_)
        n += static_cast<int>(s->count());
    return n;
}
