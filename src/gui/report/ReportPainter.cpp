#include "report/ReportPainter.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QSaveFile>
#include <algorithm>
#include <cmath>

namespace tovan::report {

namespace {

constexpr double kMarginMm = 15;
const QColor kLineColours[] = {QColor(0, 90, 181),   QColor(220, 50, 32), QColor(0, 140, 70),
                               QColor(150, 60, 170), QColor(230, 140, 0), QColor(0, 150, 160),
                               QColor(120, 80, 40),  QColor(200, 40, 130)};

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

QFont Sans(double points, bool bold = false) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    // No ligatures: "fi" stays two letters, so that the PDF's text reads and searches as it
    // was written.
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

QFont Mono(double points) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSizeF(points);
    return font;
}

// A step of 1, 2 or 5 times a power of ten giving about `count` divisions of `span`.
double NiceStep(double span, int count) {
    if (span <= 0) return 1;
    const double raw = span / count;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double m : {1.0, 2.0, 5.0})
        if (raw <= m * power) return m * power;
    return 10 * power;
}

// Lays the report out page by page; with a painter it also draws, without one it only counts
// the pages (the first pass, which gives "of N").
class Layout {
  public:
    Layout(const ReportDocument& doc, QPagedPaintDevice& device, QPainter* painter, int total)
        : doc_(doc), device_(device), painter_(painter), total_(total) {}

    int run() {
        bool first = true;
        for (const Section& section : doc_.sections) {
            const bool landscape = doc_.options.landscape || section.landscape;
            if (first || section.newPage || landscape != landscape_) {
                startPage(landscape, first);
                first = false;
            }
            for (const Block& block : section.blocks)
                std::visit([this](const auto& b) { draw(b); }, block);
        }
        return page_;
    }

  private:
    // Device pixels per point.
    double pt(double points) const { return points * device_.logicalDpiY() / 72.0; }
    QFontMetricsF metrics(const QFont& font) const { return QFontMetricsF(font, &device_); }

    QRectF pageRect(bool landscape) const {
        QPageLayout layout = device_.pageLayout();
        layout.setOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
        return QRectF(layout.paintRectPixels(device_.logicalDpiX()));
    }

    void startPage(bool landscape, bool first) {
        if (!first && painter_) {
            device_.setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
            device_.newPage();
        }
        landscape_ = landscape;
        ++page_;
        const QRectF whole = pageRect(landscape);
        area_ = QRectF(0, 0, whole.width(), whole.height());
        const double header = metrics(Sans(8)).height() * 1.8;
        top_ = area_.top() + header;
        bottom_ = area_.bottom() - header;
        y_ = top_;
        if (!painter_) return;
        painter_->setPen(Qt::black);
        painter_->setFont(Sans(8));
        const QRectF head(area_.left(), area_.top(), area_.width(), metrics(Sans(8)).height());
        painter_->drawText(head, Qt::AlignLeft | Qt::AlignVCenter,
                           metrics(Sans(8)).elidedText(Text(doc_.runningHeader), Qt::ElideRight,
                                                       area_.width() * 0.75));
        painter_->drawText(head, Qt::AlignRight | Qt::AlignVCenter,
                           QStringLiteral("Tovan2000 report"));
        painter_->drawLine(QPointF(area_.left(), head.bottom() + pt(2)),
                           QPointF(area_.right(), head.bottom() + pt(2)));
        const QRectF foot(area_.left(), area_.bottom() - head.height(), area_.width(),
                          head.height());
        painter_->drawText(foot, Qt::AlignCenter,
                           QStringLiteral("Page %1 of %2").arg(page_).arg(total_));
    }

    // Room for `height` on this page, or a new page of the same orientation.
    void ensure(double height) {
        if (y_ + height <= bottom_ || y_ <= top_) return;
        startPage(landscape_, false);
    }

