// The storm library against published and hand-computed values, and its refusals.
#include "storms/DesignStorms.h"

#include "storms/ObservedRainfall.h"
#include "storms/StormPlacement.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <numeric>

using namespace tovan;

namespace {

StormParameters Nrcs(double depth, double step) {
    StormParameters p;
    p.depth = depth;
    p.duration = 1440;
    p.step = step;
    return p;
}

// A depth-duration table of a frequency atlas kind: 5 minutes to 2 hours.
StormParameters Block(double peak) {
    StormParameters p;
    p.duration = 120;
    p.step = 5;
    p.peakPosition = peak;
    p.table = {{5, 0.5}, {10, 0.8}, {15, 1.0}, {30, 1.4}, {60, 1.8}, {120, 2.2}};
    return p;
}

StormParameters Chicago(double r) {
    StormParameters p;
    p.duration = 120;
    p.step = 5;
    p.idfA = 60;
    p.idfB = 10;
    p.idfC = 0.8;
    p.peakRatio = r;
    return p;
}

double LargestWindow(const std::vector<double>& depths, std::size_t steps) {
    double best = 0;
    for (std::size_t i = 0; i + steps <= depths.size(); ++i)
        best = std::max(
            best, std::accumulate(depths.begin() + static_cast<std::ptrdiff_t>(i),
                                  depths.begin() + static_cast<std::ptrdiff_t>(i + steps), 0.0));
    return best;
}

} // namespace

// Published TR-55 values at several hours, written here from the table and not from the code,
// so a mistyped table entry fails; between the points the curve never falls.
TEST(NrcsDistributions, PassThroughThePublishedValuesAndNeverFall) {
    struct Point {
        StormMethod type;
        double hours, fraction;
    };
    const Point published[] = {{StormMethod::Nrcs1, 6, 0.125},     {StormMethod::Nrcs1, 10, 0.515},
                               {StormMethod::Nrcs1, 16, 0.830},    {StormMethod::Nrcs1A, 8, 0.425},
                               {StormMethod::Nrcs1A, 12, 0.664},   {StormMethod::Nrcs1A, 20, 0.906},
                               {StormMethod::Nrcs2, 11.75, 0.357}, {StormMethod::Nrcs2, 12, 0.663},
                               {StormMethod::Nrcs2, 14, 0.820},    {StormMethod::Nrcs3, 12, 0.500},
                               {StormMethod::Nrcs3, 12.5, 0.702},  {StormMethod::Nrcs3, 4, 0.043}};
    for (const Point& p : published)
        EXPECT_DOUBLE_EQ(NrcsCumulativeFraction(p.type, p.hours), p.fraction)
            << MethodName(p.type) << " at " << p.hours << " h";
    for (StormMethod type :
         {StormMethod::Nrcs1, StormMethod::Nrcs1A, StormMethod::Nrcs2, StormMethod::Nrcs3}) {
        for (const auto& [hours, fraction] : NrcsTable(type))
            EXPECT_DOUBLE_EQ(NrcsCumulativeFraction(type, hours), fraction);
        const StormDepths storm = BuildStorm(type, Nrcs(1, 1));
        ASSERT_EQ(storm.depths.size(), 1440u);
        EXPECT_GE(*std::min_element(storm.depths.begin(), storm.depths.end()), 0.0);
        EXPECT_NEAR(std::accumulate(storm.depths.begin(), storm.depths.end(), 0.0), 1.0, 1e-12);
    }
}

