// The engine's physics: properties that must hold whatever the numbers, and reference values
// worked by hand so that a changed constant is caught.
#include "Hydrology.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <numeric>

using namespace tovan::engine;

namespace {

UnitHydrographInput Basin(double area = 1.0, double dt = 0.1) {
    UnitHydrographInput in;
    in.area = area;
    in.length = 1.5;
    in.centroid = 0.7;
    in.slope = 0.02;
    in.impervious = 0.4;
    in.dt = dt;
    return in;
}

UnitHydrograph Uh(const UnitHydrographInput& in) {
    UnitHydrographResult r = SnyderUnitHydrograph(in);
    EXPECT_TRUE(r.hydrograph) << r.problem;
    return r.hydrograph.value_or(UnitHydrograph{});
}

double Inch(double area) {
    return kCfsHoursPerInchSquareMile * area;
}

double OrdinateVolume(const UnitHydrograph& uh) {
    return std::accumulate(uh.ordinates.begin(), uh.ordinates.end(), 0.0) * uh.dt;
}

LossParameters Soil() {
    LossParameters p;
    p.impervious = 0.4;
    p.dsPervious = 0.35;
    p.dsImpervious = 0.1;
    p.f0 = 4.5;
    p.decay = 0.0018;
    p.fc = 0.6;
    return p;
}

Hyetograph Steady(double depth, std::size_t steps, double dt = 0.1) {
    return Hyetograph{dt, std::vector<double>(steps, depth)};
}

std::vector<double> StormFlows(const Hyetograph& rain, const LossParameters& p,
                               const UnitHydrograph& uh) {
    return Convolve(ExcessOf(Losses(rain, p)), uh.ordinates);
}

} // namespace

// ---- Unit hydrograph ----------------------------------------------------------------------

TEST(UnitHydrograph, HoldsExactlyOneInchForEverySizeAndStep) {
    for (double area : {0.05, 1.0, 12.0}) {
        for (double dt : {0.05, 0.1, 0.25, 1.0}) {
            const UnitHydrograph uh = Uh(Basin(area, dt));
            EXPECT_NEAR(OrdinateVolume(uh), Inch(area), 1e-9 * Inch(area)) << area << " " << dt;
            EXPECT_NEAR(PolylineArea(uh.pointTimes, uh.pointFlows), Inch(area), 1e-9 * Inch(area));
        }
    }
}

// Snyder by hand for L = 2 mi, Lc = 1 mi, S = 0.25 (so L Lc / sqrt(S) = 4), 50 % impervious,
// D = 5 min = 1/12 h, A = 1 sq mi:
//   Ct  = 0.16 - 0.08 * 0.5                  = 0.12
//   tp  = 0.12 * 4^0.48 = 0.12 * 1.9453099   = 0.2334372 h
//   tpR = tp + (1/12 - tp / 5.5) / 4         = 0.2436597 h
//   Tp  = 1/24 + tpR                         = 0.2853264 h
//   qp  = 640 * 0.6 * 1 / tpR                = 1575.968 cfs
//   W50 = 770 / 1575.968^1.08 h              = 16.26637 min;  W75 = 440 / ... = 9.295070 min
TEST(UnitHydrograph, SnyderParametersWorkedByHand) {
    UnitHydrographInput in = Basin(1.0, 5.0 / 60.0);
    in.length = 2.0;
    in.centroid = 1.0;
    in.slope = 0.25;
    in.impervious = 0.5;
    const UnitHydrograph uh = Uh(in);
    ASSERT_FALSE(uh.peakScaled);
    EXPECT_NEAR(uh.ct, 0.12, 1e-12);
    EXPECT_NEAR(uh.lag, 0.2334372, 1e-7);
    EXPECT_NEAR(uh.adjustedLag, 0.2436597, 1e-7);
    EXPECT_NEAR(uh.timeToPeak, 0.2853264, 1e-7);
    EXPECT_NEAR(uh.peak, 1575.968, 1e-3);
    EXPECT_NEAR(uh.w50 * 60.0, 16.26637, 1e-5);
    EXPECT_NEAR(uh.w75 * 60.0, 9.295070, 1e-6);
}