    void draw(const Heading& heading) {
        const QFont font = Sans(13, true);
        const double h = metrics(font).height();
        ensure(h * 3); // never a heading alone at the foot of a page
        y_ += h * 0.4;
        if (painter_) {
            painter_->setFont(font);
            painter_->drawText(QRectF(area_.left(), y_, area_.width(), h),
                               Qt::AlignLeft | Qt::AlignVCenter, Text(heading.text));
        }
        y_ += h * 1.3;
    }

    void draw(const Paragraph& paragraph) {
        const QFont font = paragraph.monospace ? Mono(9) : Sans(9.5);
        const QRectF room(area_.left(), 0, area_.width(), 1e9);
        const QRectF needed =
            metrics(font).boundingRect(room, Qt::TextWordWrap, Text(paragraph.text));
        ensure(needed.height());
        if (painter_) {
            painter_->setFont(font);
            painter_->drawText(QRectF(area_.left(), y_, area_.width(), needed.height()),
                               Qt::TextWordWrap, Text(paragraph.text));
        }
        y_ += needed.height() + metrics(font).height() * 0.6;
    }

    std::vector<double> columnWidths(const Table& table, const QFontMetricsF& m) const {
        std::vector<double> widths(table.headers.size(), 0.0);
        const double pad = pt(12);
        for (std::size_t c = 0; c < widths.size(); ++c)
            widths[c] = m.horizontalAdvance(Text(table.headers[c])) + pad;
        for (const auto& row : table.rows)
            for (std::size_t c = 0; c < widths.size() && c < row.size(); ++c)
                widths[c] = std::max(widths[c], m.horizontalAdvance(Text(row[c])) + pad);
        double total = 0;
        for (double w : widths)
            total += w;
        if (total > area_.width())
            for (double& w : widths)
                w *= area_.width() / total;
        return widths;
    }

