#include "InputChecks.h"

#include "deck/InputRanges.h"

#include <algorithm>
#include <cstdio>

namespace tovan::engine {

namespace {

class CatchmentChecker {
  public:
    explicit CatchmentChecker(std::vector<Message>& messages) : messages_(messages) {}

    void check(InputField field, const std::optional<double>& value, int line) {
        if (value) check(field, *value, line);
    }

    void check(InputField field, double value, int line) {
        const InputRange& range = RangeOf(field);
        const RangeVerdict verdict = Judge(range, value);
        if (verdict == RangeVerdict::Usual) return;
        add(verdict == RangeVerdict::Impossible, DescribeFinding(range, value, verdict), line);
    }

    void add(bool problem, std::string text, int line) {
        messages_.push_back({problem, std::move(text), line, 0});
    }

  private:
    std::vector<Message>& messages_;
};

std::string Format(const char* format, double a, double b) {
    char text[256];
    std::snprintf(text, sizeof text, format, a, b);
    return text;
}

void CheckCardD(const Catchment& c, CatchmentChecker& check) {
    const int line = c.dLine;
    check.check(InputField::Area, c.area, line);
    check.check(InputField::Length, c.length, line);
    check.check(InputField::Centroid, c.centroid, line);
    check.check(InputField::Impervious, c.impervious, line);
    check.check(InputField::Slope, c.slope, line);
    check.check(InputField::TimeOfConcentration, c.tc, line);
    check.check(InputField::DepressionPervious, c.dsPervious, line);
    check.check(InputField::DepressionImpervious, c.dsImpervious, line);
    check.check(InputField::InitialRate, c.f0, line);
    check.check(InputField::DecayRate, c.decay, line);
    check.check(InputField::FinalRate, c.fc, line);
    if (c.dciaLevel) check.check(InputField::DciaLevel, *c.dciaLevel, line);
    check.check(InputField::ConnectedFraction, c.connectedFraction, line);
    check.check(InputField::ReceivingFraction, c.receivingFraction, line);
    if (c.centroid && c.length && *c.centroid > *c.length) {
        check.add(false,
                  Format("the distance to the centroid %.6g mi is longer than the catchment "
                         "length %.6g mi; both are used as given",
                         *c.centroid, *c.length),
                  line);
    }
    if (c.f0 && c.fc && *c.fc > *c.f0 && *c.f0 >= 0.0) {
        check.add(false,
                  Format("the final infiltration rate %.6g in/hr is above the initial rate "
                         "%.6g in/hr, so the capacity rises during the storm; both are used as "
                         "given",
                         *c.fc, *c.f0),
                  line);
    }
}

void CheckCardD1(const Catchment& c, CatchmentChecker& check) {
    const int line = c.d1Line;
    check.check(InputField::Ct, c.ct, line);
    check.check(InputField::Cp, c.cp, line);
    check.check(InputField::W50, c.w50, line);
    check.check(InputField::W75, c.w75, line);
    check.check(InputField::Before50, c.before50, line);
    check.check(InputField::Before75, c.before75, line);
    check.check(InputField::CaptureVolume, c.wqcv, line);
    check.check(InputField::DrainTime, c.drainTime, line);
}

void CheckLevelThree(const Catchment& c, CatchmentChecker& check) {
    if (c.dciaLevel.value_or(0) != 3) return;
    if (c.useD1 != 1) {
        check.add(true,
                  "DCIA level 3 needs the water-quality capture volume and drain time of card "
                  "D1, but card D does not ask for a D1 card",
                  c.dLine);
    } else if (c.wqcv.value_or(0.0) <= 0.0) {
        check.add(false,
                  "DCIA level 3 is given no water-quality capture volume; nothing is "
                  "captured",
                  c.d1Line);
    }
}

} // namespace

void CheckCatchment(const Catchment& c, std::vector<Message>& messages) {
    CatchmentChecker check(messages);
    if (c.unitDuration != 0.0) check.check(InputField::UnitDuration, c.unitDuration, c.line);
    CheckCardD(c, check);
    if (c.useD1 == 1) CheckCardD1(c, check);
    CheckLevelThree(c, check);
}

namespace {

void Note(EngineDeck& deck, const Storm& s, std::string text) {
    deck.messages.push_back({s.line, std::move(text), false, s.number});
}

// A finding about a storm value: impossible values stop the storm, the first one is kept.
void Judged(EngineDeck& deck, Storm& s, InputField field, double value) {
    const InputRange& range = RangeOf(field);
    const RangeVerdict verdict = Judge(range, value);
    if (verdict == RangeVerdict::Usual) return;
    std::string text = DescribeFinding(range, value, verdict);
    if (verdict == RangeVerdict::Unusual)
        Note(deck, s, std::move(text));
    else if (s.problem.empty())
        s.problem = std::move(text);
}

void CheckDepths(EngineDeck& deck, Storm& s) {
    double lowest = 0.0, highest = 0.0;
    for (const double d : s.depths) {
        lowest = std::min(lowest, d);
        highest = std::max(highest, d);
    }
    if (lowest < 0.0) Judged(deck, s, InputField::StepDepth, lowest);
    if (highest > 0.0) Judged(deck, s, InputField::StepDepth, highest);
}

// A negative factor has no meaning as a multiplier: it is left out (1 is used), as the note
// says; other factors are judged by their usual range.
void CheckFactor(EngineDeck& deck, Storm& s, const std::optional<double>& f, const char* what) {
    if (!f) return;
    if (*f < 0.0) {
        char text[200];
        std::snprintf(text, sizeof text,
                      "the correction factor for the %s is negative (%.6g) and is not used; 1 is "
                      "used",
                      what, *f);
        Note(deck, s, text);
        return;
    }
    Judged(deck, s, InputField::CorrectionFactor, *f);
}

} // namespace

void CheckStorms(EngineDeck& deck) {
    for (Storm& s : deck.storms) {
        if (s.designStorm) {
            if (s.returnPeriod != 0) Judged(deck, s, InputField::ReturnPeriod, s.returnPeriod);
            if (s.oneHourDepth != 0.0) Judged(deck, s, InputField::OneHourDepth, s.oneHourDepth);
        } else {
            CheckDepths(deck, s);
        }
        CheckFactor(deck, s, s.factors.initialRate, "initial infiltration rate");
        CheckFactor(deck, s, s.factors.decay, "infiltration decay");
        CheckFactor(deck, s, s.factors.finalRate, "final infiltration rate");
        CheckFactor(deck, s, s.factors.depression, "depression storage");
    }
}

} // namespace tovan::engine