// The ordinates are the shape's means over the steps centred on them: checked against a fine
// numerical mean of the shape, for a step short and a step long against the lag. No rescaling
// is needed, so the shape keeps its peak and the ordinates' peak is never above it.
TEST(UnitHydrograph, EachOrdinateIsTheShapesMeanOverItsCentredStep) {
    for (double dt : {0.05, 0.5}) {
        const UnitHydrograph uh = Uh(Basin(1.0, dt));
        const auto& t = uh.pointTimes;
        const auto& q = uh.pointFlows;
        for (std::size_t j = 0; j < uh.ordinates.size(); ++j) {
            double sum = 0.0;
            const int n = 2000;
            for (int i = 0; i < n; ++i)
                sum += PolylineAt(t, q, (static_cast<double>(j) - 0.5 + (i + 0.5) / n) * dt);
            EXPECT_NEAR(uh.ordinates[j], sum / n, 1e-4 * uh.peak) << dt << " " << j;
        }
        EXPECT_LE(uh.ordinatePeak, uh.peak);
        EXPECT_NEAR(PolylineArea(t, q), Inch(1.0), 1e-9 * Inch(1.0));
    }
}

TEST(UnitHydrograph, AStepLongAgainstTheLagIsSeenInTheOrdinatesPeak) {
    const UnitHydrograph fine = Uh(Basin(0.05, 1.0 / 60.0)), coarse = Uh(Basin(0.05, 0.25));
    EXPECT_GT(fine.ordinatePeak, 0.95 * fine.peak);
    EXPECT_LT(coarse.ordinatePeak, 0.9 * coarse.peak);
}

TEST(UnitHydrograph, ALengthBeyondTheCapIsAProblem) {
    UnitHydrographInput in = Basin(1.0, 0.01 / 60.0);
    in.length = in.centroid = 9999.0;
    in.slope = 0.0001;
    const UnitHydrographResult r = SnyderUnitHydrograph(in);
    EXPECT_FALSE(r.hydrograph);
    EXPECT_NE(r.problem.find("more than the 20000"), std::string::npos) << r.problem;
}

TEST(UnitHydrograph, HoldsOneInchEvenWhenTheWidthsAreTooWide) {
    UnitHydrographInput in = Basin();
    in.w50Minutes = 300.0;
    in.w75Minutes = 200.0;
    const UnitHydrograph uh = Uh(in);
    EXPECT_TRUE(uh.peakScaled);
    EXPECT_NEAR(OrdinateVolume(uh), Inch(1.0), 1e-9 * Inch(1.0));
}

TEST(UnitHydrograph, MissingGeometryIsAProblemNotAShape) {
    for (auto clear :
         {&UnitHydrographInput::area, &UnitHydrographInput::length, &UnitHydrographInput::centroid,
          &UnitHydrographInput::slope, &UnitHydrographInput::dt}) {
        UnitHydrographInput in = Basin();
        in.*clear = 0.0;
        const UnitHydrographResult r = SnyderUnitHydrograph(in);
        EXPECT_FALSE(r.hydrograph);
        EXPECT_FALSE(r.problem.empty());
    }
}

TEST(UnitHydrograph, OverrideOfCtMovesThePeakLaterAndLower) {
    UnitHydrographInput slow = Basin();
    slow.ct = 2.0 * DefaultCt(0.4);
    const UnitHydrograph base = Uh(Basin()), late = Uh(slow);
    EXPECT_DOUBLE_EQ(late.ct, 2.0 * DefaultCt(0.4));
    EXPECT_GT(late.timeToPeak, base.timeToPeak);
    EXPECT_LT(late.peak, base.peak);
}

TEST(UnitHydrograph, OverrideOfCpRaisesThePeakWithoutMovingIt) {
    UnitHydrographInput sharp = Basin();
    sharp.cp = 0.8;
    const UnitHydrograph base = Uh(Basin()), high = Uh(sharp);
    EXPECT_GT(high.peak, base.peak);
    EXPECT_DOUBLE_EQ(high.timeToPeak, base.timeToPeak);
}

TEST(UnitHydrograph, OverridesOfWidthsAndFractionsPlaceTheCorners) {
    UnitHydrographInput in = Basin();
    in.w50Minutes = 30.0;
    in.w75Minutes = 15.0;
    in.before50 = 0.25;
    in.before75 = 0.40;
    const UnitHydrograph uh = Uh(in);
    ASSERT_FALSE(uh.peakScaled);
    const auto& t = uh.pointTimes;
    EXPECT_NEAR(t[5] - t[1], 0.5, 1e-12);  // W50 between the two 50 % points, in hours
    EXPECT_NEAR(t[4] - t[2], 0.25, 1e-12); // W75
    EXPECT_NEAR(uh.timeToPeak - t[1], 0.25 * 0.5, 1e-12);
    EXPECT_NEAR(uh.timeToPeak - t[2], 0.40 * 0.25, 1e-12);
    EXPECT_DOUBLE_EQ(uh.pointFlows[1], 0.5 * uh.peak);
    EXPECT_DOUBLE_EQ(uh.pointFlows[2], 0.75 * uh.peak);
}

