#include "devices/light/keyboard_engine.h"

#include "devices/light/keyboard_geometry.h"
#include "devices/light/tables.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace norvane::devices::light {
namespace {

// Repeatable "random" numbers: 0, 1, 2, ...
RandomSource Counting() {
    return [n = std::uint32_t{0}]() mutable { return n++; };
}
RandomSource Zero() {
    return [] { return std::uint32_t{0}; };
}

class KeyboardEngine : public ::testing::Test {
protected:
    KeyboardEngine() : engine(Counting()) {
        light.brightness = 4;
        light.direction = 1;
        light.red = 10;
        light.green = 20;
        light.blue = 30;
    }
    void Start(int mode, bool multi, int speed = 0) {
        light.multiColor = multi ? 1 : 0;
        engine.SetLightState(light);
        engine.SetMode(mode, speed);
    }
    void Steps(int count) {
        for (int i = 0; i < count; ++i) {
            engine.Step(0, frame);
        }
    }
    config::LightInfo light;
    KeyboardLightEngine engine;
    LightFrame frame{170};
};

struct ModeCase {
    const char* name;
    int mode;
    bool multi;
    int steps;
    int led;
    LedColor expected;
};

constexpr std::uint8_t Full(std::uint8_t value) {
    return static_cast<std::uint8_t>(value * 255 >> 8);
}

TEST_F(KeyboardEngine, RendersModes) {
    const Rgb c{10, 20, 30};
    const ModeCase cases[] = {
        // Column waves: key 0 sits in column 2, key 120 in column 0.
        {"column wave multi", 1, true, 1, 0, LedColor::Of(kColourWheel[2 + 14], 255)},
        {"column wave multi col 0", 1, true, 1, 120, LedColor::Of(kColourWheel[2], 255)},
        {"column wave single", 1, false, 1, 0, LedColor::Of(c, Full(kWaveCurve[16]))},
        {"pulse columns multi", 2, true, 1, 0, LedColor::Of(kColourWheel[1 + 4], 255)},
        {"pulse columns single", 2, false, 1, 0, LedColor::Of(c, Full(kPulseCurve[3]))},
        // Key wave: key 15 is the first of the walking order, key 21 the 17th.
        {"key wave first", 3, true, 1, 15, LedColor::Of(kColourWheel[1], 255)},
        {"key wave 17th", 3, true, 1, 21, LedColor::Of(kColourWheel[1 + 80], 255)},
        {"key wave single", 3, false, 2, 21, LedColor::Of(c, Full(kWaveCurve[(2 + 80) % 96]))},
        {"spectrum", 4, true, 3, 169, LedColor::Of(kColourWheel[3], 255)},
        {"column breathing", 5, true, 10, 0, LedColor::Of(kColourWheel[14], Full(kBreathingCurve[10]))},
        {"rings static centre", 6, true, 1, 51, LedColor::Of(kColourWheel[138], 255)},
        {"rings static outer", 6, true, 1, 41, LedColor::Of(kColourWheel[6], 255)},
        {"rings static skips keys outside", 6, true, 1, 120, LedColor{}},
        {"static single", 6, false, 1, 120, LedColor::Of(c, 255)},
        // Mode 11 starts from the running sum 0, 33, 66, 99, 132, 165, 6, ...
        {"own wheel led 1", 11, true, 1, 1, LedColor::Of(kColourWheel[34], 255)},
        {"own wheel led 6", 11, true, 2, 6, LedColor::Of(kColourWheel[8], 255)},
        {"rows", 12, true, 1, 50, LedColor::Of(kColourWheel[2 + 48], 255)},
        {"one colour default", 17, true, 1, 7, LedColor::Of(kColourWheel[174], 255)},
        {"ring rainbow", 18, true, 1, 51, LedColor::Of(kColourWheel[8], 255)},
        {"ring rainbow ring 2", 18, true, 1, 8, LedColor::Of(kColourWheel[22], 255)},
        // Fill: column 1 is walked bottom-up, so the second key is 84.
        {"fill", 21, false, 1, 84, LedColor::Of(c, Full(214))},
        {"fill moves on", 21, false, 2, 84, LedColor::Of(c, Full(174))},
        {"runs", 24, false, 1, 21, LedColor::Of(c, Full(250))},
        {"runs multi", 24, true, 1, 21, LedColor::Of(kColourTable[3], 255)},
        {"four colour breathing", 26, false, 64, 3, LedColor::Of(kFourColours[0], 254)},
        {"off", 28, true, 5, 60, LedColor{}},
    };
    for (const ModeCase& mc : cases) {
        KeyboardLightEngine fresh(Counting());
        light.multiColor = mc.multi ? 1 : 0;
        fresh.SetLightState(light);
        fresh.SetMode(mc.mode, 0);
        LightFrame out(170);
        out.Fill({1, 1, 1, 1});
        for (int i = 0; i < mc.steps; ++i) {
            fresh.Step(0, out);
        }
        EXPECT_EQ(out.Get(mc.led), mc.expected) << mc.name;
    }
}

TEST_F(KeyboardEngine, OneColourFollowsTheSecondaryMode) {
    for (auto [secondary, wheel] :
         {std::pair{1, 25}, std::pair{2, 70}, std::pair{3, 95}, std::pair{0, 174}}) {
        light.secondaryMode = static_cast<std::uint8_t>(secondary);
        Start(17, true);
        engine.RestartMode();
        Steps(1);
        EXPECT_EQ(frame.Get(100), LedColor::Of(kColourWheel[static_cast<std::size_t>(wheel)], 255))
            << secondary;
    }
}

TEST_F(KeyboardEngine, PerKeyColoursKeepTheirColourAndTakeTheLevel) {
    light.brightness = 2;
    frame.Set(5, {1, 2, 3, 0});
    Start(19, false);
    Steps(1);
    EXPECT_EQ(frame.Get(5), (LedColor{1, 2, 3, 126}));
}

TEST_F(KeyboardEngine, OutsideColourComesFromTheFedLevels) {
    Start(30, false);
    const std::vector<std::int32_t> values = {300, -5, 77, 1, 2, 3, 4, 5};
    engine.FeedAudioLevels(values);
    Steps(1);
    EXPECT_EQ(frame.Get(169), (LedColor{255, 0, 77, 255}));
}

TEST_F(KeyboardEngine, RestartRunsTheModeInitialisers) {
    // Mode 13 seeds bit 0x40 (the bottom row) of column 9: key 129 lights at once.
    Start(13, false);
    Steps(1);
    EXPECT_EQ(engine.MaskColumn(MaskDirection::Up, 9), 0x40);
    EXPECT_EQ(engine.Reactive().values[129], 255 - 40);
    // Mode 16 seeds bit 0x01 of column 1, the empty row above the keys.
    Start(16, false);
    Steps(1);
    EXPECT_EQ(engine.MaskColumn(MaskDirection::Right, 2), 0x01);
    EXPECT_EQ(engine.MaskColumn(MaskDirection::Left, 0), 0x01);
    EXPECT_EQ(engine.MaskColumn(MaskDirection::Up, 1), 0x00);
    EXPECT_EQ(engine.MaskColumn(MaskDirection::Down, 1), 0x02);

    // Mode 22: column 0 keys 120-124 take 87, 52, 17, 175 (17 - 35 would pass 192,
    // so 98 is taken instead), 140; column 2 starts 8 lower and takes colour 14.
    Start(22, false);
    engine.Step(0, frame);
    EXPECT_EQ(engine.KeyPhase(120), 87);  // not in the walking order: not advanced
    EXPECT_EQ(engine.KeyPhase(123), 175);
    EXPECT_EQ(engine.KeyPhase(124), 140);
    EXPECT_EQ(engine.KeyPhase(0), 106 + 1);
    EXPECT_EQ(engine.KeyPhase(102), 159 + 1);
    EXPECT_EQ(engine.ColourIndex(0), 14);

    // Mode 15: pulse starts by column and row of the picture.
    Start(15, false);
    engine.Step(0, frame);
    EXPECT_EQ(engine.Reactive().values[0], 120 + 2);   // column 2, row 0
    EXPECT_EQ(engine.Reactive().values[22], 100 + 2);  // column 2, row 1
    EXPECT_EQ(engine.Reactive().values[15], 60 + 2);   // column 18: (120 + 16 × 20) mod 190
    EXPECT_EQ(frame.Get(0), LedColor::Of({10, 20, 30}, Full(kPulseCurve[122])));

    // Default: the running sum 0, 33, 66, 99, 132, 165, then 165 + 97 wraps to 6.
    Start(9, false);
    engine.Step(0, frame);
    EXPECT_EQ(engine.ColourIndex(5), 165);
    EXPECT_EQ(engine.ColourIndex(6), 6);
}

}  // namespace
}  // namespace norvane::devices::light