// Whatever the method, depth and step, the depths as written add up to the requested total in
// thousandths, and each is a depth its 4-column field can hold.
TEST(DesignStorms, WrittenDepthsAddUpToTheTotalForEveryMethod) {
    const double depths[] = {0.37, 2.5, 5, 11.3};
    const double steps[] = {1, 5, 15, 60};
    for (StormMethod method : kAllMethods) {
        if (method == StormMethod::Observed) continue; // its round trip is below
        for (double depth : depths) {
            for (double step : steps) {
                StormParameters p = method == StormMethod::Block     ? Block(0.5)
                                    : method == StormMethod::Chicago ? Chicago(0.4)
                                                                     : Nrcs(depth, step);
                p.depth = depth;
                p.step = step;
                if (method == StormMethod::Block || method == StormMethod::Chicago)
                    p.duration = 120;
                const auto written = WriteStormDepths(BuildStorm(method, p));
                const long long sum =
                    std::accumulate(written.thousandths.begin(), written.thousandths.end(), 0LL);
                EXPECT_EQ(sum, std::llround(depth * 1000))
                    << MethodName(method) << " " << depth << " in at " << step << " min";
                for (std::size_t k = 0; k < written.cells.size(); ++k)
                    EXPECT_EQ(std::llround(std::stod(written.cells[k]) * 1000),
                              written.thousandths[k]);
            }
        }
    }
}

// Depths of an inch and more are written in hundredths; the carried rounding still lands on
// the total, and a depth too wide for its field is refused before anything is placed.
TEST(DesignStorms, CoarseFieldsStillGiveTheTotalAndTooWideIsRefused) {
    StormDepths storm{{1.2312, 0.0021, 3.3333, 0.4334}, 5.0, {}};
    const auto written = WriteStormDepths(storm);
    EXPECT_EQ(std::accumulate(written.thousandths.begin(), written.thousandths.end(), 0LL), 5000);
    EXPECT_EQ(written.thousandths[0] % 10, 0) << "1.23 in: hundredths";
    EXPECT_EQ(written.cells[0], "1.23");
    StormDepths wide{{1500.0}, 1500.0, {}};
    try {
        WriteStormDepths(wide);
        FAIL() << "a depth of 1500 in does not fit 4 columns";
    } catch (const StormInputError& error) {
        EXPECT_EQ(error.parameter(), "depth");
        EXPECT_NE(std::string(error.what()).find("Step 1"), std::string::npos);
    }
}

TEST(AlternatingBlock, EveryTableDurationIsTheLargestWindowAroundThePeak) {
    for (double peak : {0.5, 0.25, 0.0, 1.0}) {
        const StormDepths storm = BuildStorm(StormMethod::Block, Block(peak));
        ASSERT_EQ(storm.depths.size(), 24u);
        const auto top = std::max_element(storm.depths.begin(), storm.depths.end());
        EXPECT_EQ(top - storm.depths.begin(),
                  std::min<std::ptrdiff_t>(23, std::ptrdiff_t(peak * 24)))
            << "peak " << peak;
        for (const DepthDuration& point : Block(peak).table)
            EXPECT_NEAR(LargestWindow(storm.depths, std::size_t(point.minutes / 5)), point.inches,
                        1e-12)
                << point.minutes << " min, peak " << peak;
        EXPECT_NEAR(storm.total, 2.2, 1e-12);
    }
}

// i = 60 / (t + 10)^0.8 in/h: the 10 minutes about the peak hold 60 x 10 / (60 x 20^0.8) =
// 0.91028 in, the whole 2 hours 120 / 130^0.8 = 2.44358 in (worked by hand).
TEST(ChicagoStorm, WindowsAboutThePeakHoldTheIdfDepths) {
    const StormDepths centred = BuildStorm(StormMethod::Chicago, Chicago(0.5));
    EXPECT_NEAR(centred.total, 2.44358, 1e-5);
    EXPECT_NEAR(centred.depths[11] + centred.depths[12], 0.91028, 1e-5);
    EXPECT_DOUBLE_EQ(centred.depths[11], centred.depths[12]);
    const StormDepths early = BuildStorm(StormMethod::Chicago, Chicago(0.3));
    const auto top = std::max_element(early.depths.begin(), early.depths.end());
    EXPECT_EQ(top - early.depths.begin(), 7) << "the peak at 36 min is in step 8";
    EXPECT_NEAR(early.total, 2.44358, 1e-5);
    StormParameters scaled = Chicago(0.5);
    scaled.depth = 3;
    EXPECT_NEAR(BuildStorm(StormMethod::Chicago, scaled).total, 3, 1e-12);
}