    void drawRow(const std::vector<std::string>& cells, const Table& table,
                 const std::vector<double>& widths, const QFontMetricsF& m, double h, bool header,
                 bool shaded) {
        if (!painter_) return;
        double x = area_.left();
        double full = 0;
        for (double w : widths)
            full += w;
        if (header || shaded)
            painter_->fillRect(QRectF(x, y_, full, h),
                               header ? QColor(220, 226, 236) : QColor(245, 246, 248));
        const double pad = pt(4);
        for (std::size_t c = 0; c < widths.size(); ++c) {
            const QString text = c < cells.size() ? Text(cells[c]) : QString();
            const QRectF cell(x + pad, y_, widths[c] - 2 * pad, h);
            const bool right = !header && c < table.numeric.size() && table.numeric[c];
            painter_->drawText(cell, (right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter,
                               m.elidedText(text, Qt::ElideRight, cell.width()));
            x += widths[c];
        }
        if (header) painter_->drawLine(QPointF(area_.left(), y_ + h), QPointF(x, y_ + h));
    }

    void draw(const Table& table) {
        const QFont font = Sans(8);
        const QFont bold = Sans(8, true);
        const QFontMetricsF m = metrics(bold);
        const double h = m.height() * 1.35;
        const std::vector<double> widths = columnWidths(table, m);
        const bool hasHeader =
            std::any_of(table.headers.begin(), table.headers.end(),
                        [](const std::string& header) { return !header.empty(); });
        const auto header = [&] {
            if (!hasHeader) return;
            if (painter_) painter_->setFont(bold);
            drawRow(table.headers, table, widths, m, h, true, false);
            y_ += h;
            if (painter_) painter_->setFont(font);
        };
        ensure(h * (hasHeader ? 3 : 2));
        header();
        if (painter_) painter_->setFont(font);
        for (std::size_t r = 0; r < table.rows.size(); ++r) {
            if (y_ + h > bottom_) {
                startPage(landscape_, false);
                header(); // the header row again at the top of each page
                if (painter_) painter_->setFont(font);
            }
            drawRow(table.rows[r], table, widths, m, h, false, r % 2 == 1);
            y_ += h;
        }
        y_ += h * 0.5;
        drawLegend(table.legend);
    }

    // A table's abbreviations, in two columns of small lines under it.
    void drawLegend(const std::vector<std::string>& legend) {
        if (legend.empty()) return;
        const QFont font = Sans(7.5);
        const QFontMetricsF m = metrics(font);
        const double h = m.height() * 1.15, half = area_.width() / 2;
        const std::size_t rows = (legend.size() + 1) / 2;
        for (std::size_t r = 0; r < rows; ++r) {
            ensure(h);
            for (std::size_t c = 0; c < 2; ++c) {
                const std::size_t i = c * rows + r;
                if (i >= legend.size() || !painter_) continue;
                painter_->setFont(font);
                painter_->drawText(QRectF(area_.left() + c * half, y_, half - pt(6), h),
                                   Qt::AlignLeft | Qt::AlignVCenter,
                                   m.elidedText(Text(legend[i]), Qt::ElideRight, half - pt(6)));
            }
            y_ += h;
        }
        y_ += h;
    }

    void draw(const Plot& plot) {
        const double height = (bottom_ - top_) * (plot.small ? 0.24 : 0.62);
        ensure(height);
        const QFontMetricsF m = metrics(Sans(7.5));
        const QRectF box(area_.left(), y_, area_.width(), height);
        if (painter_) paintPlot(plot, box, m);
        y_ += height + m.height();
    }

    void paintPlot(const Plot& plot, const QRectF& box, const QFontMetricsF& m) {
        QPainter& p = *painter_;
        p.save();
        p.setFont(Sans(7.5));
        const double legendLines =
            plot.lines.empty() ? 0 : std::ceil(static_cast<double>(plot.lines.size()) / 2);
        const QRectF frame(box.left() + m.horizontalAdvance(QStringLiteral("00000.0")) + pt(10),
                           box.top() + m.height() * 1.6,
                           box.width() - 2 * m.horizontalAdvance(QStringLiteral("00000.0")) -
                               pt(20),
                           box.height() - m.height() * (4.2 + legendLines));
        p.drawText(QRectF(box.left(), box.top(), box.width(), m.height() * 1.4), Qt::AlignCenter,
                   Text(plot.title));
        double lastTime = static_cast<double>(plot.rain.size()) * plot.step, maxFlow = 0,
               maxDepth = 0;
        for (const PlotLine& line : plot.lines) {
            if (!line.times.empty()) lastTime = std::max(lastTime, line.times.back());
            for (double v : line.values)
                if (std::isfinite(v)) maxFlow = std::max(maxFlow, v);
        }
        for (double d : plot.rain)
            if (std::isfinite(d)) maxDepth = std::max(maxDepth, d);
        if (lastTime <= 0) lastTime = 1;
        const double flowTop = maxFlow > 0 ? maxFlow * (plot.rain.empty() ? 1.1 : 1.6) : 1;
        const double depthBottom = maxDepth > 0 ? maxDepth * (plot.lines.empty() ? 1.1 : 2.5) : 1;
        const auto X = [&](double t) { return frame.left() + t / lastTime * frame.width(); };
        const auto Y = [&](double q) { return frame.bottom() - q / flowTop * frame.height(); };
        const auto D = [&](double d) { return frame.top() + d / depthBottom * frame.height(); };

        // Grid and axes.
        p.setPen(QPen(QColor(225, 225, 225), pt(0.5)));
        const double dt = NiceStep(lastTime, 8);
        for (double t = 0; t <= lastTime + 1e-9; t += dt) {
            p.drawLine(QPointF(X(t), frame.top()), QPointF(X(t), frame.bottom()));
            p.setPen(Qt::black);
            p.drawText(QRectF(X(t) - pt(30), frame.bottom() + pt(2), pt(60), m.height()),
                       Qt::AlignHCenter | Qt::AlignTop, QString::number(t, 'g', 4));
            p.setPen(QPen(QColor(225, 225, 225), pt(0.5)));
        }
        if (!plot.lines.empty()) {
            const double dq = NiceStep(flowTop, 6);
            for (double q = 0; q <= flowTop + 1e-9; q += dq) {
                p.setPen(QPen(QColor(225, 225, 225), pt(0.5)));
                p.drawLine(QPointF(frame.left(), Y(q)), QPointF(frame.right(), Y(q)));
                p.setPen(Qt::black);
                p.drawText(QRectF(box.left(), Y(q) - m.height() / 2,
                                  frame.left() - box.left() - pt(3), m.height()),
                           Qt::AlignRight | Qt::AlignVCenter, QString::number(q, 'g', 5));
            }
        }
        // The rain and excess hanging from the top, on the right axis.
        if (!plot.rain.empty() && plot.step > 0) {
            const auto bars = [&](const std::vector<double>& depths, const QColor& colour) {
                for (std::size_t i = 0; i < depths.size(); ++i) {
                    const double d = std::isfinite(depths[i]) ? depths[i] : 0;
                    if (d <= 0) continue;
                    const double t0 = static_cast<double>(i) * plot.step;
                    p.fillRect(
                        QRectF(QPointF(X(t0), frame.top()), QPointF(X(t0 + plot.step), D(d))),
                        colour);
                }
            };
            bars(plot.rain, QColor(120, 165, 230));
            bars(plot.excess, QColor(30, 70, 160));
            p.setPen(Qt::black);
            const double dd = NiceStep(depthBottom, 5);
            for (double d = 0; d <= depthBottom + 1e-9; d += dd)
                p.drawText(QRectF(frame.right() + pt(3), D(d) - m.height() / 2, pt(60), m.height()),
                           Qt::AlignLeft | Qt::AlignVCenter, QString::number(d, 'g', 4));
        }
        p.setPen(QPen(Qt::black, pt(0.7)));
        p.drawRect(frame);
        for (std::size_t i = 0; i < plot.lines.size(); ++i) {
            const PlotLine& line = plot.lines[i];
            QPainterPath path;
            const std::size_t n = std::min(line.times.size(), line.values.size());
            for (std::size_t k = 0; k < n; ++k) {
                const QPointF point(X(line.times[k]),
                                    Y(std::isfinite(line.values[k]) ? line.values[k] : 0));
                k == 0 ? path.moveTo(point) : path.lineTo(point);
            }
            p.setPen(QPen(kLineColours[i % std::size(kLineColours)], pt(1.2)));
            p.drawPath(path);
        }
        // Axis names and the legend.
        p.setPen(Qt::black);
        p.drawText(
            QRectF(frame.left(), frame.bottom() + m.height() * 1.1, frame.width(), m.height()),
            Qt::AlignCenter, QStringLiteral("Time (h)"));
        if (!plot.lines.empty())
            p.drawText(QRectF(box.left(), box.top() + m.height() * 0.2, frame.left() - box.left(),
                              m.height()),
                       Qt::AlignLeft, QStringLiteral("Flow (%1)").arg(Text(plot.flowUnit)));
        if (!plot.rain.empty())
            p.drawText(
                QRectF(frame.center().x(), box.top() + m.height() * 0.2,
                       box.right() - frame.center().x(), m.height()),
                Qt::AlignRight,
                plot.lines.empty()
                    ? QStringLiteral("Rain (%1 per step)").arg(Text(plot.depthUnit))
                    : QStringLiteral("Rain, excess (%1 per step)").arg(Text(plot.depthUnit)));
        const double legendTop = frame.bottom() + m.height() * 2.4;
        for (std::size_t i = 0; i < plot.lines.size(); ++i) {
            const double x = frame.left() + (i % 2) * frame.width() / 2;
            const double y = legendTop + std::floor(i / 2.0) * m.height();
            p.setPen(QPen(kLineColours[i % std::size(kLineColours)], pt(2)));
            p.drawLine(QPointF(x, y + m.height() / 2), QPointF(x + pt(14), y + m.height() / 2));
            p.setPen(Qt::black);
            p.drawText(
                QRectF(x + pt(18), y, frame.width() / 2 - pt(20), m.height()),
                Qt::AlignLeft | Qt::AlignVCenter,
                m.elidedText(Text(plot.lines[i].name), Qt::ElideRight, frame.width() / 2 - pt(20)));
        }
        p.restore();
    }

    void draw(const Cards& cards) {
        // The largest monospace size at which 80 columns fill the width.
        double points = 9;
        while (points > 4 &&
               metrics(Mono(points)).horizontalAdvance(QString(80, QLatin1Char('0'))) >
                   area_.width())
            points -= 0.25;
        const QFont font = Mono(points);
        const QFontMetricsF m = metrics(font);
        const double h = m.height();
        QString tens, units;
        for (int col = 1; col <= 80; ++col) {
            tens += col % 10 == 0 ? QString::number(col / 10 % 10) : QStringLiteral(" ");
            units += QString::number(col % 10);
        }
        const auto ruler = [&] {
            if (painter_) {
                painter_->setFont(font);
                painter_->setPen(QColor(90, 90, 90));
                painter_->drawText(QPointF(area_.left(), y_ + m.ascent()), tens);
                painter_->drawText(QPointF(area_.left(), y_ + h + m.ascent()), units);
                painter_->drawLine(
                    QPointF(area_.left(), y_ + 2 * h + pt(1)),
                    QPointF(area_.left() + m.horizontalAdvance(units), y_ + 2 * h + pt(1)));
                painter_->setPen(Qt::black);
            }
            y_ += 2 * h + pt(3);
        };
        ensure(h * 4);
        ruler();
        for (const std::string& line : cards.lines) {
            if (y_ + h > bottom_) {
                startPage(landscape_, false);
                ruler();
            }
            if (painter_) painter_->drawText(QPointF(area_.left(), y_ + m.ascent()), Text(line));
            y_ += h;
        }
    }

    const ReportDocument& doc_;
    QPagedPaintDevice& device_;
    QPainter* painter_;
    int total_;
    int page_ = 0;
    bool landscape_ = false;
    QRectF area_;
    double top_ = 0, bottom_ = 0, y_ = 0;
};

bool FirstLandscape(const ReportDocument& document) {
    return document.options.landscape ||
           (!document.sections.empty() && document.sections.front().landscape);
}

} // namespace