namespace norvane::devices::light {
namespace {

TEST_F(KeyboardEngine, RippleSpreadsOneCellPerStepInFourDirections) {
    Start(9, false);
    Steps(1);
    engine.StartRipple(51);  // column 10, row 2
    Steps(1);
    EXPECT_EQ(engine.Reactive().values[51], 215);
    EXPECT_EQ(engine.Reactive().values[52], 0);
    Steps(1);
    for (int key : {52, 50, 30, 72}) {  // right, left, up, down of key 51
        EXPECT_EQ(engine.Reactive().values[static_cast<std::size_t>(key)], 215) << key;
        EXPECT_EQ(frame.Get(key), LedColor::Of({10, 20, 30}, Full(215))) << key;
    }
    EXPECT_EQ(engine.Reactive().values[51], 175);
    EXPECT_EQ(engine.Reactive().values[53], 0);
    EXPECT_EQ(engine.Reactive().values[71], 0);
    // Keys outside the picture start nothing.
    engine.StartRipple(140);
    engine.StartRipple(-1);
    engine.StartRipple(400);
}

TEST_F(KeyboardEngine, FadeFollowsKeyHits) {
    Start(8, false);
    Steps(1);
    engine.SetKeyHit(30, true);
    Steps(3);
    EXPECT_EQ(engine.Reactive().values[30], 45);
    engine.SetKeyHit(30, false);
    Steps(1);
    EXPECT_EQ(engine.Reactive().values[30], 40);
    EXPECT_EQ(engine.Reactive().values[31], 0);
    engine.SetKeyHit(170, true);  // ignored
}

TEST_F(KeyboardEngine, SparkleLightsSixPickedKeys) {
    // Counting random numbers: picks 0, 2, 4, ... colours 1, 3, 5, ...
    Start(10, true);
    Steps(1);
    const std::uint8_t first = kRandomPick[0];
    EXPECT_EQ(engine.Reactive().values[first], 215);
    EXPECT_EQ(engine.ColourIndex(first), 1);
    EXPECT_EQ(frame.Get(first), LedColor::Of(kColourWheel[1], Full(215)));
    int lit = 0;
    for (std::uint8_t v : engine.Reactive().values) {
        lit += v != 0 ? 1 : 0;
    }
    EXPECT_EQ(lit, 6);
}

TEST_F(KeyboardEngine, ShowRunsItsStagesAndStartsAgain) {
    Start(14, false);
    Steps(1);
    for (std::uint8_t key : kShowSweep[0]) {
        if (key != kNoKey) {
            EXPECT_EQ(engine.Reactive().values[key], 215) << int{key};
        }
    }
    // The stages end: stage 1 waits for key 50, the ripple leaves the picture, all goes
    // dark, and the sweep starts again.
    int steps = 1;
    bool again = false;
    for (; steps < 2000 && !again; ++steps) {
        engine.Step(0, frame);
        again = engine.Reactive().values[kShowSweep[0][1]] == 215 && steps > 20;
    }
    EXPECT_TRUE(again) << steps;
}

TEST_F(KeyboardEngine, PulsesAndRunsWrapTheirPositions) {
    Start(22, true);
    for (int i = 0; i < 300; ++i) {
        engine.Step(0, frame);
    }
    for (std::size_t n = 0; n < kKeyOrderKeys; ++n) {
        EXPECT_LT(engine.KeyPhase(kKeyOrder[n]), 192);
        EXPECT_LT(engine.ColourIndex(kKeyOrder[n]), 192);
    }
    Start(24, true);
    for (int i = 0; i < 200; ++i) {
        engine.Step(0, frame);
    }
    // A key no run reaches saturates at 255 and reads the 256-colour table.
    EXPECT_EQ(engine.ColourIndex(131), 255);
    EXPECT_EQ(frame.Get(131), LedColor::Of(kColourTable[255], 255));
}

TEST_F(KeyboardEngine, EmptyCustomEffectShowsEveryLedDark) {
    Start(20, false, 4);
    engine.Advance(0, frame);
    frame.Fill({9, 9, 9, 9});
    EXPECT_TRUE(engine.Advance(kCountPeriodMs, frame));
    for (int i = 0; i < 170; ++i) {
        ASSERT_EQ(frame.Get(i), LedColor{}) << i;
    }
}

TEST_F(KeyboardEngine, ModesOutsideTheTablePlayTheCustomEffectOnEveryPass) {
    config::LightEffectStep step;
    step.effectCode = 5;
    step.brightness = 4;
    step.speed = 4;  // every pass
    step.duration = 100000;
    const std::vector<config::LightEffectStep> steps = {step};
    engine.SetCustomEffect(steps);
    Start(31, false);
    for (std::uint32_t t = 0; t < 5; ++t) {
        EXPECT_TRUE(engine.Advance(t, frame));
    }
    EXPECT_EQ(engine.Player().Phase(), 5);
    EXPECT_EQ(frame.Get(0), LedColor::Of(kColourWheel[5], 255));
    EXPECT_EQ(engine.NextDueMs(), std::optional<std::uint32_t>{5});
}

TEST(KeyboardEngines, DoNotShareCustomEffectState) {
    config::LightEffectStep breathe;
    breathe.effectCode = 0;
    breathe.brightness = 4;
    breathe.speed = 4;  // every 7 passes
    breathe.red = 255;
    breathe.duration = 100000;
    const std::vector<config::LightEffectStep> steps = {breathe};
    KeyboardLightEngine first(Zero());
    KeyboardLightEngine second(Zero());
    LightFrame a(170);
    LightFrame b(170);
    for (auto* engine : {&first, &second}) {
        engine->SetCustomEffect(steps);
        engine->SetMode(20, 4);  // mode 20 steps every count at speed 4
    }
    for (std::uint32_t t = 0; t <= 70 * kCountPeriodMs; t += kCountPeriodMs) {
        first.Advance(t, a);
    }
    second.Advance(0, b);
    EXPECT_EQ(first.Player().Phase(), 10);
    EXPECT_EQ(second.Player().Phase(), 0);
    EXPECT_EQ(b.Get(0), (LedColor{255, 0, 0, 0}));
}

TEST_F(KeyboardEngine, StepsWhenTheCountReachesTheModeThreshold) {
    Start(4, false, 0);                        // 5 counts of 16 ms
    EXPECT_TRUE(engine.Advance(1000, frame));  // the restart renders at once
    EXPECT_EQ(engine.Effect().phase, 1);
    EXPECT_EQ(engine.NextDueMs(), std::optional<std::uint32_t>{1080});
    EXPECT_FALSE(engine.Advance(1079, frame));
    EXPECT_TRUE(engine.Advance(1080, frame));
    EXPECT_EQ(engine.Effect().phase, 2);
    // A late pass steps once, it does not catch up.
    EXPECT_TRUE(engine.Advance(1500, frame));
    EXPECT_EQ(engine.Effect().phase, 3);
    EXPECT_EQ(engine.NextDueMs(), std::optional<std::uint32_t>{1500 - (1500 - 1080) % 16 + 80});

    // Speed indices past the table take the fastest threshold (one count).
    engine.SetMode(4, 99);
    engine.Advance(2000, frame);
    EXPECT_EQ(engine.NextDueMs(), std::optional<std::uint32_t>{2008});
    EXPECT_FALSE(engine.Advance(2007, frame));
    EXPECT_TRUE(engine.Advance(2008, frame));
}

TEST_F(KeyboardEngine, ThresholdZeroStepsOnEveryPassAndMusicNeedsTwoCounts) {
    // Mode 17 at speed 4 steps on every pass; at speed 3 it waits for 4 counts.
    Start(17, false, 4);
    for (std::uint32_t t = 0; t < 5; ++t) {
        EXPECT_TRUE(engine.Advance(t, frame)) << t;
    }
    // Nothing in mode 17 changes until an input does: no deadline.
    EXPECT_EQ(engine.NextDueMs(), std::nullopt);
    // The same settings again change nothing; a new brightness renders on the next pass.
    engine.SetMode(17, 4);
    engine.SetLightState(light);
    EXPECT_EQ(engine.NextDueMs(), std::nullopt);
    light.brightness = 2;
    engine.SetLightState(light);
    EXPECT_EQ(engine.NextDueMs(), std::optional<std::uint32_t>{4});
    EXPECT_TRUE(engine.Advance(4, frame));
    EXPECT_EQ(frame.Get(0).level, 126);
    engine.SetMode(17, 3);
    EXPECT_EQ(engine.NextDueMs(), std::optional<std::uint32_t>{4});
    engine.Advance(5, frame);
    EXPECT_FALSE(engine.Advance(6, frame));

    // Mode 29 at speed 4 has threshold 1 but needs two counts.
    KeyboardLightEngine music(Zero());
    music.SetMode(29, 4);
    music.Advance(0, frame);
    EXPECT_FALSE(music.Advance(16, frame));
    EXPECT_TRUE(music.Advance(32, frame));
    EXPECT_TRUE(KeyboardLightEngine::StreamsFrames(29));
    EXPECT_TRUE(KeyboardLightEngine::StreamsFrames(30));
    EXPECT_FALSE(KeyboardLightEngine::StreamsFrames(28));
}

TEST_F(KeyboardEngine, AnimatedLightListWakesEveryPassAndCoversTheMode) {
    config::LightListEntry off;
    off.effectCode = 4;
    config::LightListEntry breathe;
    breathe.effectCode = 0;
    breathe.present = 1;
    breathe.brightness = 4;
    breathe.red = 255;
    std::vector<config::LightListEntry> list(170);
    list[3] = off;
    engine.SetLightList(list);
    Start(6, false);
    engine.Advance(0, frame);
    EXPECT_EQ(frame.Get(2), LedColor::Of({10, 20, 30}, 255));
    EXPECT_EQ(frame.Get(3), LedColor{});
    EXPECT_EQ(engine.NextDueMs(), std::nullopt);
    list[4] = breathe;
    engine.SetLightList(list);
    engine.Advance(1, frame);
    EXPECT_EQ(engine.NextDueMs(), std::optional<std::uint32_t>{2});
    EXPECT_EQ(frame.Get(4), (LedColor{255, 0, 0, Full(kBreathingCurve[4])}));
}

// --- music ---

class KeyboardMusic : public ::testing::Test {
protected:
    KeyboardMusic() : engine(Zero()) {
        config::LightInfo light;
        light.brightness = 4;
        engine.SetLightState(light);
        config::AudioLightInfo audio;
        audio.mode = 2;
        audio.backgroundRed = 0;
        audio.backgroundGreen = 0;
        audio.backgroundBlue = 200;
        engine.SetAudioLightState(audio);
        engine.SetMode(29, 0);
        engine.Step(0, frame);  // restart
    }
    // Cells of a column lit in the bar colour.
    int BarCells(std::size_t column) {
        int cells = 0;
        for (std::uint8_t key : kKeyMatrix[column]) {
            cells += key != kNoKey && frame.Get(key) == LedColor{0, 0, 200, 255} ? 1 : 0;
        }
        return cells;
    }
    KeyboardLightEngine engine;
    LightFrame frame{170};
};

TEST_F(KeyboardMusic, BarHeightFollowsTheLevelAndStaysInTheMatrix) {
    std::vector<std::int32_t> levels(25, 0);
    levels[0] = 2000;                                      // top at row 1
    levels[1] = std::numeric_limits<std::int32_t>::max();  // top at row 0
    levels[2] = std::numeric_limits<std::int32_t>::min();  // below the matrix
    levels[3] = 1000;                                      // top at row 4
    engine.FeedAudioSpectrum(levels);
    engine.Step(0, frame);
    EXPECT_EQ(BarCells(3), 1);  // column 3: row 5 only, the top is at row 4
    EXPECT_EQ(BarCells(0), 4);  // rows 2-5 (row 0 of column 0 has no key)
    EXPECT_EQ(BarCells(1), 5);  // rows 1-5 under a top at row 0 (no key there)
    EXPECT_EQ(BarCells(2), 0);
    // The bar top is refreshed to full and shown in the peak colour.
    EXPECT_EQ(engine.Reactive().values[120], 255);
    EXPECT_EQ(frame.Get(120), (LedColor{0, 0, 200, 254}));
    EXPECT_EQ(engine.Reactive().values[85], 255);
}

TEST_F(KeyboardMusic, SpectrumKeepsAtMost25LevelsAndZeroesTheRest) {
    std::vector<std::int32_t> loud(500, std::numeric_limits<std::int32_t>::max());
    engine.FeedAudioSpectrum(loud);
    const std::vector<std::int32_t> few(3, std::numeric_limits<std::int32_t>::max());
    engine.FeedAudioSpectrum(few);
    engine.Step(0, frame);
    EXPECT_GT(BarCells(2), 0);
    for (std::size_t c = 3; c < kMatrixColumns; ++c) {
        EXPECT_EQ(BarCells(c), 0) << c;
    }
}

TEST_F(KeyboardMusic, LoudPassagesStartARippleAtKey51) {
    // Average of 600 - x × 600 / 2000 over the 25 levels; each feed adds 25 - average / 24.
    const std::vector<std::int32_t> loud(25, 2000);  // average 0: +25
    engine.FeedAudioSpectrum(loud);
    engine.FeedAudioSpectrum(loud);
    EXPECT_EQ(engine.MusicAccumulator(), 50);
    EXPECT_EQ(engine.MaskColumn(MaskDirection::Up, 10), 0);
    engine.FeedAudioSpectrum(loud);
    EXPECT_EQ(engine.MusicAccumulator(), 0);
    EXPECT_EQ(engine.MaskColumn(MaskDirection::Up, 10), 0x08);
    // Negative levels give averages above 600; the accumulator stops at 0.
    const std::vector<std::int32_t> odd(25, -100000);
    engine.FeedAudioSpectrum(odd);
    EXPECT_EQ(engine.MusicAccumulator(), 0);
}

}  // namespace
}  // namespace norvane::devices::light