// A storm printed as the command prints it (time at the end of each step, written depth)
// reads back as the same storm, and so does its cumulative curve or its intensities.
TEST(ObservedRainfall, PrintedStormsReadBackAsTheSameDepths) {
    const auto written = WriteStormDepths(BuildStorm(StormMethod::Nrcs2, Nrcs(3, 15)));
    std::string depths = "time_min,depth_in\n", cumulative, intensity = "minutes;rate in/h\n";
    long long sum = 0;
    for (std::size_t k = 0; k < written.thousandths.size(); ++k) {
        const std::string time = std::to_string((k + 1) * 15);
        const double inches = double(written.thousandths[k]) / 1000;
        sum += written.thousandths[k];
        depths += time + "," + std::to_string(inches) + "\n";
        cumulative +=
            (k == 0 ? "0,0\n" : "") + time + "," + std::to_string(double(sum) / 1000) + "\n";
        intensity += time + ";" + std::to_string(inches * 4) + "\n";
    }
    for (const std::string* csv : {&depths, &cumulative, &intensity}) {
        StormParameters p;
        p.step = 15;
        p.observedCsv = *csv;
        const auto back = WriteStormDepths(BuildStorm(StormMethod::Observed, p));
        EXPECT_EQ(back.thousandths, written.thousandths) << csv->substr(0, 40);
    }
    EXPECT_NE(ReadObservedRainfall(cumulative).reading.find("never decrease"), std::string::npos);
    const auto clock = ReadObservedRainfall("Time,Rain\n0:15,0.1\n0:30,0.3\n1:00,0.2\n");
    EXPECT_EQ(clock.points.back().first, 60);
    EXPECT_NEAR(clock.points.back().second, 0.6, 1e-12);
    EXPECT_NE(clock.reading.find("\"Rain\""), std::string::npos) << clock.reading;
}

// Bad input names the parameter, and the file's row where it has one.
TEST(DesignStorms, BadInputNamesTheParameter) {
    struct Case {
        StormMethod method;
        StormParameters parameters;
        std::string parameter, says;
    };
    StormParameters negative = Nrcs(-1, 5), shortStorm = Nrcs(1, 5), notWhole = Nrcs(1, 7);
    shortStorm.duration = 3;
    shortStorm.step = 5;
    StormParameters sixHours = Nrcs(1, 5);
    sixHours.duration = 360;
    StormParameters falling = Chicago(0.5);
    falling.idfB = 0;
    falling.idfC = 1.5;
    StormParameters shortTable = Block(0.5);
    shortTable.duration = 180;
    StormParameters text, unordered, empty;
    text.step = unordered.step = empty.step = 5;
    text.observedCsv = "time,depth\n5,0.1\n10,abc\n";
    unordered.observedCsv = "5,0.1\n10,0.2\n10,0.1\n";
    empty.observedCsv = "\n\n";
    const Case cases[] = {
        {StormMethod::Nrcs2, negative, "depth", "greater than 0"},
        {StormMethod::Uniform, shortStorm, "duration", "shorter than the step"},
        {StormMethod::Nrcs2, notWhole, "duration", "whole number of steps"},
        {StormMethod::Nrcs3, sixHours, "duration", "24-hour"},
        {StormMethod::Chicago, falling, "idf-c", "less rain"},
        {StormMethod::Block, shortTable, "table", "before the storm's duration"},
        {StormMethod::Observed, text, "file", "row 3: the rainfall \"abc\" is not a number"},
        {StormMethod::Observed, unordered, "file", "row 3: the time 10 does not come after"},
        {StormMethod::Observed, empty, "file", "no rainfall rows"},
    };
    for (const Case& c : cases) {
        try {
            BuildStorm(c.method, c.parameters);
            ADD_FAILURE() << c.says;
        } catch (const StormInputError& error) {
            EXPECT_EQ(error.parameter(), c.parameter) << error.what();
            EXPECT_NE(std::string(error.what()).find(c.says), std::string::npos) << error.what();
        }
    }
}