int PaintReport(const ReportDocument& document, QPagedPaintDevice& device) {
    device.setPageSize(
        QPageSize(document.options.paper == Paper::Letter ? QPageSize::Letter : QPageSize::A4));
    device.setPageMargins(QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                          QPageLayout::Millimeter);
    device.setPageOrientation(FirstLandscape(document) ? QPageLayout::Landscape
                                                       : QPageLayout::Portrait);
    const int pages = Layout(document, device, nullptr, 0).run();
    QPainter painter;
    if (!painter.begin(&device)) return 0;
    painter.setRenderHint(QPainter::Antialiasing);
    Layout(document, device, &painter, pages).run();
    painter.end();
    return pages;
}

bool WriteReportPdf(const ReportDocument& document, const QString& path, QString& why, int* pages) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        why = QStringLiteral("%1 cannot be written: %2").arg(path, file.errorString());
        return false;
    }
    int drawn = 0;
    {
        QPdfWriter writer(&file);
        writer.setResolution(300);
        writer.setCreator(QStringLiteral("Tovan2000"));
        writer.setTitle(QString::fromStdString(document.title));
        drawn = PaintReport(document, writer);
    }
    if (drawn == 0) {
        file.cancelWriting();
        why = QStringLiteral("%1 could not be drawn.").arg(path);
        return false;
    }
    if (!file.commit()) {
        why = QStringLiteral("%1 cannot be written: %2").arg(path, file.errorString());
        return false;
    }
    if (pages) *pages = drawn;
    return true;
}

} // namespace tovan::report