// ---- Design storm -------------------------------------------------------------------------

TEST(DesignStorm, HoldsTheDepthDurationCurveAroundItsPeak) {
    const Hyetograph storm = DesignStorm(2.6, 5.0 / 60.0);
    ASSERT_EQ(storm.depths.size(), 24U);
    EXPECT_NEAR(storm.total(), 2.6 * DepthDurationRatio(120.0), 1e-9);
    // Any duration centred on the peak holds that duration's depth, so the wettest hour is the
    // one-hour depth and the wettest five minutes the five-minute depth.
    EXPECT_NEAR(MaxAverageIntensity(storm, 1.0), 2.6, 1e-9);
    EXPECT_NEAR(*std::max_element(storm.depths.begin(), storm.depths.end()), 0.29 * 2.6, 1e-9);
}

TEST(DesignStorm, RatiosRiseWithDurationAndPassThroughOneAtAnHour) {
    EXPECT_DOUBLE_EQ(DepthDurationRatio(60.0), 1.0);
    EXPECT_NEAR(DepthDurationRatio(15.0), 0.57, 1e-12);
    double previous = 0.0;
    for (double m = 1.0; m <= 150.0; m += 1.0) {
        EXPECT_GE(DepthDurationRatio(m), previous) << m;
        previous = DepthDurationRatio(m);
    }
}

TEST(DesignStorm, AStepLongerThanTheStormGivesOneBlock) {
    const Hyetograph storm = DesignStorm(1.0, 3.0);
    ASSERT_EQ(storm.depths.size(), 1U);
    EXPECT_NEAR(storm.depths[0], DepthDurationRatio(120.0), 1e-12);
}

// ---- Losses -------------------------------------------------------------------------------

TEST(Horton, CapacityAddsUpOverSplitIntervalsAndTendsToTheFinalRate) {
    const double whole = HortonCapacity(4.5, 0.6, 0.0018, 0.0, 2.0);
    const double split =
        HortonCapacity(4.5, 0.6, 0.0018, 0.0, 0.7) + HortonCapacity(4.5, 0.6, 0.0018, 0.7, 2.0);
    EXPECT_NEAR(whole, split, 1e-12);
    EXPECT_NEAR(HortonCapacity(4.5, 0.6, 0.0018, 10.0, 11.0), 0.6, 1e-6);
    EXPECT_DOUBLE_EQ(HortonCapacity(2.0, 0.5, 0.0, 0.0, 0.5), 1.0); // no decay: the initial rate
    // A decay too slow to see (1D-20 per second) is no decay, not an instant fall to the final
    // rate, in the capacity of a step as in the soil's.
    EXPECT_NEAR(HortonCapacity(2.0, 0.5, 1e-20, 0.0, 0.5), 1.0, 1e-12);
    EXPECT_NEAR(HortonSoil(2.0, 0.5, 1e-20).capacity(0.5), 1.0, 1e-12);
}

// A pervious catchment with no depression storage: its infiltration is Horton's capacity
// itself whenever the rain exceeds it.
LossParameters BareSoil() {
    LossParameters p = Soil();
    p.impervious = 0.0;
    p.dsPervious = 0.0;
    return p;
}

// After light steps the soil is where the time form would be once it had infiltrated the same
// depth under ponding: its equivalent time is found here by bisection, independently.
TEST(Horton, LightRainMovesTheSoilToItsEquivalentTime) {
    const double f0 = 3.0, fc = 0.5, decay = 0.0008, dt = 1.0 / 12.0;
    HortonSoil soil(f0, fc, decay);
    double total = 0.0;
    for (const double offered : {0.0, 0.1, 0.2, 0.05, 0.3, 0.01, 0.0, 0.15}) {
        const double taken = std::min(offered, soil.capacity(dt));
        soil.infiltrate(taken, dt);
        total += taken;
        double low = 0.0, high = 100.0;
        while (high - low > 1e-12) {
            const double mid = 0.5 * (low + high);
            (HortonCapacity(f0, fc, decay, 0.0, mid) < total ? low : high) = mid;
        }
        EXPECT_NEAR(soil.capacity(dt), HortonCapacity(f0, fc, decay, low, low + dt), 1e-9)
            << offered;
    }
}

