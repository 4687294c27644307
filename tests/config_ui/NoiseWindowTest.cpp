#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>

#include "config/SettingsStore.h"
#include "skin/SkinSlider.h"
#include "support/TempDir.h"
#include "support/WindowDriver.h"
#include "ui/settings/NoiseWindow.h"

namespace orvel {
namespace {

using skin::SliderId;

class NoiseWindowTest : public ::testing::Test {
protected:
    void open() {
        window = std::make_unique<NoiseWindow>(store);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    void TearDown() override { test::dismissMessages(); }

    QString text(ControlId id) const { return window->edit(id)->text(); }
    std::array<int, 5> stored() const { return NoiseSettings::fromStore(store).shown; }

    test::TempDir dir{test::TempDir::Xdg::Redirect};
    SettingsStore store;
    std::unique_ptr<NoiseWindow> window;
};

TEST_F(NoiseWindowTest, OpensWithDefaultsAndHoldsStoredValuesToTheirRanges) {
    open();
    EXPECT_EQ(QStringList({text(ControlId::EDIT_THRESHOLD), text(ControlId::EDIT_RELEASETIME),
                           text(ControlId::EDIT_ATTACKTIME), text(ControlId::EDIT_LOWPASS),
                           text(ControlId::EDIT_HIGHPASS)}),
              QStringList({"-48", "0", "0", "20000", "0"}));
    const SkinSlider* lowPass = window->slider(SliderId::LowPass);
    EXPECT_EQ(lowPass->thumbRect().center().x(), lowPass->spec().to);

    // Values from an old or hand-edited file never reach the filters out of range.
    store.writeNumber(setting::kHighPass, -5);
    store.writeNumber(setting::kLowPass, 5);
    store.writeNumber(setting::kNoiseThreshold, INT_MIN);
    store.writeNumber(setting::kReleaseTime, 99);
    EXPECT_EQ(stored(), (std::array{-48, 25, 0, 10000, 0}));
    open();
    EXPECT_EQ(text(ControlId::EDIT_LOWPASS), "10000");
    EXPECT_EQ(text(ControlId::EDIT_HIGHPASS), "0");
}

struct Refusal {
    ControlId field;
    SliderId slider;
    const char* text;
    const char* message;
};

class NoiseFieldRefusal : public NoiseWindowTest, public ::testing::WithParamInterface<Refusal> {};

// Leaving a field with a number outside its range shows its message and keeps the slider; OK
// checks the field again, shows the same message and stores nothing.
TEST_P(NoiseFieldRefusal, RefusesOnLeavingAndAgainOnOk) {
    open();
    const Refusal& r = GetParam();
    const SkinSlider* slider = window->slider(r.slider);
    const int before = slider->value();
    test::typeAndLeave(window->edit(r.field), r.text);
    QMessageBox* box = test::awaitMessage();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), r.message);
    EXPECT_EQ(box->windowTitle(), "Orvel");
    test::dismissMessages();
    EXPECT_EQ(slider->value(), before);

    test::click(*window, ControlId::BTN_OK);
    box = test::awaitMessage();
    ASSERT_NE(box, nullptr) << "OK stored a refused value";
    EXPECT_EQ(box->text(), r.message);
    test::dismissMessages();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(stored(), (std::array{-48, 0, 0, 20000, 0}));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Noise, NoiseFieldRefusal, ::testing::Values(
    Refusal{ControlId::EDIT_THRESHOLD, SliderId::NoiseThreshold, "-49", "Please input the threshold volue between -48 and -1"},
    Refusal{ControlId::EDIT_THRESHOLD, SliderId::NoiseThreshold, "0", "Please input the threshold volue between -48 and -1"},
    Refusal{ControlId::EDIT_RELEASETIME, SliderId::Release, "26", "Please input the release time volue between 0 and 25"},
    Refusal{ControlId::EDIT_ATTACKTIME, SliderId::Attack, "-1", "Please input the attack time value between 0 and 25"},
    Refusal{ControlId::EDIT_LOWPASS, SliderId::LowPass, "9999", "Please input the low pass volue between 10000 and 20000"},
    Refusal{ControlId::EDIT_LOWPASS, SliderId::LowPass, "abc", "Please input the low pass volue between 10000 and 20000"},
    Refusal{ControlId::EDIT_HIGHPASS, SliderId::HighPass, "10001", "Please input the high pass between 0 and 10000"}));
// clang-format on

TEST_F(NoiseWindowTest, OkStoresTheFieldsAndCancelNothing) {
    open();
    test::typeAndLeave(window->edit(ControlId::EDIT_RELEASETIME), "8 seconds");
    EXPECT_EQ(text(ControlId::EDIT_RELEASETIME), "8 seconds");
    EXPECT_EQ(window->slider(SliderId::Release)->value(), 8) << "the leading number counts";
    window->edit(ControlId::EDIT_THRESHOLD)->setText("-30");
    window->edit(ControlId::EDIT_ATTACKTIME)->setText("3");
    window->edit(ControlId::EDIT_LOWPASS)->setText("15000");
    window->edit(ControlId::EDIT_HIGHPASS)->setText("120");
    test::click(*window, ControlId::BTN_CANCEL);
    EXPECT_EQ(stored(), (std::array{-48, 0, 0, 20000, 0}));
    window->show();
    test::click(*window, ControlId::BTN_OK);
    EXPECT_EQ(window->result(), QDialog::Accepted);
    EXPECT_EQ(stored(), (std::array{-30, 8, 3, 15000, 120}));
    EXPECT_EQ(store.readNumber(setting::kNoiseThreshold), 18);
}

// Ranges and steps: the threshold 0..47 in 4-pixel steps, release and attack 0..25 in 8, the
// cut-offs over 10000 Hz without snapping; each field follows its thumb in its own unit.
TEST_F(NoiseWindowTest, SlidersCoverTheirRangesAndSteps) {
    open();
    const auto dragTo = [&](SliderId id, int x) {
        const SkinSlider* s = window->slider(id);
        test::drag(*window, s->thumbRect().center(), {x, s->thumbRect().center().y()});
        return s;
    };
    dragTo(SliderId::NoiseThreshold, 600);
    EXPECT_EQ(text(ControlId::EDIT_THRESHOLD), "-1");
    const SkinSlider* threshold = dragTo(SliderId::NoiseThreshold, 60 + 7);
    EXPECT_EQ(threshold->thumbRect().center().x(), 60 + 8);
    EXPECT_EQ(text(ControlId::EDIT_THRESHOLD), QString::number(threshold->value() - 48));
    const SkinSlider* release = dragTo(SliderId::Release, 52 + 13);
    EXPECT_EQ(release->thumbRect().center().x(), 52 + 16);
    dragTo(SliderId::Attack, 600);
    EXPECT_EQ(text(ControlId::EDIT_ATTACKTIME), "25");
    dragTo(SliderId::LowPass, 0);
    EXPECT_EQ(text(ControlId::EDIT_LOWPASS), "10000");
    const SkinSlider* highPass = dragTo(SliderId::HighPass, 52 + 101);
    EXPECT_EQ(highPass->thumbRect().center().x(), 52 + 101) << "no snapping at step 1";
    EXPECT_EQ(text(ControlId::EDIT_HIGHPASS), QString::number(highPass->value()));
    EXPECT_EQ(highPass->maximum(), 10000);
}

}  // namespace
}  // namespace orvel