// After a dry hour the time form's capacity has decayed as if it had rained; the integrated
// form's has not, as the soil took nothing in. So the second burst loses more and runs off less.
TEST(Horton, AfterADryGapTheIntegratedFormGivesLessExcess) {
    Hyetograph rain{0.25, {1.5, 1.5, 0, 0, 0, 0, 1.5, 1.5}};
    LossParameters p = BareSoil();
    p.decay = 0.0005; // 1.8 per hour: the soil is still far from its final rate after the burst
    double integrated = 0.0, timeForm = 0.0;
    for (const LossStep& s : Losses(rain, p))
        integrated += s.excess;
    for (std::size_t i = 0; i < rain.depths.size(); ++i) {
        const double t1 = static_cast<double>(i) * 0.25;
        timeForm +=
            std::max(0.0, rain.depths[i] - HortonCapacity(p.f0, p.fc, p.decay, t1, t1 + 0.25));
    }
    EXPECT_LT(integrated, timeForm - 0.05);
    // With no decay the rate is constant and the two forms are one, light steps included.
    p.decay = 0.0;
    Hyetograph light{0.25, {0.5, 1.5, 0, 1.5}}; // capacity 4.5 * 0.25 = 1.125 in a step
    double constant = 0.0;
    for (const LossStep& s : Losses(light, p))
        constant += s.excess;
    EXPECT_NEAR(constant, 2 * (1.5 - 1.125), 1e-12);
    p.decay = 0.0005;
    // Over the first burst, all ponded, the two agree.
    const auto steps = Losses(rain, p);
    EXPECT_NEAR(steps[0].excess + steps[1].excess,
                3.0 - HortonCapacity(p.f0, p.fc, p.decay, 0.0, 0.5), 1e-12);
}

TEST(Losses, NoRunoffBeforeTheDepressionStorageIsFull) {
    LossParameters p;
    p.impervious = 1.0;
    p.dsImpervious = 0.3;
    const auto steps = Losses(Steady(0.1, 6), p);
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(steps[i].excess, 0.0) << i;
    EXPECT_GT(steps[3].excess, 0.0);

    p.impervious = 0.0; // pervious, no infiltration
    p.dsPervious = 0.5;
    const auto pervious = Losses(Steady(0.1, 8), p);
    for (std::size_t i = 0; i < 5; ++i)
        EXPECT_EQ(pervious[i].excess, 0.0) << i;
    EXPECT_GT(pervious[5].excess, 0.0);
}

TEST(Losses, NoFlowAtTheOutletBeforeTheFirstExcess) {
    LossParameters p = Soil();
    const Hyetograph rain = Steady(0.05, 20);
    const auto excess = ExcessOf(Losses(rain, p));
    const auto first = static_cast<std::size_t>(
        std::find_if(excess.begin(), excess.end(), [](double e) { return e > 0.0; }) -
        excess.begin());
    ASSERT_GT(first, 0U);
    const auto flows = Convolve(excess, Uh(Basin()).ordinates);
    for (std::size_t i = 0; i < first; ++i)
        EXPECT_EQ(flows[i], 0.0) << i;
    // The ordinate at the start of a step is the mean over the half step after it.
    EXPECT_GT(flows[first], 0.0);
}

TEST(Losses, DisconnectingImperviousAreaLowersTheExcess) {
    LossParameters connected = Soil(), disconnected = Soil();
    disconnected.connected = 0.4;
    disconnected.receiving = 0.6;
    const Hyetograph rain = DesignStorm(1.0, 0.1);
    const auto total = [](const std::vector<LossStep>& s) {
        double e = 0.0;
        for (const LossStep& x : s)
            e += x.excess;
        return e;
    };
    EXPECT_LT(total(Losses(rain, disconnected)), total(Losses(rain, connected)));
}

TEST(Losses, TheCaptureVolumeHoldsBackTheFirstExcess) {
    LossParameters p = Soil(), captured = Soil();
    captured.captureDepth = 0.2;
    const Hyetograph rain = DesignStorm(2.6, 0.1);
    double free = 0.0, held = 0.0, kept = 0.0;
    for (const LossStep& s : Losses(rain, p))
        free += s.excess;
    for (const LossStep& s : Losses(rain, captured)) {
        EXPECT_GE(s.excess, 0.0) << "a step never gives back more than it had";
        held += s.excess;
        kept += s.captured;
    }
    EXPECT_NEAR(kept, 0.2, 1e-12);
    EXPECT_NEAR(held, free - 0.2, 1e-12);
}

// ---- Storm hydrograph ---------------------------------------------------------------------

TEST(StormHydrograph, VolumeEqualsTheExcessOverTheArea) {
    for (double area : {0.2, 3.0}) {
        const UnitHydrograph uh = Uh(Basin(area));
        const auto excess = ExcessOf(Losses(DesignStorm(2.6, 0.1), Soil()));
        const double excessDepth = std::accumulate(excess.begin(), excess.end(), 0.0);
        ASSERT_GT(excessDepth, 0.0);
        EXPECT_NEAR(VolumeInches(Convolve(excess, uh.ordinates), 0.1, area), excessDepth, 1e-9);
    }
}

TEST(StormHydrograph, DoublingTheExcessDoublesThePeak) {
    const UnitHydrograph uh = Uh(Basin());
    auto excess = ExcessOf(Losses(DesignStorm(2.0, 0.1), Soil()));
    const Peak once = PeakOf(Convolve(excess, uh.ordinates), 0.1);
    for (double& e : excess)
        e *= 2.0;
    const Peak twice = PeakOf(Convolve(excess, uh.ordinates), 0.1);
    EXPECT_NEAR(twice.flow, 2.0 * once.flow, 1e-9 * once.flow);
    EXPECT_DOUBLE_EQ(twice.time, once.time);
}

// A plateau whose ordinates differ by round-off peaks at its start, however the round-off falls;
// a real rise later on, however small beyond the tolerance, is the peak.
TEST(StormHydrograph, AFlatPeakIsTimedAtTheStartOfItsPlateau) {
    const double q = 123.456;
    EXPECT_DOUBLE_EQ(PeakOf({0.0, q, q * (1 + 1e-15), q * (1 + 3e-16), 1.0}, 0.5).time, 0.5);
    EXPECT_DOUBLE_EQ(PeakOf({0.0, q * (1 - 1e-15), q, 1.0}, 0.5).time, 0.5);
    EXPECT_DOUBLE_EQ(PeakOf({0.0, q, q * (1 + 1e-6), 1.0}, 0.5).time, 1.0);
    EXPECT_DOUBLE_EQ(PeakOf({0.0, 0.0}, 0.5).flow, 0.0);
}

TEST(StormHydrograph, MoreImperviousnessNeverLowersThePeak) {
    for (const auto& [connected, receiving] : {std::pair{1.0, 0.0}, std::pair{0.4, 0.6}}) {
        double previous = 0.0;
        for (int percent = 0; percent <= 100; percent += 5) {
            UnitHydrographInput in = Basin();
            in.impervious = percent / 100.0;
            LossParameters p = Soil();
            p.impervious = in.impervious;
            p.connected = connected;
            p.receiving = receiving;
            const double peak = PeakOf(StormFlows(DesignStorm(1.5, 0.1), p, Uh(in)), 0.1).flow;
            EXPECT_GE(peak, previous - 1e-9) << percent << "% with connected " << connected;
            previous = peak;
        }
    }
}

// ---- Rational formula ---------------------------------------------------------------------

TEST(Rational, ShortWindowsFindTheBurstInsideAStep) {
    Hyetograph rain{0.5, {0.1, 1.0, 0.1}};
    EXPECT_NEAR(MaxAverageIntensity(rain, 0.25), 2.0, 1e-12);
    EXPECT_NEAR(MaxAverageIntensity(rain, 1.0), (1.0 + 0.05 + 0.05) / 1.0, 1e-12);
}

TEST(Rational, KirpichGrowsWithLengthAndShrinksWithSlope) {
    // By hand: 0.0078 * 5280^0.77 * 0.01^-0.385 = 0.0078 * 735.2383 * 5.888437 = 33.76935 min.
    EXPECT_NEAR(KirpichMinutes(1.0, 0.01), 33.76935, 1e-5);
    EXPECT_GT(KirpichMinutes(2.0, 0.02), KirpichMinutes(1.0, 0.02));
    EXPECT_LT(KirpichMinutes(1.0, 0.05), KirpichMinutes(1.0, 0.02));
    EXPECT_EQ(KirpichMinutes(1.0, 0.0), 0.0);
}
